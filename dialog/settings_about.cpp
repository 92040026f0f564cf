// Filled in with the dialog.

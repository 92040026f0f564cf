#include "dialog/ext_prop.h"

// The dialog is not built yet: nothing is shown.
int OpenExtendedProperties(POINT) { return 1; }

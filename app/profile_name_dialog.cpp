// The small dialog of "&Save current settings as profile...": a name, and a
// question before an existing profile is replaced.
#include "app/profile_name_dialog.h"

#include <string>

#include "base/facts.h"
#include "resources/resource_ids.h"
#include "settings/profile_store.h"

#define NAME_CAPTION L"Save profile"

static void OnNameOk(HWND dialog, wchar_t *name)
{
    GetDlgItemTextW(dialog, IDC_PROFILE_NAME, name, PROFILE_NAME_SIZE);
    if (!IsValidProfileName(name)) {
        MessageBoxW(dialog, L"A profile name has 1 to 63 characters, no \"\\\" and no blank at either end.",
                    NAME_CAPTION, MB_ICONEXCLAMATION);
        return;
    }
    Profile existing;
    std::wstring question = L"A profile named \"" + std::wstring(name) + L"\" exists already.\nReplace it?";
    if (LoadProfile(name, &existing) &&
        MessageBoxW(dialog, question.c_str(), NAME_CAPTION, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    EndDialog(dialog, IDOK);
}

static INT_PTR CALLBACK ProfileNameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SendDlgItemMessageW(dialog, IDC_PROFILE_NAME, EM_LIMITTEXT, PROFILE_NAME_SIZE - 1, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnNameOk(dialog, reinterpret_cast<wchar_t *>(GetWindowLongPtrW(dialog, DWLP_USER)));
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR AskProfileName(HWND owner, wchar_t name[PROFILE_NAME_SIZE])
{
    return DialogBoxParamW(InstanceHandle, MAKEINTRESOURCEW(IDD_PROFILE_NAME), owner, ProfileNameDialogProc,
                           reinterpret_cast<LPARAM>(name));
}

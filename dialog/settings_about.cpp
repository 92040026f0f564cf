// The Settings and About pages: storing the options at OK, the About texts,
// the two links and the closing slide.
#include "dialog/ext_prop.h"
#include "dialog/tab_pages.h"
#include "shell/platform.h"
#include "shell/tessivon.h"

static const char KnownBugsText[] = "Known Bugs:\n"
                                    "- Accelerator keys doesn't work.\n"
                                    "- Show wallpaper doesn't look good on win9x and NT4.\n"
                                    "- Tessivon doesn't work fine with win95.\n"
                                    "- Delete, add or change desktop icons during extended\n"
                                    "  properties isn't safe.\n"
                                    "- Tessivon Icons Tools doesn't work with win2000.\n"
                                    "- Tessivon doesn't work correctly with large fonts.";

static const char FutureFeaturesText[] = "Future features:\n"
                                         "- Change TrayBar to 256 colors Icons.\n"
                                         "- Save profile of Arranged Screens.\n"
                                         "- Show arranged screens properties.\n"
                                         "- Create custom tool to help arranging screen.\n"
                                         "- Prevent vanishing icon from explorer crash.\n"
                                         "- Include english help && manual.\n"
                                         "- Extended properties in an external DLL.";

// The link buttons lie over the two addresses, 107 and 53 pixels into the
// third and fourth lines: the words before them are sized for that.
static const char AboutText[] = "Tessivon v2.61 alpha - (c) 2003 Corvale, all rights reserved.\n"
                                "\n"
                                "  Author: Ines Varlow [" TESSIVON_MAIL_ADDRESS "]\n"
                                "  Updates: " TESSIVON_WEB_ADDRESS "\n";

static const char WebLinkTarget[] = "http://" TESSIVON_WEB_ADDRESS;
static const char MailLinkTarget[] = "mailto:" TESSIVON_MAIL_ADDRESS;

void StoreOptions(ExtPropState *state)
{
    if (state->currentTab == TAB_SETTINGS)
        TakeOptionsFromCheckBoxes(state);
    // A value read as any non-zero number is stored as 1.
    DWORD stored[OPTION_COUNT];
    for (int i = 0; i < OPTION_COUNT; i++)
        stored[i] = state->options[i] != 0;
    StoreDialogOptions(stored, ModulePath);
}

// Subclasses a link button when its procedure can be read; gives the former one.
static WNDPROC SubclassLink(HWND link)
{
    WNDPROC former = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(link, GWLP_WNDPROC));
    if (former)
        SetWindowLongPtrA(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkButtonProc));
    return former;
}

void SetUpAboutPage(ExtPropState *state)
{
    if (WNDPROC former = SubclassLink(state->webLink))
        LinkButtonFormerProc = former;

    HFONT aboutFont = reinterpret_cast<HFONT>(SendMessageA(state->aboutText, WM_GETFONT, 0, 0));
    LOGFONTA font = {};
    GetObjectA(aboutFont, sizeof(font), &font);
    font.lfUnderline = 1;
    state->linkFont = CreateFontIndirectA(&font);
    SendMessageA(state->webLink, WM_SETFONT, reinterpret_cast<WPARAM>(state->linkFont), 0);

    if (LinkButtonFormerProc)
        MailLinkFormerProc = SubclassLink(state->mailLink);
    SendMessageA(state->mailLink, WM_SETFONT, reinterpret_cast<WPARAM>(state->linkFont), 0);

    SetWindowTextA(state->futureFeaturesText, FutureFeaturesText);
    SetWindowTextA(state->aboutText, AboutText);
    SetWindowTextA(state->knownBugsText, KnownBugsText);
}

static int LinkFontHeight(const ExtPropState *state)
{
    LOGFONTA font = {};
    GetObjectA(state->linkFont, sizeof(font), &font);
    return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
}

static void MoveControl(HWND control, int x, int y)
{
    SetWindowPos(control, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceAboutPage(ExtPropState *state)
{
    HWND dialog = state->dialogWindow;
    int h = LinkFontHeight(state);
    MoveControl(state->aboutText, 9 + 100, 9 + 40);
    RECT about;
    GetWindowRectIn(state->aboutText, &about, dialog);
    MoveControl(state->webLink, about.left + 53, about.top + 4 * h - 5);
    SetWindowPos(state->mailLink, nullptr, about.left + 107, about.top + 3 * h - 7, 111, h + 2,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    MoveControl(state->knownBugsText, about.left, about.bottom + 10);
    RECT bugs;
    GetWindowRectIn(state->knownBugsText, &bugs, dialog);
    MoveControl(state->futureFeaturesText, bugs.left, bugs.bottom + 10);
}

void OpenLinkTarget(ExtPropState *, int id)
{
    const char *target = id == IDC_WEB_LINK ? WebLinkTarget : id == IDC_MAIL_LINK ? MailLinkTarget : nullptr;
    if (target && Platform.ShellExecuteA)
        Platform.ShellExecuteA(nullptr, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

typedef BOOL(WINAPI *AnimateWindowProc)(HWND, DWORD, DWORD);

void AnimateDialogClosing(ExtPropState *state)
{
    HMODULE user32 = GetModuleHandleA("USER32");
    if (!user32)
        return;
    AnimateWindowProc animate = reinterpret_cast<AnimateWindowProc>(
        reinterpret_cast<void *>(GetProcAddress(user32, "AnimateWindow")));
    if (animate)
        animate(state->dialogWindow, 500, AW_SLIDE);
}

// The Settings and About pages: options stored at OK, the About texts, links and closing slide.
#include "dialog/settings_about.h"

#include <string.h>

#include "base/facts.h"
#include "base/platform.h"
#include "dialog/dialog_tools.h"
#include "dialog/tabs.h"
#include "resources/resource_ids.h"

#define WIDE_TEXT(text) WIDE_TEXT_(text)
#define WIDE_TEXT_(text) L##text

static const wchar_t KnownBugsText[] = L"Known Bugs:\n"
                                       "- Accelerator keys doesn't work.\n"
                                       "- Show wallpaper doesn't look good on win9x and NT4.\n"
                                       "- Tessivon doesn't work fine with win95.\n"
                                       "- Delete, add or change desktop icons during extended\n"
                                       "  properties isn't safe.\n"
                                       "- Tessivon doesn't work correctly with large fonts.";

static const wchar_t FutureFeaturesText[] = L"Future features:\n"
                                            "- Change TrayBar to 256 colors Icons.\n"
                                            "- Save profile of Arranged Screens.\n"
                                            "- Show arranged screens properties.\n"
                                            "- Create custom tool to help arranging screen.\n"
                                            "- Prevent vanishing icon from explorer crash.\n"
                                            "- Include english help && manual.\n"
                                            "- Extended properties in an external DLL.";

// Spaces inside the brackets: some fonts draw "[" partly into the next
// character's cell, and the mail link covers the cells of the address.
static const wchar_t AboutText[] =
    PROGRAM_TITLE L" - (c) 2003 Corvale, all rights reserved.\n"
                  "\n"
                  "  Author: Ines Varlow [ " WIDE_TEXT(TESSIVON_MAIL_ADDRESS) " ]\n"
                                                                              "  Updates: " WIDE_TEXT(
                                                                                  TESSIVON_WEB_ADDRESS) "\n";

static const wchar_t WebAddress[] = WIDE_TEXT(TESSIVON_WEB_ADDRESS);
static const wchar_t MailAddress[] = WIDE_TEXT(TESSIVON_MAIL_ADDRESS);
static const wchar_t WebLinkTarget[] = L"http://" WIDE_TEXT(TESSIVON_WEB_ADDRESS);
static const wchar_t MailLinkTarget[] = L"mailto:" WIDE_TEXT(TESSIVON_MAIL_ADDRESS);

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

void SetUpAboutPage(ExtPropState *state)
{
    HFONT aboutFont = reinterpret_cast<HFONT>(SendMessageW(state->aboutText, WM_GETFONT, 0, 0));
    LOGFONTW font = {};
    GetObjectW(aboutFont, sizeof(font), &font);
    font.lfUnderline = 1;
    state->linkFont = CreateFontIndirectW(&font);
    for (HWND link : {state->webLink, state->mailLink}) {
        SetWindowSubclass(link, LinkButtonProc, 0, reinterpret_cast<DWORD_PTR>(state));
        SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(state->linkFont), 0);
    }
    SetWindowTextW(state->futureFeaturesText, FutureFeaturesText);
    SetWindowTextW(state->aboutText, AboutText);
    SetWindowTextW(state->knownBugsText, KnownBugsText);
}

static int LinkFontHeight(const ExtPropState *state)
{
    LOGFONTW font = {};
    GetObjectW(state->linkFont, sizeof(font), &font);
    return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
}

static void MoveControl(HWND control, int x, int y)
{
    SetWindowPos(control, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Where a part of the About text lies in the static: its line times the line
// height, the width of the words before it on that line, and its own width.
static RECT TextPartPlace(HWND text, const wchar_t *part)
{
    wchar_t content[256] = L"";
    GetWindowTextW(text, content, 256);
    RECT place = {};
    const wchar_t *found = wcsstr(content, part);
    if (!found)
        return place;
    const wchar_t *lineStart = content;
    int line = 0;
    for (const wchar_t *c = content; c < found; c++)
        if (*c == L'\n') {
            line++;
            lineStart = c + 1;
        }
    WindowTextDC dc(text);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc.dc, &metrics);
    SIZE before = {}, size = {};
    GetTextExtentPoint32W(dc.dc, lineStart, (int)(found - lineStart), &before);
    GetTextExtentPoint32W(dc.dc, found, lstrlenW(part), &size);
    SetRect(&place, before.cx, line * metrics.tmHeight, before.cx + size.cx, (line + 1) * metrics.tmHeight);
    return place;
}

static int SpaceWidth(HWND text)
{
    WindowTextDC dc(text);
    SIZE size = {};
    GetTextExtentPoint32W(dc.dc, L" ", 1, &size);
    return size.cx;
}

// The links lie over the two addresses of the About text, measured in the
// text's font so that they fit whatever font the platform gives the dialog.
// The mail link reaches into the space after its address and no further:
// glyphs may be drawn a pixel or two beyond their measured cells.
static void PlaceLinks(ExtPropState *state, const RECT &about)
{
    int h = LinkFontHeight(state);
    RECT web = TextPartPlace(state->aboutText, WebAddress);
    MoveControl(state->webLink, about.left + web.left, about.top + web.top);
    RECT mail = TextPartPlace(state->aboutText, MailAddress);
    int width = mail.right - mail.left + SpaceWidth(state->aboutText) - 1;
    SetWindowPos(state->mailLink, nullptr, about.left + mail.left, about.top + mail.top, width, h + 2,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceAboutPage(ExtPropState *state)
{
    HWND dialog = state->dialogWindow;
    MoveControl(state->aboutText, DialogPixelsX(dialog, CONTENT_MARGIN + 100),
                DialogPixelsY(dialog, CONTENT_MARGIN + 40));
    WidenToText(state->aboutText, dialog, 0);
    RECT about;
    GetWindowRectIn(state->aboutText, &about, dialog);
    PlaceLinks(state, about);
    MoveControl(state->knownBugsText, about.left, about.bottom + DialogPixelsY(dialog, 10));
    WidenToText(state->knownBugsText, dialog, 0);
    RECT bugs;
    GetWindowRectIn(state->knownBugsText, &bugs, dialog);
    MoveControl(state->futureFeaturesText, bugs.left, bugs.bottom + DialogPixelsY(dialog, 10));
    WidenToText(state->futureFeaturesText, dialog, 0);
}

void OpenLinkTarget(int id)
{
    const wchar_t *target = id == IDC_WEB_LINK    ? WebLinkTarget
                            : id == IDC_MAIL_LINK ? MailLinkTarget
                                                  : nullptr;
    if (target && Platform.ShellExecuteW)
        Platform.ShellExecuteW(nullptr, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

typedef BOOL(WINAPI *AnimateWindowProc)(HWND, DWORD, DWORD);

void AnimateDialogClosing(ExtPropState *state)
{
    AnimateWindowProc animate = ProcAddress<AnimateWindowProc>(GetModuleHandleW(L"USER32"), "AnimateWindow");
    if (animate)
        animate(state->dialogWindow, 500, AW_SLIDE);
}

// Parsing names of desktop items and the icons' identities (desktop_icons/item_names.h).
#include "desktop_icons/item_names.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <map>

#include "base/decimal.h"
#include "base/platform.h"
#include "base/scoped.h"

typedef HRESULT(WINAPI *NameFromIdListProc)(LPCITEMIDLIST, int, PWSTR *);
// SIGDN_DESKTOPABSOLUTEPARSING, for shells that know SHGetNameFromIDList.
static const int DESKTOP_ABSOLUTE_PARSING = (int)0x80028000;

// The parsing name of an ID list on its own: slow, as each call walks the
// whole list again.
static void NameOfIdList(LPCITEMIDLIST list, std::wstring *name)
{
    static NameFromIdListProc nameFromIdList =
        ProcAddress<NameFromIdListProc>(GetModuleHandleW(L"SHELL32"), "SHGetNameFromIDList");
    WCHAR path[MAX_PATH] = L"";
    ScopedCoTaskMemory<WCHAR> parsing;
    if (SHGetPathFromIDListW(list, path))
        *name = path;
    else if (nameFromIdList && SUCCEEDED(nameFromIdList(list, DESKTOP_ABSOLUTE_PARSING, parsing.Out())) &&
             parsing.pointer)
        *name = parsing.pointer;
}

// The items' parent folder, kept while the next items share it: most desktop
// items lie in one folder, and binding to it is the slow part.
struct ParentFolder {
    std::vector<BYTE> list; // the parent's ID list, without its end
    ScopedComPointer<IShellFolder> folder;
};

static bool NameInParent(ParentFolder *parent, LPITEMIDLIST list, std::wstring *name)
{
    LPITEMIDLIST last = ILFindLastID(list);
    const BYTE *start = reinterpret_cast<const BYTE *>(list);
    std::vector<BYTE> parentList(start, reinterpret_cast<const BYTE *>(last));
    if (!parent->folder.pointer || parentList != parent->list) {
        parent->folder.Reset();
        parent->list = parentList;
        if (FAILED(SHBindToParent(list, IID_IShellFolder, parent->folder.Out(), nullptr)))
            return false;
    }
    STRRET display = {};
    WCHAR text[ICON_TEXT_CAPACITY] = L"";
    if (FAILED(parent->folder->GetDisplayNameOf(last, SHGDN_FORPARSING, &display)) ||
        FAILED(StrRetToBufW(&display, last, text, ICON_TEXT_CAPACITY)))
        return false;
    *name = text;
    return true;
}

int IconParsingNames(SharedBlock *block, const DesktopIcon *icons, int count, std::wstring *names)
{
    ParentFolder parent;
    int named = 0;
    for (int i = 0; i < count; i++) {
        names[i].clear();
        ScopedCoTaskMemory<ITEMIDLIST> list(block->Open() ? CopyIdList(block, icons[i].itemValue) : nullptr);
        if (!list.pointer)
            continue;
        // An item of the desktop itself has a one-item list.
        if (ILIsEmpty(list.pointer) || !NameInParent(&parent, list.pointer, &names[i]))
            NameOfIdList(list.pointer, &names[i]);
        named += !names[i].empty();
    }
    return named;
}

std::vector<std::wstring> IconIdentities(SharedBlock *block, const std::vector<DesktopIcon> &icons)
{
    std::vector<std::wstring> identities(icons.size());
    IconParsingNames(block, icons.data(), (int)icons.size(), identities.data());
    std::map<std::wstring, int> seen;
    for (size_t i = 0; i < icons.size(); i++) {
        std::wstring &identity = identities[i];
        if (identity.empty())
            identity = icons[i].text;
        int occurrence = identity.empty() ? 0 : ++seen[identity];
        if (occurrence > 1)
            identity += L" #" + DecimalText(occurrence);
    }
    return identities;
}

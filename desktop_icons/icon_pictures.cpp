// Icon pictures from the items' ID lists (desktop_icons/icon_pictures.h).
#include "desktop_icons/icon_pictures.h"

#include <shellapi.h>

#include "base/scoped.h"

HICON GetIconPicture(SharedBlock *block, int index)
{
    ULONGLONG value = 0;
    if (!ReadItemValue(block, index, nullptr, &value))
        return nullptr;
    ScopedCoTaskMemory<ITEMIDLIST> list(CopyIdList(block, value));
    if (!list.pointer)
        return nullptr;
    SHFILEINFOW info = {};
    SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list.pointer), 0, &info, sizeof(info),
                   SHGFI_PIDL | SHGFI_ICON | SHGFI_SMALLICON);
    return info.hIcon;
}

// Desktop icon layouts, one per display setup, under the program's key: a
// subkey per setup string ("1920x1080@0,0;1280x1024@1920,0"), a REG_BINARY
// value per icon, named by the icon's identity, holding its x and y.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#define ICON_LAYOUTS_KEY L"Software\\Corvale\\Tessivon\\IconLayouts"
// A desktop holds thousands of icons, not more: a store beyond this is not read further.
#define MAX_LAYOUT_PLACES 20000

struct IconPlace {
    std::wstring identity;
    int x, y;
};

// True for "WxH@X,Y" monitors joined by ";", each size positive.
bool IsDisplaySetupText(const wchar_t *setup);
// Replaces the setup's layout; false when the setup does not parse or the key
// cannot be written.
bool WriteIconLayout(const wchar_t *setup, const std::vector<IconPlace> &places);
// The setup's layout; false when none is stored. Values of another type or
// size are passed over.
bool ReadIconLayout(const wchar_t *setup, std::vector<IconPlace> *places);

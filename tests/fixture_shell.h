// Starts fixture_shell.exe (the stand-in for the shell's desktop icon list)
// in its own process and reads back what its list view holds.
#pragma once
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ui_driver.h" // found beside this file, also by the fixture program

// What the shell-windows fixture (shell_windows_fixture.cpp) asks the stand-in
// shell's view window: whether it runs as a folder view; to put item wParam's
// display name in its title (0: no such item); the item's place
// (MAKELRESULT); to move it to the place in lParam as its folder view does.
enum { FOLDER_VIEW_MODE = WM_APP + 40, FOLDER_VIEW_NAME, FOLDER_VIEW_PLACE, FOLDER_VIEW_MOVE };
// While a test holds this event unset, every folder-view call of the fixture
// waits for it, as a call into a hung shell does.
#define FOLDER_VIEW_HELD L"TessivonFolderViewHeld"

struct FixtureIcon {
    int x, y, image;
    std::wstring text;
    DWORD number;            // as reported: the item's value
    std::wstring file = L""; // when set, the item's file: made under this name in the shell's folder
};

// Icon lists and reports are files of UTF-16 text, three lines an icon:
// "X Y IMAGE NUMBER", the file, the text.
inline std::vector<FixtureIcon> ReadIcons(const std::wstring &path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::wistringstream lines(std::wstring((const wchar_t *)bytes.data(), bytes.size() / sizeof(wchar_t)));
    std::vector<FixtureIcon> icons;
    FixtureIcon icon = {};
    for (std::wstring numbers;
         std::getline(lines, numbers) && std::getline(lines, icon.file) && std::getline(lines, icon.text);
         icons.push_back(icon))
        swscanf(numbers.c_str(), L"%d %d %d %lu", &icon.x, &icon.y, &icon.image, &icon.number);
    return icons;
}

// Written under another name and then renamed, so that a reader never sees half.
inline void WriteIcons(const std::wstring &path, const std::vector<FixtureIcon> &icons)
{
    std::wstring text;
    for (const FixtureIcon &icon : icons)
        text += std::to_wstring(icon.x) + L" " + std::to_wstring(icon.y) + L" " +
                std::to_wstring(icon.image) + L" " + std::to_wstring(icon.number) + L"\n" + icon.file +
                L"\n" + icon.text + L"\n";
    std::ofstream((path + L".tmp").c_str(), std::ios::binary)
        .write((const char *)text.data(), text.size() * sizeof(wchar_t));
    MoveFileExW((path + L".tmp").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

inline bool SamePlaces(const std::vector<FixtureIcon> &a, const std::vector<FixtureIcon> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const FixtureIcon &p, const FixtureIcon &q) { return p.x == q.x && p.y == q.y; });
}

// count icons named "Icon i" in rows of ten, image i % pictures.
inline std::vector<FixtureIcon> GridIcons(int count, int pictures)
{
    std::vector<FixtureIcon> icons;
    for (int i = 0; i < count; i++)
        icons.push_back({10 + i % 10 * 90, 10 + i / 10 * 80, i % pictures, L"Icon " + std::to_wstring(i), 0});
    return icons;
}

// The fixture program beside this one (a program's own folder is the first
// place where CreateProcess looks) with these arguments, ended with the scope.
struct FixtureProcess : ChildProcess {
    explicit FixtureProcess(const std::wstring &arguments) : ChildProcess(L"fixture_shell.exe " + arguments)
    {
        [[maybe_unused]] bool ready = WaitFor([] { return Find("Fixture ready") != nullptr; }, 30000);
#ifdef EXPECT_TRUE // in a test program (the screenshot program uses it too)
        EXPECT_TRUE(ready) << "fixture not started: " << std::string(arguments.begin(), arguments.end());
#endif
    }
    static HWND Find(const char *title) { return FindWindowA("TessivonFixture", title); }
};

inline std::wstring ShellFolder()
{
    wchar_t temp[MAX_PATH];
    return std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"tessivon-shell-";
}

// The stand-in shell's behaviours for the two ways to its icons: through its
// list view (its folder view refused, as under Wine) and through its folder view.
inline const wchar_t *const IconPaths[] = {L"", L"folderview"};

struct FixtureShell : FixtureProcess {
    // behaviour: empty for a shell that answers, else "hang", "lying" or "folderview" (fixture_shell.cpp).
    explicit FixtureShell(const std::vector<FixtureIcon> &icons, bool workerW = false,
                          const std::wstring &behaviour = L"")
        : FixtureProcess(WriteList(icons, workerW) + L" " + behaviour)
    {
    }
    // Picture k is a file "picture k.txt", a folder for k = 1, a program for k = 2;
    // an icon with a file of its own gets an empty file of that name, one whose
    // "file" is a parsing name "::{...}" the item of the shell's own, no file.
    static std::wstring WriteList(std::vector<FixtureIcon> icons, bool workerW)
    {
        std::wstring folder = ShellFolder();
        for (FixtureIcon &icon : icons) {
            if (icon.file.rfind(L"::", 0) == 0)
                continue;
            std::wstring picture = folder + L"picture " + std::to_wstring(icon.image);
            if (icon.image == 1)
                CreateDirectoryW(picture.c_str(), nullptr);
            picture += icon.image == 1 ? L"" : icon.image == 2 ? L".exe" : L".txt";
            icon.file = icon.file.empty() ? picture : folder + icon.file;
            CloseHandle(CreateFileW(icon.file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        }
        WriteIcons(folder + L"icons.txt", icons);
        return workerW ? L"workerw" : L"shell";
    }
    // Moves icon i as a user's drag on the desktop does; told: with the
    // location-change event that Windows raises for it.
    void Move(int i, int x, int y, bool told = false) const
    {
        SendMessageW(FindWindowW(L"Progman", nullptr), told ? WM_APP + 2 : WM_APP + 1, i, MAKELPARAM(x, y));
    }
    // What the fixture's list view holds now, as the fixture itself reads it.
    std::vector<FixtureIcon> Report() const
    {
        DeleteFileW((ShellFolder() + L"icons.txt").c_str());
        SendMessageW(FindWindowW(L"Progman", nullptr), WM_APP, 0, 0);
        return ReadIcons(ShellFolder() + L"icons.txt");
    }
};

// Starts fixture_shell.exe (the stand-in for the shell's desktop icon list)
// in its own process and reads back what its list view holds.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

// The fixture's list and report files are UTF-8.
inline std::string Utf8(const std::wstring &text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], size, nullptr, nullptr);
    return out;
}

inline std::wstring FromUtf8(const std::string &text)
{
    int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0);
    std::wstring out(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], size);
    return out;
}

struct FixtureIcon {
    int x, y, image;
    std::wstring text;
    DWORD number;            // as reported: the item's value
    std::wstring file = L""; // when set, the item's file: made under this name in the shell's folder
};

// count icons named "Icon i" in rows of ten, image i % pictures.
inline std::vector<FixtureIcon> GridIcons(int count, int pictures)
{
    std::vector<FixtureIcon> icons;
    for (int i = 0; i < count; i++)
        icons.push_back(
            {10 + (i % 10) * 90, 10 + (i / 10) * 80, i % pictures, L"Icon " + std::to_wstring(i), 0});
    return icons;
}

// The test folder's fixture program (beside this one) with these arguments,
// ended with the scope.
struct FixtureProcess {
    PROCESS_INFORMATION process = {};
    explicit FixtureProcess(const std::wstring &arguments)
    {
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        *wcsrchr(exe, L'\\') = L'\0';
        std::wstring line = std::wstring(L"\"") + exe + L"\\fixture_shell.exe\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
        for (int k = 0; k < 200 && process.hProcess && !Find(L"Fixture ready"); k++)
            Sleep(25);
    }
    explicit FixtureProcess(const std::string &arguments) : FixtureProcess(FromUtf8(arguments)) {}
    ~FixtureProcess()
    {
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    static HWND Find(const wchar_t *title) { return FindWindowW(L"TessivonFixture", title); }
    static HWND Find(const char *title) { return Find(FromUtf8(title).c_str()); }
};

inline std::wstring ShellFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"tessivon-shell-";
}

struct FixtureShell : FixtureProcess {
    std::wstring report = ShellFolder() + L"report.txt";
    explicit FixtureShell(const std::vector<FixtureIcon> &icons, bool workerW = false)
        : FixtureProcess(WriteList(icons) + (workerW ? L" workerw" : L""))
    {
    }
    // Picture k is a file "picture k.txt", a folder for k = 1, a program for k = 2;
    // an icon with a file of its own gets an empty file of that name.
    static std::wstring WriteList(const std::vector<FixtureIcon> &icons)
    {
        std::wstring folder = ShellFolder(), list = folder + L"icons.txt";
        FILE *file = _wfopen(list.c_str(), L"wb");
        for (const FixtureIcon &icon : icons) {
            std::wstring picture = folder + L"picture " + std::to_wstring(icon.image);
            if (icon.image == 1)
                CreateDirectoryW(picture.c_str(), nullptr);
            picture += icon.image == 1 ? L"" : icon.image == 2 ? L".exe" : L".txt";
            if (!icon.file.empty())
                picture = folder + icon.file;
            CloseHandle(CreateFileW(picture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            fprintf(file, "%d %d %d|%s|%s\n", icon.x, icon.y, icon.image, Utf8(picture).c_str(),
                    Utf8(icon.text).c_str());
        }
        fclose(file);
        return L"\"" + list + L"\" \"" + folder + L"report.txt\"";
    }
    // What the fixture's list view holds now, as the fixture itself reads it.
    std::vector<FixtureIcon> Report() const
    {
        std::vector<FixtureIcon> icons;
        DeleteFileW(report.c_str());
        SendMessageW(FindWindowW(L"Progman", nullptr), WM_APP, 0, 0);
        FILE *file = _wfopen(report.c_str(), L"rb");
        int x, y, image, used = 0;
        unsigned long number;
        char line[4 * 512 + 64];
        while (file && fgets(line, sizeof(line), file) &&
               sscanf(line, "%d %d %d %lu|%n", &x, &y, &image, &number, &used) == 4 && used) {
            line[strcspn(line, "\r\n")] = '\0';
            icons.push_back({x, y, image, FromUtf8(line + used), (DWORD)number});
        }
        if (file)
            fclose(file);
        return icons;
    }
    // The item's label as the program's channel would see it: LVM_GETITEMTEXTW
    // with the record and the text in the fixture's memory.
    std::wstring ListedText(int index) const
    {
        HWND holder = FindWindowW(L"Progman", nullptr);
        HWND view = holder ? FindWindowExW(holder, nullptr, L"SHELLDLL_DefView", nullptr) : nullptr;
        HWND listView = view ? FindWindowExW(view, nullptr, L"SysListView32", nullptr) : nullptr;
        const SIZE_T capacity = 512;
        BYTE *remote = listView
                           ? static_cast<BYTE *>(VirtualAllocEx(process.hProcess, nullptr,
                                                                sizeof(LVITEMW) + capacity * sizeof(wchar_t),
                                                                MEM_COMMIT, PAGE_READWRITE))
                           : nullptr;
        if (!remote)
            return L"<no list view>";
        LVITEMW item = {};
        item.pszText = reinterpret_cast<wchar_t *>(remote + sizeof(LVITEMW));
        item.cchTextMax = (int)capacity;
        wchar_t text[capacity] = L"";
        bool read = WriteProcessMemory(process.hProcess, remote, &item, sizeof(item), nullptr);
        if (read)
            SendMessageW(listView, LVM_GETITEMTEXTW, index, (LPARAM)remote);
        read = read && ReadProcessMemory(process.hProcess, item.pszText, text, sizeof(text), nullptr);
        VirtualFreeEx(process.hProcess, remote, 0, MEM_RELEASE);
        text[capacity - 1] = L'\0';
        return read ? text : L"<unread>";
    }
};

// Starts fixture_shell.exe (the stand-in for the shell's desktop icon list)
// in its own process and reads back what its list view holds.
#pragma once
#include <windows.h>

#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

struct FixtureIcon {
    int x, y, image;
    std::string text;
    DWORD number; // as reported: the item's value
};

// count icons named "Icon i" in rows of ten, image i % pictures.
inline std::vector<FixtureIcon> GridIcons(int count, int pictures)
{
    std::vector<FixtureIcon> icons;
    for (int i = 0; i < count; i++)
        icons.push_back(
            {10 + (i % 10) * 90, 10 + (i / 10) * 80, i % pictures, "Icon " + std::to_string(i), 0});
    return icons;
}

// The test folder's fixture program (beside this one) with these arguments,
// ended with the scope.
struct FixtureProcess {
    PROCESS_INFORMATION process = {};
    explicit FixtureProcess(const std::string &arguments)
    {
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        *strrchr(exe, '\\') = '\0';
        std::string line = std::string("\"") + exe + "\\fixture_shell.exe\" " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
        for (int k = 0; k < 200 && process.hProcess && !Find("Fixture ready"); k++)
            Sleep(25);
    }
    ~FixtureProcess()
    {
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    static HWND Find(const char *title) { return FindWindowA("TessivonFixture", title); }
};

inline std::string ShellFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "tessivon-shell-";
}

struct FixtureShell : FixtureProcess {
    std::string report = ShellFolder() + "report.txt";
    explicit FixtureShell(const std::vector<FixtureIcon> &icons, bool workerW = false)
        : FixtureProcess(WriteList(icons) + (workerW ? " workerw" : ""))
    {
    }
    // Picture k is a file "picture k.txt", a folder for k = 1, a program for k = 2.
    static std::string WriteList(const std::vector<FixtureIcon> &icons)
    {
        std::string folder = ShellFolder(), list = folder + "icons.txt";
        FILE *file = fopen(list.c_str(), "w");
        for (const FixtureIcon &icon : icons) {
            std::string picture = folder + "picture " + std::to_string(icon.image);
            if (icon.image == 1)
                CreateDirectoryA(picture.c_str(), nullptr);
            picture += icon.image == 1 ? "" : icon.image == 2 ? ".exe" : ".txt";
            CloseHandle(CreateFileA(picture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            fprintf(file, "%d %d %d|%s|%s\n", icon.x, icon.y, icon.image, picture.c_str(), icon.text.c_str());
        }
        fclose(file);
        return "\"" + list + "\" \"" + folder + "report.txt\"";
    }
    // What the fixture's list view holds now, as the fixture itself reads it.
    std::vector<FixtureIcon> Report() const
    {
        std::vector<FixtureIcon> icons;
        DeleteFileA(report.c_str());
        SendMessageA(FindWindowA("Progman", nullptr), WM_APP, 0, 0);
        FILE *file = fopen(report.c_str(), "r");
        int x, y, image;
        unsigned long number;
        char text[512];
        while (file &&
               (text[0] = 0, fscanf(file, "%d %d %d %lu|%511[^\n]", &x, &y, &image, &number, text) >= 4))
            icons.push_back({x, y, image, text, (DWORD)number});
        if (file)
            fclose(file);
        return icons;
    }
};

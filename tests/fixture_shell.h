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

struct FixtureShell {
    PROCESS_INFORMATION process = {};
    std::string folder, report;

    // Picture k is a file "picture k.txt", a folder for k = 1, a program for k = 2.
    explicit FixtureShell(const std::vector<FixtureIcon> &icons, bool workerW = false)
    {
        char temp[MAX_PATH], exe[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        folder = std::string(temp) + "tessivon-fixture-shell\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "picture 1").c_str(), nullptr);
        for (const char *file : {"picture 0.txt", "picture 2.exe"})
            CloseHandle(
                CreateFileA((folder + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::string list = folder + "icons.txt";
        report = folder + "report.txt";
        DeleteFileA(report.c_str());
        FILE *file = fopen(list.c_str(), "w");
        for (const FixtureIcon &icon : icons)
            fprintf(file, "%d %d %d|%spicture %d%s|%s\n", icon.x, icon.y, icon.image, folder.c_str(),
                    icon.image,
                    icon.image == 1   ? ""
                    : icon.image == 2 ? ".exe"
                                      : ".txt",
                    icon.text.c_str());
        fclose(file);
        GetModuleFileNameA(nullptr, exe, sizeof(exe));
        std::string command = std::string(exe, strrchr(exe, '\\') + 1) + "fixture_shell.exe";
        command = "\"" + command + "\" \"" + list + "\" \"" + report + "\"" + (workerW ? " workerw" : "");
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process);
        for (int i = 0; i < 200 && GetFileAttributesA(report.c_str()) == INVALID_FILE_ATTRIBUTES; i++)
            Sleep(50);
    }
    ~FixtureShell()
    {
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    // What the fixture's list view holds now, as the fixture itself reads it.
    std::vector<FixtureIcon> Report() const
    {
        std::vector<FixtureIcon> icons;
        DeleteFileA(report.c_str());
        SendMessageA(FindWindowA("Progman", nullptr), WM_APP, 0, 0);
        FILE *file = fopen(report.c_str(), "r");
        char line[1200];
        FixtureIcon icon = {};
        unsigned long number = 0;
        while (file && fgets(line, sizeof(line), file))
            if (strchr(line, '|') &&
                sscanf(line, "%d %d %d %lu", &icon.x, &icon.y, &icon.image, &number) == 4) {
                icon.number = number;
                icon.text = std::string(strchr(line, '|') + 1, strcspn(strchr(line, '|') + 1, "\r\n"));
                icons.push_back(icon);
            }
        if (file)
            fclose(file);
        return icons;
    }
};

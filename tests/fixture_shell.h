// Starts fixture_shell.exe (the stand-in for the shell's desktop icon list)
// in its own process and reads back what its list view holds.
#pragma once
#include <windows.h>

#include <stdio.h>
#include <string>
#include <vector>

struct FixtureIcon {
    int x, y, image;
    std::string text;
};

struct ReportedIcon {
    int x, y, image;
    DWORD number;
    std::string text;
};

// count icons named "Icon i" in rows of ten, image i % pictures; the picture
// index k stands for a file "picture k.txt" (a folder for k = 1, a program
// for k = 2).
inline std::vector<FixtureIcon> GridIcons(int count, int pictures)
{
    std::vector<FixtureIcon> icons;
    for (int i = 0; i < count; i++)
        icons.push_back({10 + (i % 10) * 90, 10 + (i / 10) * 80, i % pictures, "Icon " + std::to_string(i)});
    return icons;
}

class FixtureShell {
  public:
    explicit FixtureShell(const std::vector<FixtureIcon> &icons, bool workerW = false)
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        folder = std::string(temp) + "tessivon-fixture-shell";
        CreateDirectoryA(folder.c_str(), nullptr);
        std::string list = folder + "\\icons.txt";
        report = folder + "\\report.txt";
        DeleteFileA(report.c_str());
        FILE *file = fopen(list.c_str(), "w");
        for (const FixtureIcon &icon : icons)
            fprintf(file, "%d %d %d|%s|%s\n", icon.x, icon.y, icon.image, PicturePath(icon.image).c_str(),
                    icon.text.c_str());
        fclose(file);
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, sizeof(exe));
        std::string program(exe);
        program = program.substr(0, program.find_last_of('\\') + 1) + "fixture_shell.exe";
        std::string command =
            "\"" + program + "\" \"" + list + "\" \"" + report + "\"" + (workerW ? " workerw" : "");
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return;
        for (int i = 0; i < 200 && GetFileAttributesA(report.c_str()) == INVALID_FILE_ATTRIBUTES; i++)
            Sleep(50);
    }
    ~FixtureShell()
    {
        if (!process.hProcess)
            return;
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    // What the fixture's list view holds now, as the fixture itself reads it.
    std::vector<ReportedIcon> Report() const
    {
        std::vector<ReportedIcon> icons;
        DeleteFileA(report.c_str());
        SendMessageA(FindWindowA("Progman", nullptr), WM_APP, 0, 0);
        FILE *file = fopen(report.c_str(), "r");
        char line[1200];
        while (file && fgets(line, sizeof(line), file)) {
            ReportedIcon icon = {};
            unsigned long number = 0;
            char *text = strchr(line, '|');
            if (!text || sscanf(line, "%d %d %d %lu", &icon.x, &icon.y, &icon.image, &number) != 4)
                continue;
            icon.number = number;
            icon.text = std::string(text + 1, strcspn(text + 1, "\r\n"));
            icons.push_back(icon);
        }
        if (file)
            fclose(file);
        return icons;
    }
    std::string PicturePath(int k)
    {
        std::string path = folder + "\\picture " + std::to_string(k) +
                           (k == 1   ? ""
                            : k == 2 ? ".exe"
                                     : ".txt");
        if (k == 1)
            CreateDirectoryA(path.c_str(), nullptr);
        else
            CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        return path;
    }

    PROCESS_INFORMATION process = {};
    std::string folder, report;
};

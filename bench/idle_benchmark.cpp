// Starts the real tessivon.exe beside the stand-in shell with 500 icons and,
// once the program has saved their layout at start-up and come to rest,
// prints the processor time it takes over ten quiet minutes (or the seconds
// given), and that as a share of one core.
//
//   idle_benchmark.exe PATH-OF-tessivon.exe [SECONDS]
#include <stdio.h>

#include <vector>

#include "base/platform.h"
#include "desktop_icons/icon_layout.h"
#include "resources/resource_ids.h"
#include "tests/fixture_shell.h"
#include "tests/program_driver.h"
#include "tests/registry_guard.h"

// The process's user and kernel time, in 100 ns units.
static ULONGLONG ProcessorTime(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return 0;
    return ((ULONGLONG)kernel.dwHighDateTime << 32 | kernel.dwLowDateTime) +
           ((ULONGLONG)user.dwHighDateTime << 32 | user.dwLowDateTime);
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return printf("usage: idle_benchmark PATH-OF-tessivon.exe [SECONDS]\n"), 2;
    int seconds = argc > 2 ? atoi(argv[2]) : 600;
    if (seconds <= 0)
        return printf("the quiet period is a number of seconds above 0\n"), 2;
    LoadPlatformTable();
    RegistryGuard registry;
    const int count = 500;
    FixtureShell shell(GridIcons(count, 20));
    ChildProcess program(Quoted(WinePath(argv[1])));
    // At rest: the layout saved once the shell's icons settled, and the program answering.
    bool saved = WaitFor(
        [&] {
            std::vector<IconPlace> kept;
            return ReadIconLayout(PresentDisplaySetup().c_str(), &kept) && kept.size() == (size_t)count;
        },
        60000);
    if (!saved || !ProgramHandles(WM_NULL))
        return printf("the program did not save the layout of %d icons at start-up\n", count), 1;
    Sleep(2000); // the start-up's last timers run out
    ULONGLONG before = ProcessorTime(program.info.hProcess);
    Sleep((DWORD)seconds * 1000);
    ULONGLONG took = ProcessorTime(program.info.hProcess) - before;
    PostMessageW(ProgramWindow(), WM_COMMAND, ID_EXIT, 0);
    program.Wait(15000);
    printf(
        "processor time of tessivon.exe over %d quiet seconds with %d icons: %.2f ms (%.4f%% of one core)\n",
        seconds, count, took / 10000.0, took / 100000.0 / seconds);
    return 0;
}

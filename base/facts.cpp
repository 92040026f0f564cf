// The write-once facts of the running program, read at start-up.
#include "base/facts.h"

HINSTANCE InstanceHandle;
wchar_t ModulePath[MAX_PATH];

void ReadProgramFacts(HINSTANCE instance)
{
    InstanceHandle = instance;
    DWORD length = GetModuleFileNameW(instance, ModulePath, MAX_PATH);
    // A cut path is no path: nothing is better than a wrong program in the Run value.
    if (length == 0 || length >= MAX_PATH)
        ModulePath[0] = L'\0';
}

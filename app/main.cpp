// The program's entry: wWinMain hands the instance to start-up.
#include "app/single_instance.h"
#include "app/startup.h"
#include "base/platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    LoadPlatformTable();
    return RunTessivon(instance, ProgramArguments());
}

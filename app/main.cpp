#include "app/single_instance.h"
#include "app/startup.h"
#include "base/platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    LoadPlatformTable();
    return RunTessivon(instance, ProgramArguments());
}

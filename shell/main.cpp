#include "shell/platform.h"
#include "shell/tessivon.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    LoadPlatformTable();
    return RunTessivon(instance);
}

// A second process with top-level windows for the window arrangement tests:
// "Fixture 0" to "Fixture N-1" (N from the command line), a minimised one, one
// of zero height, one without a title, a hidden one, stand-ins for a taskbar
// and a desk band, and last a hidden "Fixture ready". Runs until it is ended;
// a window that is sent WM_CLOSE is destroyed.
#include <windows.h>

#include <cstdlib>

static HWND Make(const char *title, DWORD style, int x, int y, int width, int height,
                 const char *className = "TessivonFixture")
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {
        0, DefWindowProcA, 0, 0, instance, nullptr, nullptr, (HBRUSH)(COLOR_WINDOW + 1), nullptr, className};
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, className, title, style, x, y, width, height, nullptr, nullptr, instance,
                           nullptr);
}

int main(int argc, char **argv)
{
    const DWORD shown = WS_POPUP | WS_BORDER | WS_VISIBLE;
    char title[32];
    for (int k = 0; k < (argc > 1 ? atoi(argv[1]) : 2); k++) { // left of the dialog, ten to a column
        wsprintfA(title, "Fixture %d", k);
        Make(title, shown, 8 + (k / 10) * 50, 8 + (k % 10) * 60, 40, 50);
    }
    ShowWindow(Make("Fixture minimised", WS_OVERLAPPEDWINDOW, 20, 20, 100, 80), SW_SHOWMINNOACTIVE);
    Make("Fixture flat", shown, 60, 700, 100, 0);
    Make("", shown, 60, 720, 30, 20);
    Make("Fixture hidden", WS_POPUP, 60, 740, 30, 20);
    Make("Fixture taskbar", shown, 300, 740, 400, 20, "Shell_TrayWnd");
    Make("Fixture band", shown, 720, 740, 100, 20, "BaseBar");
    Make("Fixture ready", WS_POPUP, 0, 0, 10, 10);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

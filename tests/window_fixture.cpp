// A second process with top-level windows for the window arrangement tests:
// "Fixture 0" to "Fixture N-1" (N from the command line; "Fixture 0" with its
// own small icon, the others with none), a minimised one, one of zero height,
// one without a title, a hidden one, stand-ins for a taskbar and a desk band
// (classes "Shell_TrayWnd" and "BaseBar"), and last a hidden "Fixture ready".
// Runs until it is ended; a window that is sent WM_CLOSE is destroyed.
#include <windows.h>

#include <cstdlib>
#include <initializer_list>

#define FIXTURE_CLASS "TessivonFixture"

static HWND Make(const char *title, DWORD style, int x, int y, int width, int height,
                 const char *className = FIXTURE_CLASS)
{
    return CreateWindowExA(0, className, title, style, x, y, width, height, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

int main(int argc, char **argv)
{
    int count = argc > 1 ? atoi(argv[1]) : 2;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = FIXTURE_CLASS;
    RegisterClassA(&windowClass);
    for (const char *name : {"Shell_TrayWnd", "BaseBar"}) {
        windowClass.lpszClassName = name;
        RegisterClassA(&windowClass);
    }

    const DWORD shown = WS_POPUP | WS_BORDER | WS_VISIBLE;
    // Left of where the dialog opens, ten to a column.
    for (int k = 0; k < count; k++) {
        char title[32];
        wsprintfA(title, "Fixture %d", k);
        HWND window = Make(title, shown, 8 + (k / 10) * 50, 8 + (k % 10) * 60, 40, 50);
        if (k == 0)
            SendMessageA(window, WM_SETICON, ICON_SMALL, (LPARAM)LoadIconA(nullptr, IDI_WARNING));
    }
    HWND minimised = Make("Fixture minimised", WS_OVERLAPPEDWINDOW, 20, 20, 100, 80);
    ShowWindow(minimised, SW_SHOWMINNOACTIVE);
    Make("Fixture flat", shown, 60, 700, 100, 0);
    Make("", shown, 60, 720, 30, 20);
    Make("Fixture hidden", WS_POPUP, 60, 740, 30, 20);
    Make("Fixture taskbar", shown, 300, 740, 400, 20, "Shell_TrayWnd");
    Make("Fixture band", shown, 720, 740, 100, 20, "BaseBar");
    Make("Fixture ready", WS_POPUP, 0, 0, 10, 10);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

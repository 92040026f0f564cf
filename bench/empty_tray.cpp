// The least a notification-area program needs: one icon on a hidden window and
// a message loop. bench/memory measures tessivon.exe against it, so that the
// figure left is what the program itself costs.
#include <windows.h>

#include <shellapi.h>

static const wchar_t EmptyTrayTitle[] = L"Empty tray";
static const UINT EMPTY_TRAY_NOTIFY = WM_APP + 1;

static NOTIFYICONDATAW IconData(HWND window)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = 1;
    return data;
}

static LRESULT CALLBACK EmptyTrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        NOTIFYICONDATAW data = IconData(window);
        Shell_NotifyIconW(NIM_DELETE, &data);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = EmptyTrayProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = EmptyTrayTitle;
    if (!RegisterClassExW(&windowClass))
        return 1;
    HWND window = CreateWindowExW(0, EmptyTrayTitle, EmptyTrayTitle, 0, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, nullptr);
    if (!window)
        return 1;

    NOTIFYICONDATAW data = IconData(window);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = EMPTY_TRAY_NOTIFY;
    data.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(data.szTip, EmptyTrayTitle, ARRAYSIZE(data.szTip));
    if (!Shell_NotifyIconW(NIM_ADD, &data))
        return 1;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

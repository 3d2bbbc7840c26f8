// A process for the process manager's tests: a top-level window of class
// "VeldarProcessHelper" at (10, 20), 640 x 480, whose caption is the command line after the
// program's name ("process helper" when empty); with "--no-window" first it has no window.
// It ends by itself after a minute, so a failed case leaves nothing running for long.
#include <windows.h>

#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int)
{
    SetTimer(nullptr, 0, 60000, nullptr);
    if (strncmp(arguments, "--no-window", 11) != 0) {
        WNDCLASSA cls = {};
        cls.lpfnWndProc = DefWindowProcA;
        cls.hInstance = instance;
        cls.lpszClassName = "VeldarProcessHelper";
        RegisterClassA(&cls);
        HWND window = CreateWindowExA(
            0, cls.lpszClassName, *arguments ? arguments : "process helper", WS_OVERLAPPEDWINDOW,
            10, 20, 640, 480, nullptr, nullptr, instance, nullptr);
        ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER)
        DispatchMessageA(&msg);
    return 0;
}

// A process for the process manager's tests: a window of class "Static" at (10, 20), 640 x 480,
// captioned by the command line; none after "--no-window". It ends after a minute.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int)
{
    SetTimer(nullptr, 0, 60000, nullptr);
    if (lstrcmpA(arguments, "--no-window") != 0)
        ShowWindow(CreateWindowExA(0, "Static", arguments, WS_OVERLAPPEDWINDOW, 10, 20, 640, 480,
                                   nullptr, nullptr, instance, nullptr),
                   SW_SHOWNOACTIVATE);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER)
        DispatchMessageA(&msg);
    return 0;
}

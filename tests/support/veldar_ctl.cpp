// Console helper of the run and screenshot scripts:
//   veldar_ctl wait [SECONDS]  waits for a visible launcher main window; prints "X Y W H"
//   veldar_ctl close           closes every launcher main window the normal way (WM_CLOSE)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static bool Closing = false;

static BOOL CALLBACK Visit(HWND window, LPARAM found)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, "WC_VeldarMain") != 0)
        return TRUE;
    if (Closing)
        return PostMessageA(window, WM_CLOSE, 0, 0) || TRUE;
    if (IsWindowVisible(window))
        *reinterpret_cast<HWND*>(found) = window;
    return !IsWindowVisible(window);
}

int main(int argc, char** argv)
{
    Closing = argc >= 2 && strcmp(argv[1], "close") == 0;
    if (Closing)
        return EnumWindows(Visit, 0), 0;
    if (argc < 2 || strcmp(argv[1], "wait") != 0) {
        fprintf(stderr, "usage: veldar_ctl wait [SECONDS] | close\n");
        return 2;
    }
    DWORD limit = (argc >= 3 ? atoi(argv[2]) : 30) * 1000, start = GetTickCount();
    for (HWND found = nullptr; GetTickCount() - start < limit; Sleep(50)) {
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&found));
        if (found) {
            Sleep(300); // let it paint
            RECT r;
            GetWindowRect(found, &r);
            printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
            return 0;
        }
    }
    return 1;
}

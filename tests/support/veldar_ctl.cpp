// Console helper for the run and screenshot scripts:
//   veldar_ctl wait [SECONDS]  waits for a visible launcher main window; prints "X Y W H"
//   veldar_ctl close           closes every launcher main window the normal way (WM_CLOSE)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static BOOL CALLBACK FindShown(HWND window, LPARAM param)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, "WC_VeldarMain") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK CloseLauncher(HWND window, LPARAM)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, "WC_VeldarMain") == 0)
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

int main(int argc, char** argv)
{
    if (argc >= 2 && strcmp(argv[1], "close") == 0) {
        EnumWindows(CloseLauncher, 0);
        return 0;
    }
    if (argc >= 2 && strcmp(argv[1], "wait") == 0) {
        DWORD limit = (argc >= 3 ? atoi(argv[2]) : 30) * 1000;
        DWORD start = GetTickCount();
        while (GetTickCount() - start < limit) {
            HWND found = nullptr;
            EnumWindows(FindShown, reinterpret_cast<LPARAM>(&found));
            if (found) {
                Sleep(300); // let it paint
                RECT r;
                GetWindowRect(found, &r);
                printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
                return 0;
            }
            Sleep(50);
        }
        return 1;
    }
    fprintf(stderr, "usage: veldar_ctl wait [SECONDS] | close\n");
    return 2;
}

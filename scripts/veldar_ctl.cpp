// Console helper of the run and screenshot scripts:
//   veldar_ctl wait [SECONDS]  waits for a visible launcher main window; prints "X Y W H"
//   veldar_ctl close           closes every launcher main window the normal way (WM_CLOSE)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv)
{
    const char* command = argc >= 2 ? argv[1] : "";
    HWND found = nullptr;
    if (strcmp(command, "close") == 0) {
        while ((found = FindWindowExA(nullptr, found, "WC_VeldarMain", nullptr)))
            PostMessageA(found, WM_CLOSE, 0, 0);
        return 0;
    }
    if (strcmp(command, "wait") != 0)
        return fprintf(stderr, "usage: veldar_ctl wait [SECONDS] | close\n"), 2;
    DWORD limit = (argc >= 3 ? atoi(argv[2]) : 30) * 1000, start = GetTickCount();
    for (; GetTickCount() - start < limit; Sleep(50))
        while ((found = FindWindowExA(nullptr, found, "WC_VeldarMain", nullptr)))
            if (IsWindowVisible(found)) {
                Sleep(300); // let it paint
                RECT r;
                GetWindowRect(found, &r);
                printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
                return 0;
            }
    return 1;
}

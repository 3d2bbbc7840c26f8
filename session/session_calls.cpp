// The real calls behind the session seams.
#include "session/session_calls.h"

BOOL(WINAPI* ExitWindowsCall)(UINT, DWORD) = ExitWindowsEx;
UINT(WINAPI* WinExecCall)(LPCSTR, UINT) = WinExec;
void(WINAPI* LocalTimeCall)(LPSYSTEMTIME) = GetLocalTime;
DWORD(WINAPI* TickCountCall)() = GetTickCount;

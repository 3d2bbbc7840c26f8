// The calls that end the Windows session or read the clock of a reservation, reached through
// pointers so that a test can put itself in their place: the real ones would end the test
// program with every other window of the session, or make the test wait in real time.
#pragma once
#include <windows.h>

extern BOOL(WINAPI* ExitWindowsCall)(UINT flags, DWORD reason);
extern UINT(WINAPI* WinExecCall)(LPCSTR commandLine, UINT showCommand);
extern void(WINAPI* LocalTimeCall)(LPSYSTEMTIME now);
extern DWORD(WINAPI* TickCountCall)();

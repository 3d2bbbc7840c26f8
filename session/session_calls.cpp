// The real calls behind the session seams. They are wrapped in functions of this program so
// that the pointers are constant-initialised: a test program that puts its own calls in place
// while it starts can never see them overwritten afterwards.
#include "session/session_calls.h"

namespace {

BOOL WINAPI RealExitWindows(UINT flags, DWORD reason)
{
    return ExitWindowsEx(flags, reason);
}
UINT WINAPI RealWinExec(LPCSTR commandLine, UINT showCommand)
{
    return WinExec(commandLine, showCommand);
}
void WINAPI RealLocalTime(LPSYSTEMTIME now)
{
    GetLocalTime(now);
}
DWORD WINAPI RealTickCount()
{
    return GetTickCount();
}

} // namespace

BOOL(WINAPI* ExitWindowsCall)(UINT, DWORD) = RealExitWindows;
UINT(WINAPI* WinExecCall)(LPCSTR, UINT) = RealWinExec;
void(WINAPI* LocalTimeCall)(LPSYSTEMTIME) = RealLocalTime;
DWORD(WINAPI* TickCountCall)() = RealTickCount;

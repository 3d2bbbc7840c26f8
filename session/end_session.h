// Exit, restart and log off: the confirmation dialog and the request to Windows.
#pragma once
#include <windows.h>

// The whole tools-menu command (IDM_EXIT_WINDOWS, IDM_RESTART or IDM_LOG_OFF): asks, then
// requests the end of the session and closes owner, which saves the settings.
void EndWindowsSession(HWND owner, int command);
// 1 when ending the session may be requested: the shutdown privilege is enabled on the NT
// family, there is nothing to enable on 9x. 0 otherwise, after the reason was reported.
int EnableShutdownPrivilege();
// The ExitWindowsEx flags of a session command; never EWX_FORCE.
UINT ExitFlagsForCommand(int command);

// Exit, restart and log off with confirmation (dialog 1009). The request itself returns at
// once: Windows ends the session afterwards, and the launcher only closes its main window.
#include "session/end_session.h"

#include "common/app_state.h"
#include "common/os_family.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "resource.h"
#include "session/last_error.h"
#include "session/session_calls.h"
#include "store/settings_store.h"

namespace {

const char kFastRestartLine[] = "RUNDLL USER.EXE,ExitWindowsExec";

// The row of the dialog a command shows: 0 exit, 1 restart, 2 log off and anything else.
int RowOf(int command)
{
    if (command == IDM_EXIT_WINDOWS)
        return 0;
    return command == IDM_RESTART ? 1 : 2;
}

BOOL OnInitDialog(HWND dialog, int command)
{
    Settings->FastRestart = 0;
    bool fastBox = command == IDM_RESTART && GetOsFamily() != WindowsNT;
    int row = RowOf(command);
    for (int k = 0; k < 3; ++k) {
        if (k == row)
            continue;
        ShowWindow(GetDlgItem(dialog, IDC_CONFIRM_ICON_EXIT + k), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_CONFIRM_TEXT_EXIT + k), SW_HIDE);
    }
    ShowWindow(GetDlgItem(dialog, IDC_CONFIRM_FAST), fastBox ? SW_SHOW : SW_HIDE);
    PlaceWindow(dialog, nullptr, 0, 0);
    // Left to the system, the focus would land on "はい", which the dialog manager then makes
    // the button of Enter and Space: a key pressed by habit would end the session. Through
    // WM_NEXTDLGCTL "いいえ" takes both the focus and the default; FALSE keeps it there.
    SendMessageA(dialog, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_CONFIRM_NO)), TRUE);
    return FALSE;
}

// Only the two buttons end the dialog: Enter, Escape and the close box do not answer a
// question whose answer ends the session.
BOOL OnCommand(HWND dialog, int id)
{
    if (id == IDC_CONFIRM_YES) {
        Settings->FastRestart = IsDlgButtonChecked(dialog, IDC_CONFIRM_FAST) == BST_CHECKED;
        EndDialog(dialog, 1);
    } else if (id == IDC_CONFIRM_NO) {
        EndDialog(dialog, 0);
    }
    return TRUE;
}

INT_PTR CALLBACK ConfirmProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, static_cast<int>(lParam));
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

// Closes the token whichever way the privilege step ends.
struct TokenHandle {
    HANDLE handle = nullptr;
    ~TokenHandle()
    {
        if (handle)
            CloseHandle(handle);
    }
};

} // namespace

UINT ExitFlagsForCommand(int command)
{
    switch (command) {
    case IDM_EXIT_WINDOWS: return GetOsFamily() == WindowsNT ? EWX_POWEROFF : EWX_SHUTDOWN;
    case IDM_RESTART: return EWX_REBOOT;
    default: return EWX_LOGOFF;
    }
}

int EnableShutdownPrivilege()
{
    switch (GetOsFamily()) {
    case Windows9x: return 1;
    case WindowsNT: break;
    default: return 0;
    }
    TokenHandle token;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          &token.handle) ||
        !LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid) ||
        !AdjustTokenPrivileges(token.handle, FALSE, &privileges, 0, nullptr, nullptr)) {
        KeepLastErrorOr(ERROR_ACCESS_DENIED);
        return ReportError(kLastError, nullptr);
    }
    // AdjustTokenPrivileges also succeeds when it could not assign the privilege; only the
    // last error tells (ERROR_NOT_ALL_ASSIGNED).
    DWORD error = GetLastError();
    if (error == 0)
        return 1;
    SetLastError(error);
    return ReportError(kLastError, nullptr);
}

void EndWindowsSession(HWND owner, int command)
{
    INT_PTR answer = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_EXIT_CONFIRM), owner,
                                     ConfirmProc, command);
    if (answer == -1) {
        ReportError(kLastError, nullptr);
        return;
    }
    // A countdown that ended the session meanwhile has closed the owner: one end is enough.
    if (answer != 1 || !IsWindow(owner))
        return;
    // Logging off needs no privilege, so a user without it can still log off; on a platform
    // that is neither family nothing is requested at all.
    if (command == IDM_LOG_OFF ? GetOsFamily() == Unknown : !EnableShutdownPrivilege())
        return;
    if (command == IDM_RESTART && Settings->FastRestart) {
        SetLastError(0);
        UINT result = WinExecCall(kFastRestartLine, SW_SHOW);
        if (result <= 31) {
            // WinExec's own result is the reason: 0 out of memory, 2 file not found, ...
            KeepLastErrorOr(result ? result : ERROR_NOT_ENOUGH_MEMORY);
            ReportError(kLastError, nullptr);
            return;
        }
    } else {
        SetLastError(0);
        if (!ExitWindowsCall(ExitFlagsForCommand(command), 0)) {
            KeepLastErrorOr(ERROR_ACCESS_DENIED);
            ReportError(kLastError, nullptr);
            return;
        }
    }
    PostMessageA(owner, WM_CLOSE, 0, 0);
}

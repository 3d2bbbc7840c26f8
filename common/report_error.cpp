// Error boxes: ownerless, the error icon and OK only, preceded by a beep; task-modal except while
// the countdown of a reserved shutdown is open.
#include "common/report_error.h"

#include <shellapi.h>
#include <stdio.h>

#include "common/app_state.h"
#include "resource.h"
#include "store/settings_store.h"

int ReportError(int code, const char* text)
{
    char buffer[520];
    buffer[0] = '\0';
    if (text && *text) {
        lstrcpynA(buffer, text, sizeof buffer);
    } else if (code == kLastError) {
        DWORD error = GetLastError();
        if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           error, 0, buffer, sizeof buffer, nullptr) == 0)
            snprintf(buffer, sizeof buffer, "Unknown Error. (%lu)", error);
    } else if (LoadStringA(AppInstance, static_cast<UINT>(code), buffer, MAX_PATH) == 0) {
        snprintf(buffer, sizeof buffer, "Unknown Error. (%lu)", static_cast<unsigned long>(code));
    }
    // A task-modal box disables every window of the thread, the countdown of a reserved
    // shutdown included: its "キャンセル" must stay within reach while the seconds run out.
    UINT modality = Settings && IsWindow(Settings->CountdownWindow) ? 0 : MB_TASKMODAL;
    MessageBeep(MB_OK);
    MessageBoxA(nullptr, buffer, nullptr, MB_OK | MB_ICONERROR | modality | MB_SETFOREGROUND);
    return 0;
}

// The error code that a failed ShellExecuteA result stands for.
static DWORD ShellErrorCode(INT_PTR result)
{
    switch (result) {
    case SE_ERR_SHARE: return ERROR_SHARING_VIOLATION;
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC: return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY: return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND: return ERROR_DLL_NOT_FOUND;
    }
    // 2 to 11 are error codes themselves; 0 means that the system lacked memory or resources.
    if (result >= ERROR_FILE_NOT_FOUND && result <= ERROR_BAD_FORMAT)
        return static_cast<DWORD>(result);
    return ERROR_NOT_ENOUGH_MEMORY;
}

int ReportShellFailure(HINSTANCE result)
{
    SetLastError(ShellErrorCode(reinterpret_cast<INT_PTR>(result)));
    return ReportError(kLastError, nullptr);
}

int ReportInputError(HWND dialog, int controlId, int messageId)
{
    ReportError(messageId ? messageId : IDS_ERR_REQUIRED, nullptr);
    SetFocus(GetDlgItem(dialog, controlId));
    return 0;
}

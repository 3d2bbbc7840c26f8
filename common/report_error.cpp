// Error boxes: task-modal, ownerless, the error icon and OK only, preceded by a beep.
#include "common/report_error.h"

#include <stdio.h>

#include "app/main_window.h"
#include "resource.h"

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
    MessageBeep(MB_OK);
    MessageBoxA(nullptr, buffer, nullptr, MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    return 0;
}

int ReportShellFailure(HINSTANCE result)
{
    const INT_PTR kNoAssociation = 31; // SE_ERR_NOASSOC
    INT_PTR code = reinterpret_cast<INT_PTR>(result);
    if (code == kNoAssociation)
        SetLastError(ERROR_NO_ASSOCIATION);
    else if (code >= ERROR_FILE_NOT_FOUND && code <= ERROR_BAD_FORMAT)
        SetLastError(static_cast<DWORD>(code));
    else if (GetLastError() == ERROR_SUCCESS)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return ReportError(kLastError, nullptr);
}

int ReportInputError(HWND dialog, int controlId, int messageId)
{
    ReportError(messageId ? messageId : IDS_ERR_REQUIRED, nullptr);
    SetFocus(GetDlgItem(dialog, controlId));
    return 0;
}

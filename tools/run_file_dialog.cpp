// The run-file dialog. The whole text is the thing to open: nothing is split off as
// parameters, and a text too long for the launcher's 260-byte buffers is refused rather than
// opened cut.
#include "tools/run_file_dialog.h"

#include <shellapi.h>
#include <string.h>

#include "common/app_state.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "common/text_cut.h"
#include "dialogs/file_choosers.h"
#include "resource.h"
#include "store/settings_store.h"

namespace {

// Twice the limit, so that a text over the limit is seen as such and not read cut.
const int kReadSize = 2 * kTextSize;

void UpdateRunButton(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDOK),
                 GetWindowTextLengthA(GetDlgItem(dialog, IDC_RUN_INPUT)) > 0);
}

BOOL OnInitDialog(HWND dialog)
{
    if (Settings->LastInput[0])
        SetDlgItemTextA(dialog, IDC_RUN_INPUT, Settings->LastInput);
    UpdateRunButton(dialog);
    PlaceWindow(dialog, GetParent(dialog), 0, 0);
    return TRUE;
}

void OnRun(HWND dialog)
{
    char text[kReadSize] = "";
    GetDlgItemTextA(dialog, IDC_RUN_INPUT, text, sizeof text);
    if (!text[0])
        return;
    if (strlen(text) >= static_cast<size_t>(kTextSize)) {
        ReportInputError(dialog, IDC_RUN_INPUT, IDS_ERR_BAD_VALUE);
        return;
    }
    HINSTANCE result = ShellExecuteA(dialog, "open", text, nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(result) <= 32) {
        ReportShellFailure(result);
        return;
    }
    if (Settings)
        CopyWholeCharacters(Settings->LastInput, sizeof Settings->LastInput, text);
    EndDialog(dialog, 1);
}

void OnBrowse(HWND dialog)
{
    char current[kReadSize] = "";
    GetDlgItemTextA(dialog, IDC_RUN_INPUT, current, sizeof current);
    char initial[kTextSize];
    CopyWholeCharacters(initial, sizeof initial, current);
    char chosen[kTextSize];
    if (ChooseFile(dialog, chosen, initial))
        SetDlgItemTextA(dialog, IDC_RUN_INPUT, chosen);
}

BOOL OnCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK: OnRun(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDC_RUN_BROWSE: OnBrowse(dialog); return TRUE;
    case IDC_RUN_INPUT:
        if (HIWORD(wParam) == EN_CHANGE)
            UpdateRunButton(dialog);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK RunFileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    }
    return FALSE;
}

} // namespace

INT_PTR OpenRunFileDialog(HWND owner)
{
    INT_PTR result =
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_RUN_FILE), owner, RunFileDialogProc, 0);
    if (result == -1)
        return ReportError(kLastError, nullptr);
    return result;
}

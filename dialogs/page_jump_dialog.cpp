// The page jump dialog: one entry per page, the current one selected; the chosen page becomes
// the current page and the grid shows its icons, tooltips and title.
#include "dialogs/page_jump_dialog.h"

#include <stdio.h>

#include "common/app_state.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "dialogs/dialog_value.h"
#include "resource.h"
#include "store/settings_store.h"
#include "strip/page_grid.h"

namespace {

INT_PTR OnInitDialog(HWND dialog)
{
    HWND combo = GetDlgItem(dialog, IDC_JUMP_PAGE);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int page = 1; page <= Settings->MaxPages; ++page) {
        char text[32];
        snprintf(text, sizeof text, "%d", page);
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    // A current page beyond the last one (a start page above a lowered number of pages) has
    // no entry: the list then opens without a selection.
    int entry = DialogValue >= 0 && DialogValue < Settings->MaxPages ? DialogValue : -1;
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    PlaceWindow(dialog, GetParent(dialog), 0, 0);
    return TRUE;
}

// Without a chosen page there is nothing to jump to, and the dialog stays open.
void OnJump(HWND dialog)
{
    LRESULT chosen = SendDlgItemMessageA(dialog, IDC_JUMP_PAGE, CB_GETCURSEL, 0, 0);
    if (chosen == CB_ERR)
        return;
    DialogValue = static_cast<int>(chosen);
    EndDialog(dialog, 1);
}

INT_PTR OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK: OnJump(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK PageJumpProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

} // namespace

int JumpToPage(HWND owner)
{
    int old = Settings->CurrentPage;
    DialogValue = old;
    INT_PTR result =
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_PAGE_JUMP), owner, PageJumpProc, 0);
    if (result == -1)
        return ReportError(kLastError, nullptr);
    if (result != 1)
        return 0;
    // The session may have ended while the dialog was open: a grid that teardown released
    // is not shown again.
    if (DialogValue != old && Settings && Settings->ItemButtons && IsWindow(owner)) {
        Settings->CurrentPage = DialogValue;
        ShowCurrentPage(owner);
    }
    return 1;
}

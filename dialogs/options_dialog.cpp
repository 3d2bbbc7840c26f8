// The options dialog. It edits working copies of five settings and writes them back only on
// OK; a changed number of icons per page regroups the items into other pages at once.
#include "dialogs/options_dialog.h"

#include <stdio.h>

#include "common/app_state.h"
#include "common/help.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "dialogs/dialog_value.h"
#include "resource.h"
#include "session/reservation.h"
#include "store/settings_store.h"
#include "strip/page_grid.h"

namespace {

// The working copies; the start page is DialogValue.
int WorkIconsPerPage = 0;
int WorkMaxPages = 0;
int WorkReserveAtStart = 0;
int WorkReserveNoConfirm = 0;

// Each list offers the numbers first … last; entry k stands for first + k. The start page
// list shows pages 1 … 20 and stands for the 0-based page.
struct NumberList {
    int id;
    int first;
    int last;
    int valueOfFirst;
};
const NumberList kIconsList = {IDC_OPT_ICONS_PER_PAGE, 3, 20, 3};
const NumberList kStartList = {IDC_OPT_START_PAGE, 1, 20, 0};
const NumberList kPagesList = {IDC_OPT_MAX_PAGES, 5, 100, 5};

// Fills the list and selects value; a value outside the list selects nothing.
void FillNumberList(HWND dialog, const NumberList& list, int value)
{
    HWND combo = GetDlgItem(dialog, list.id);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int number = list.first; number <= list.last; ++number) {
        char text[32];
        snprintf(text, sizeof text, "%d", number);
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    int entry = value - list.valueOfFirst;
    if (entry < 0 || entry > list.last - list.first)
        entry = -1;
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
}

// The value of the selected entry into *value; false when nothing is selected.
bool ReadNumberList(HWND dialog, const NumberList& list, int* value)
{
    LRESULT entry = SendDlgItemMessageA(dialog, list.id, CB_GETCURSEL, 0, 0);
    if (entry == CB_ERR)
        return false;
    *value = static_cast<int>(entry) + list.valueOfFirst;
    return true;
}

bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

INT_PTR OnInitDialog(HWND dialog)
{
    FillNumberList(dialog, kIconsList, WorkIconsPerPage);
    FillNumberList(dialog, kStartList, DialogValue);
    FillNumberList(dialog, kPagesList, WorkMaxPages);
    CheckDlgButton(dialog, IDC_OPT_RESERVE_AT_START,
                   WorkReserveAtStart ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_OPT_RESERVE_NO_CONFIRM,
                   WorkReserveNoConfirm ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_OPT_RESERVE_NO_CONFIRM), WorkReserveAtStart != 0);
    PlaceWindow(dialog, GetParent(dialog), 0, 0);
    return TRUE;
}

// Without confirmation at start-up makes sense only with a reservation at start-up; the mark
// stays as it is while the box is disabled.
void OnReserveAtStart(HWND dialog)
{
    WorkReserveAtStart = IsChecked(dialog, IDC_OPT_RESERVE_AT_START);
    EnableWindow(GetDlgItem(dialog, IDC_OPT_RESERVE_NO_CONFIRM), WorkReserveAtStart);
}

// A list without a selection keeps the dialog open, without a message.
void OnApply(HWND dialog)
{
    if (!ReadNumberList(dialog, kIconsList, &WorkIconsPerPage) ||
        !ReadNumberList(dialog, kPagesList, &WorkMaxPages) ||
        !ReadNumberList(dialog, kStartList, &DialogValue))
        return;
    WorkReserveAtStart = IsChecked(dialog, IDC_OPT_RESERVE_AT_START);
    WorkReserveNoConfirm = IsChecked(dialog, IDC_OPT_RESERVE_NO_CONFIRM);
    EndDialog(dialog, 1);
}

INT_PTR OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK: OnApply(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDC_OPT_RESERVE_AT_START: OnReserveAtStart(dialog); return TRUE;
    case IDC_OPT_SHOW_RESERVATION: OpenReservation(dialog, 1); return TRUE;
    case IDHELP: ShowHelp(1, IDH_OPTIONS); return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

} // namespace

int ShowOptions(HWND owner)
{
    LauncherSettings* s = Settings;
    WorkIconsPerPage = s->IconsPerPage;
    WorkMaxPages = s->MaxPages;
    DialogValue = s->StartPage;
    WorkReserveAtStart = s->ReserveAtStart;
    WorkReserveNoConfirm = s->ReserveNoConfirm;
    INT_PTR result =
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_OPTIONS), owner, OptionsProc, 0);
    if (result == -1)
        return ReportError(kLastError, nullptr);
    if (result != 1)
        return 0;

    int old = s->IconsPerPage;
    s->IconsPerPage = WorkIconsPerPage;
    s->MaxPages = WorkMaxPages;
    s->StartPage = DialogValue;
    s->ReserveAtStart = WorkReserveAtStart;
    s->ReserveNoConfirm = WorkReserveNoConfirm;
    // The session may have ended while the dialog was open: a grid that teardown released is
    // not built again.
    if (s->IconsPerPage != old && s->ItemButtons && IsWindow(owner))
        RebuildItemGrid(owner, old, s->IconsPerPage);
    return 1;
}

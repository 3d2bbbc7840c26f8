// The move dialog: a list of every free slot of every page, read from the registry when the
// dialog opens, and the move of the item into the chosen one after a question.
#include "dialogs/move_item_dialog.h"

#include <stdio.h>

#include "common/app_state.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "dialogs/dialog_value.h"
#include "resource.h"
#include "store/settings_store.h"
#include "strip/page_grid.h"

namespace {

// A line holds three numbers of at most 11 characters and two strings of at most 31 bytes.
const int kLineSize = 128;

void LoadText(UINT id, char* text, int size)
{
    if (LoadStringA(AppInstance, id, text, size) == 0)
        text[0] = '\0';
}

// "'caption' を 'line' に移動しますか？" in a box owned by the dialog; true only for Yes. The
// buffer holds the longest caption and line whole, so the question is never cut.
bool AskMove(HWND dialog, const char* caption, const char* line)
{
    char title[32], format[128], question[sizeof format + kTextSize + kLineSize];
    LoadText(IDS_CONFIRM_CAPTION, title, sizeof title);
    LoadText(IDS_ASK_MOVE, format, sizeof format);
    snprintf(question, sizeof question, format, caption, line);
    return MessageBoxA(dialog, question, title, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

INT_PTR OnInitDialog(HWND dialog)
{
    FillFreeList(GetDlgItem(dialog, IDC_MOVE_FREE_LIST), DialogValue);
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    PlaceWindow(dialog, GetParent(dialog), 0, 0);
    return TRUE;
}

// The slot number of a line is its item data, never read back from its text: "012" is slot
// 12, whatever a parser would make of the leading zero.
void OnMove(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_MOVE_FREE_LIST);
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return;
    char line[kLineSize];
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length >= kLineSize ||
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(line)) == LB_ERR)
        return;
    int destination =
        static_cast<int>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));

    ItemSlot item;
    LoadItem(DialogValue, &item);
    if (!AskMove(dialog, item.Caption, line))
        return;
    // Another copy of the launcher may have filled the slot since the list was read; its
    // item is not overwritten. The line is no longer free, so it goes.
    ItemSlot there;
    if (LoadItem(destination, &there)) {
        SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
        ReportInputError(dialog, IDC_MOVE_FREE_LIST, IDS_ERR_BAD_VALUE);
        return;
    }
    SaveItem(destination, &item);
    ItemSlot empty = {};
    SaveItem(DialogValue, &empty);
    EndDialog(dialog, 1);
}

INT_PTR OnCommand(HWND dialog, int id, int code)
{
    switch (id) {
    case IDOK: OnMove(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDC_MOVE_FREE_LIST:
        if (code == LBN_SELCHANGE)
            EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK MoveItemProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    }
    return FALSE;
}

} // namespace

int FillFreeList(HWND list, int source)
{
    const LauncherSettings* s = Settings;
    const int n = s->IconsPerPage;
    char page[32], position[32];
    LoadText(IDS_PAGE_SUFFIX, page, sizeof page);
    LoadText(IDS_POSITION_SUFFIX, position, sizeof position);

    // Up to 2000 lines: the list takes its storage once and is drawn once, when all are in.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    int lines = 0;
    const int slots = s->MaxPages * n;
    SendMessageA(list, LB_INITSTORAGE, static_cast<WPARAM>(slots), slots * 24);
    for (int slot = 0; slot < slots; ++slot) {
        ItemSlot item;
        if (slot == source || LoadItem(slot, &item))
            continue;
        char line[kLineSize];
        snprintf(line, sizeof line, "%03d: %d%s %d%s", slot, slot / n + 1, page, slot % n + 1,
                 position);
        LRESULT added = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
        // A list that refuses a line (out of memory) refuses the rest too.
        if (added == LB_ERR || added == LB_ERRSPACE)
            break;
        SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(added), slot);
        ++lines;
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    return lines;
}

int MoveItem(HWND owner, int position)
{
    const LauncherSettings* s = Settings;
    if (position < 0 || position >= s->IconsPerPage)
        return 0;
    DialogValue = s->CurrentPage * s->IconsPerPage + position;
    INT_PTR result =
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_MOVE_ITEM), owner, MoveItemProc, 0);
    if (result == -1)
        return ReportError(kLastError, nullptr);
    if (result != 1)
        return 0;
    // Every button of the page is made anew, the one whose menu started the move included.
    // The session may have ended while the dialog was open: a grid that teardown released is
    // not built again, and a main window that is gone gets nothing.
    s = Settings;
    if (s && s->ItemButtons && IsWindow(owner))
        RebuildItemGrid(owner, s->IconsPerPage, s->IconsPerPage);
    return 1;
}

// The icon chooser (dialog 1003): every large icon of one file in a single horizontally
// scrolling row, the file picked through the Open dialog or from the standard icon libraries.
#include "dialogs/icon_chooser.h"

#include <limits.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>

#include "common/app_state.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "dialogs/file_choosers.h"
#include "resource.h"
#include "store/settings_store.h"

namespace {

// The standard icon libraries of menu 103: in the Windows folder or in the system folder.
struct IconLibrary {
    int command;
    bool inWindowsFolder;
    const char* name;
};

const IconLibrary kLibraries[] = {
    {IDM_LIBRARY_MORICONS, true, "MORICONS"},
    {IDM_LIBRARY_SHELL32, false, "SHELL32"},
    {IDM_LIBRARY_PIFMGR, false, "PIFMGR"},
};

IconChooserState* Chooser;

int CellWidth()
{
    return GetSystemMetrics(SM_CXICON) + 4;
}
int CellHeight()
{
    return GetSystemMetrics(SM_CYICON) + 8;
}

// Every change of file goes through here, so at most one file's icons are held at a time and
// the new file starts at its first icon.
void ShowFile(HWND dialog)
{
    ReleaseIcons(Chooser);
    LoadIcons(Chooser);
    FillIconList(dialog, Chooser);
}

void DrawCellIcon(HDC dc, int index, int left)
{
    if (index >= 0 && index < Chooser->Count && Chooser->Icons[index])
        DrawIcon(dc, left + 2, 4, Chooser->Icons[index]);
}

BOOL OnInitDialog(HWND dialog)
{
    // Columns as wide as the cells drawn below, so that a click selects the icon under it.
    SendDlgItemMessageA(dialog, IDC_CHOOSER_ICONS, LB_SETCOLUMNWIDTH, CellWidth(), 0);
    if (Settings)
        SendDlgItemMessageA(dialog, IDC_CHOOSER_LIBRARY, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(Settings->ChooserButtonBitmap));
    LoadIcons(Chooser);
    FillIconList(dialog, Chooser);
    PlaceWindow(dialog, GetParent(dialog), 0, 0);
    return TRUE;
}

BOOL OnMeasureItem(MEASUREITEMSTRUCT* measure)
{
    if (measure->CtlID != IDC_CHOOSER_ICONS)
        return FALSE;
    measure->itemWidth = CellWidth();
    measure->itemHeight = CellHeight();
    return TRUE;
}

BOOL OnDrawItem(const DRAWITEMSTRUCT* draw)
{
    if (draw->CtlID != IDC_CHOOSER_ICONS)
        return FALSE;
    if (!Chooser || Chooser->Count == 0)
        return TRUE;
    const int cellWidth = CellWidth();
    const int cellHeight = CellHeight();
    // The list holds a single row, so its top index is the leftmost visible icon.
    const int first = static_cast<int>(SendMessageA(draw->hwndItem, LB_GETTOPINDEX, 0, 0));

    if (draw->itemAction & ODA_DRAWENTIRE) {
        // A full request paints the whole visible row, always from the leftmost visible icon:
        // a row painted from icon 0 while the list is scrolled would show other icons than
        // the ones a click picks. The list asks once per visible item, so every cell gets its
        // background first: icons with soft edges drawn again and again over themselves
        // would lose them.
        const int selected = static_cast<int>(SendMessageA(draw->hwndItem, LB_GETCURSEL, 0, 0));
        RECT client;
        GetClientRect(draw->hwndItem, &client);
        RECT cell = {0, 0, cellWidth, cellHeight};
        for (int i = first; i < Chooser->Count && cell.left < client.right; ++i) {
            FillRect(draw->hDC, &cell,
                     GetSysColorBrush(i == selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
            DrawCellIcon(draw->hDC, i, cell.left);
            OffsetRect(&cell, cellWidth, 0);
        }
        return TRUE;
    }

    const int index = static_cast<int>(draw->itemID);
    RECT cell = {(index - first) * cellWidth, 0, (index - first + 1) * cellWidth, cellHeight};
    if (draw->itemAction & ODA_SELECT)
        FillRect(
            draw->hDC, &cell,
            GetSysColorBrush((draw->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    else if (draw->itemAction & ODA_FOCUS)
        DrawFocusRect(draw->hDC, &cell);
    DrawCellIcon(draw->hDC, index, cell.left);
    return TRUE;
}

void OnBrowse(HWND dialog)
{
    char current[MAX_PATH] = "";
    char chosen[MAX_PATH];
    GetDlgItemTextA(dialog, IDC_CHOOSER_FILE, current, sizeof current);
    if (!ChooseFile(dialog, chosen, current))
        return;
    lstrcpynA(Chooser->Path, chosen, sizeof Chooser->Path);
    ShowFile(dialog);
}

// The chooser's file becomes the library name in the Windows folder or in the system folder.
void LibraryPath(bool inWindowsFolder, const char* name)
{
    char folder[MAX_PATH] = "";
    if (inWindowsFolder)
        GetWindowsDirectoryA(folder, sizeof folder);
    else
        GetSystemDirectoryA(folder, sizeof folder);
    snprintf(Chooser->Path, sizeof Chooser->Path, "%s\\%s%s", folder, name, ".DLL");
}

void OnLibrary(HWND dialog)
{
    HMENU menu = LoadMenuA(AppInstance, MAKEINTRESOURCEA(IDR_ICON_LIBRARY_MENU));
    if (!menu)
        return;
    POINT at;
    GetCursorPos(&at);
    int command = TrackPopupMenu(GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y,
                                 0, dialog, nullptr);
    DestroyMenu(menu);

    for (const IconLibrary& library : kLibraries) {
        if (library.command != command)
            continue;
        LibraryPath(library.inWindowsFolder, library.name);
        // The NT family keeps MORICONS.DLL in the system folder, not in the Windows folder.
        if (library.inWindowsFolder && GetFileAttributesA(Chooser->Path) == INVALID_FILE_ATTRIBUTES)
            LibraryPath(false, library.name);
        ShowFile(dialog);
        return;
    }
}

void OnOk(HWND dialog)
{
    char text[MAX_PATH] = "";
    GetDlgItemTextA(dialog, IDC_CHOOSER_FILE, text, sizeof text);
    if (!text[0]) {
        ReportInputError(dialog, IDC_CHOOSER_FILE, 0);
        return;
    }
    // A file typed but not yet shown: its icons come first, and the user picks among them. The
    // selection in the row belongs to the other file.
    if (lstrcmpiA(text, Chooser->Path) != 0) {
        lstrcpynA(Chooser->Path, text, sizeof Chooser->Path);
        ShowFile(dialog);
        return;
    }
    // Without a selected icon there is nothing to return. The last Windows error says nothing
    // useful here (it reads as success), so this is reported as a missing input.
    Chooser->Selected =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_CHOOSER_ICONS, LB_GETCURSEL, 0, 0));
    if (Chooser->Selected < 0) {
        ReportInputError(dialog, IDC_CHOOSER_ICONS, 0);
        return;
    }
    EndDialog(dialog, 1);
}

BOOL OnCommand(HWND dialog, int id, int code)
{
    if (code != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDC_CHOOSER_BROWSE: OnBrowse(dialog); return TRUE;
    case IDC_CHOOSER_LIBRARY: OnLibrary(dialog); return TRUE;
    case IDOK: OnOk(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK IconChooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_MEASUREITEM: return OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM: return OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    }
    return FALSE;
}

} // namespace

void LoadIcons(IconChooserState* state)
{
    state->Count = 0;
    state->Icons = nullptr;
    // A missing file answers UINT_MAX rather than 0.
    UINT count = ExtractIconExA(state->Path, -1, nullptr, nullptr, 0);
    if (count == 0 || count == UINT_MAX)
        return;
    HICON* icons = static_cast<HICON*>(calloc(count, sizeof(HICON)));
    if (!icons)
        return;
    // A failed extraction may leave garbage in the array, so only the count it answers is
    // trusted, and nothing of the array after a failure.
    UINT extracted = ExtractIconExA(state->Path, 0, icons, nullptr, count);
    if (extracted == 0 || extracted > count) {
        free(icons);
        return;
    }
    state->Icons = icons;
    state->Count = static_cast<int32_t>(extracted);
}

void ReleaseIcons(IconChooserState* state)
{
    if (state->Icons) {
        for (int i = 0; i < state->Count; ++i) {
            if (state->Icons[i])
                DestroyIcon(state->Icons[i]);
        }
        free(state->Icons);
        state->Icons = nullptr;
    }
    state->Selected = 0;
    state->Count = 0;
}

void FillIconList(HWND dialog, const IconChooserState* state)
{
    SetDlgItemTextA(dialog, IDC_CHOOSER_FILE, state->Path);
    HWND list = GetDlgItem(dialog, IDC_CHOOSER_ICONS);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, LB_SETHORIZONTALEXTENT, CellWidth() * state->Count, 0);
    // The list holds no data of its own: items are drawn from the icons by index.
    SendMessageA(list, LB_SETCOUNT, state->Count, 0);
    SendMessageA(list, LB_SETCURSEL, state->Selected, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

int ChooseIcon(HWND owner, int initialIndex, char* path)
{
    Chooser = static_cast<IconChooserState*>(calloc(1, sizeof(IconChooserState)));
    if (!Chooser)
        return -1;
    lstrcpynA(Chooser->Path, path, sizeof Chooser->Path);
    Chooser->Selected = initialIndex;
    // Only OK ends the dialog with 1; -1 means the dialog could not be created at all, which
    // must not count as a choice and must not pass in silence either.
    INT_PTR ended =
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ICON_CHOOSER), owner, IconChooserProc, 0);
    if (ended == -1)
        ReportError(kLastError, nullptr);
    int result = -1;
    if (ended > 0) {
        result = Chooser->Selected;
        lstrcpynA(path, Chooser->Path, MAX_PATH);
    }
    ReleaseIcons(Chooser);
    free(Chooser);
    Chooser = nullptr;
    return result;
}

// Registering items: the register/modify dialog of one button position, registration of a file
// dropped onto a button of the main window, and the refresh of that one button. Items are
// written through at once; nothing is cached.
#include "dialogs/item_dialog.h"

#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>

#include "common/app_state.h"
#include "common/path_parts.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "dialogs/file_choosers.h"
#include "dialogs/icon_chooser.h"
#include "resource.h"
#include "strip/page_grid.h"

namespace {

// The confirmation before a destructive step: caption "確認", the question of string textId,
// Yes/No with the warning icon; true only for Yes.
bool AskYesNo(HWND owner, UINT textId)
{
    char caption[32], text[128];
    if (LoadStringA(AppInstance, IDS_CONFIRM_CAPTION, caption, sizeof caption) == 0)
        caption[0] = '\0';
    if (LoadStringA(AppInstance, textId, text, sizeof text) == 0)
        text[0] = '\0';
    return MessageBoxA(owner, text, caption, MB_YESNO | MB_ICONWARNING) == IDYES;
}

} // namespace

bool TakeDroppedFile(HDROP drop, char* path)
{
    path[0] = '\0';
    if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 0)
        return false;
    // A longer path would be stored cut: an item naming no file, whose caption may end in half
    // a character. Its length is asked first, so that it is refused instead.
    if (DragQueryFileA(drop, 0, nullptr, 0) >= static_cast<UINT>(kTextSize)) {
        ReportError(IDS_ERR_BAD_VALUE, nullptr);
        return false;
    }
    return DragQueryFileA(drop, 0, path, kTextSize) > 0;
}

int RegisterDroppedFile(HWND owner, const char* path, int position)
{
    const LauncherSettings* s = Settings;
    int slot = s->CurrentPage * s->IconsPerPage + position;
    ItemSlot item;
    if (LoadItem(slot, &item) && !AskYesNo(owner, IDS_ASK_REPLACE))
        return 0;

    item = ItemSlot();
    GetFileNamePart(path, item.Caption);
    GetFolderPart(path, item.WorkDir);
    // A drive's root ("C:\") has no file name; an empty caption would store a free slot, and
    // so delete the item the user just agreed to replace. The path itself names it instead.
    if (!item.Caption[0])
        lstrcpynA(item.Caption, path, kTextSize);
    lstrcpynA(item.FilePath, path, kTextSize);
    lstrcpynA(item.IconPath, path, kTextSize);
    SaveItem(slot, &item);
    RefreshItemButton(position, &item);
    return 1;
}

void RefreshItemButton(int position, const ItemSlot* item)
{
    const LauncherSettings* s = Settings;
    if (!s->ItemButtons || position < 0 || position >= s->IconsPerPage)
        return;
    ItemButton& entry = s->ItemButtons[position];
    // The new image is set before the old icon goes, so the button never holds a destroyed one.
    HICON old = entry.Icon;
    entry.Icon = item->Caption[0] ? LoadFileIcon(item->IconPath, item->IconIndex) : nullptr;
    SendMessageA(entry.Window, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(entry.Icon));
    if (old)
        DestroyIcon(old);
    SetItemTooltip(IDC_ITEM_BUTTON_FIRST + position, item->Caption);
}

int EditSlot = 0;

namespace {

// The show states in ShowState order: normal, minimised, maximised.
const UINT kShowStateTexts[] = {IDS_SHOW_NORMAL, IDS_SHOW_MINIMIZED, IDS_SHOW_MAXIMIZED};

bool FieldIsEmpty(HWND dialog, int id)
{
    return GetWindowTextLengthA(GetDlgItem(dialog, id)) == 0;
}

void ReadField(HWND dialog, int id, char* out)
{
    GetDlgItemTextA(dialog, id, out, kTextSize);
}

// The icon number field as a signed integer; 0 when it is blank or not a number.
int ReadIconIndex(HWND dialog)
{
    char text[32];
    GetDlgItemTextA(dialog, IDC_ITEM_ICON_INDEX, text, sizeof text);
    return atoi(text);
}

void WriteIconIndex(HWND dialog, int index)
{
    char text[32];
    snprintf(text, sizeof text, "%d", index);
    SetDlgItemTextA(dialog, IDC_ITEM_ICON_INDEX, text);
}

INT_PTR OnInitDialog(HWND dialog)
{
    HWND combo = GetDlgItem(dialog, IDC_ITEM_SHOW_STATE);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (UINT id : kShowStateTexts) {
        char text[kTextSize];
        if (LoadStringA(AppInstance, id, text, sizeof text) == 0)
            text[0] = '\0';
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    ItemSlot item;
    if (LoadItem(EditSlot, &item)) {
        SetDlgItemTextA(dialog, IDC_ITEM_CAPTION, item.Caption);
        SetDlgItemTextA(dialog, IDC_ITEM_FILE, item.FilePath);
        SetDlgItemTextA(dialog, IDC_ITEM_ICON_FILE, item.IconPath);
        SetDlgItemTextA(dialog, IDC_ITEM_FOLDER, item.WorkDir);
        SetDlgItemTextA(dialog, IDC_ITEM_ARGUMENTS, item.Arguments);
        WriteIconIndex(dialog, item.IconIndex);
        SendMessageA(combo, CB_SETCURSEL, item.ShowState, 0);
    } else {
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
    }
    DragAcceptFiles(dialog, TRUE);
    PlaceWindow(dialog, GetParent(dialog), 0, 0);
    return TRUE;
}

void OnRegister(HWND dialog)
{
    ItemSlot item = {};
    ReadField(dialog, IDC_ITEM_CAPTION, item.Caption);
    if (!item.Caption[0]) {
        ReportInputError(dialog, IDC_ITEM_CAPTION, 0);
        return;
    }
    ReadField(dialog, IDC_ITEM_FILE, item.FilePath);
    if (!item.FilePath[0]) {
        ReportInputError(dialog, IDC_ITEM_FILE, 0);
        return;
    }
    ReadField(dialog, IDC_ITEM_ICON_FILE, item.IconPath);
    if (!item.IconPath[0])
        lstrcpynA(item.IconPath, item.FilePath, kTextSize);
    ReadField(dialog, IDC_ITEM_FOLDER, item.WorkDir);
    ReadField(dialog, IDC_ITEM_ARGUMENTS, item.Arguments);
    item.IconIndex = ReadIconIndex(dialog);
    LRESULT state = SendDlgItemMessageA(dialog, IDC_ITEM_SHOW_STATE, CB_GETCURSEL, 0, 0);
    item.ShowState = state == CB_ERR ? 0 : static_cast<int32_t>(state);
    SaveItem(EditSlot, &item);
    EndDialog(dialog, 1);
}

void OnDelete(HWND dialog)
{
    if (FieldIsEmpty(dialog, IDC_ITEM_CAPTION) || !AskYesNo(dialog, IDS_ASK_DELETE))
        return;
    ItemSlot empty = {};
    SaveItem(EditSlot, &empty);
    EndDialog(dialog, 1);
}

void OnBrowseFile(HWND dialog)
{
    char initial[kTextSize], chosen[kTextSize];
    ReadField(dialog, IDC_ITEM_FILE, initial);
    if (ChooseFile(dialog, chosen, initial))
        ApplyChosenFile(dialog, chosen);
}

void OnBrowseIcon(HWND dialog)
{
    char path[kTextSize];
    ReadField(dialog, IDC_ITEM_ICON_FILE, path);
    int index = ChooseIcon(dialog, ReadIconIndex(dialog), path);
    if (index == -1)
        return;
    SetDlgItemTextA(dialog, IDC_ITEM_ICON_FILE, path);
    WriteIconIndex(dialog, index);
}

void OnBrowseFolder(HWND dialog)
{
    char initial[kTextSize], chosen[kTextSize];
    ReadField(dialog, IDC_ITEM_FOLDER, initial);
    if (ChooseFolder(dialog, initial, chosen))
        SetDlgItemTextA(dialog, IDC_ITEM_FOLDER, chosen);
}

void OnDropFiles(HWND dialog, HDROP drop)
{
    char path[kTextSize];
    if (TakeDroppedFile(drop, path))
        ApplyChosenFile(dialog, path);
    DragFinish(drop);
}

INT_PTR OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK: OnRegister(dialog); return TRUE;
    case IDC_ITEM_DELETE: OnDelete(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDC_ITEM_BROWSE_FILE: OnBrowseFile(dialog); return TRUE;
    case IDC_ITEM_BROWSE_ICON: OnBrowseIcon(dialog); return TRUE;
    case IDC_ITEM_BROWSE_FOLDER: OnBrowseFolder(dialog); return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK ItemDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_DROPFILES: OnDropFiles(dialog, reinterpret_cast<HDROP>(wParam)); return TRUE;
    case WM_DESTROY: DragAcceptFiles(dialog, FALSE); return TRUE;
    }
    return FALSE;
}

} // namespace

void ApplyChosenFile(HWND dialog, const char* path)
{
    if (!path || !*path)
        return;
    SetDlgItemTextA(dialog, IDC_ITEM_FILE, path);
    if (FieldIsEmpty(dialog, IDC_ITEM_ICON_FILE))
        SetDlgItemTextA(dialog, IDC_ITEM_ICON_FILE, path);
    char part[kTextSize];
    if (FieldIsEmpty(dialog, IDC_ITEM_CAPTION)) {
        GetFileNamePart(path, part);
        SetDlgItemTextA(dialog, IDC_ITEM_CAPTION, part);
    }
    if (FieldIsEmpty(dialog, IDC_ITEM_FOLDER)) {
        GetFolderPart(path, part);
        SetDlgItemTextA(dialog, IDC_ITEM_FOLDER, part);
    }
}

int OpenItemDialog(HWND owner, int position)
{
    const LauncherSettings* s = Settings;
    EditSlot = s->CurrentPage * s->IconsPerPage + position;
    INT_PTR result =
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ITEM), owner, ItemDialogProc, 0);
    if (result == -1)
        return ReportError(kLastError, nullptr);
    if (result <= 0)
        return 0;
    ItemSlot item;
    LoadItem(EditSlot, &item);
    RefreshItemButton(position, &item);
    return static_cast<int>(result);
}

// The launcher's state and its registry store: the one settings block of the process, the
// item slot record, and the operations that load and save them.
#pragma once
#include <windows.h>

#include "common/app_state.h"
#include "store/reservation_block.h"

// Registry keys under HKEY_CURRENT_USER.
#define VELDAR_REG_BASE "Software\\VARNO"
#define VELDAR_REG_SETTINGS "VELDAR"
#define VELDAR_REG_ITEMS "VELDAR\\ITEM"

const int kTextSize = MAX_PATH; // every path and item text: 259 characters and a NUL

// One position of the icon page grid.
struct ItemButton {
    HWND Window;
    HICON Icon;
    WNDPROC BaseProc;
};

struct LauncherSettings {
    int32_t StartPage;
    int32_t CurrentPage;
    int32_t IconsPerPage;
    int32_t MaxPages;
    int32_t ReserveAtStart;
    int32_t ReserveNoConfirm;
    HWND SystemToolsWindow;
    HWND ToolsMenuButton;
    HWND LauncherMenuButton;
    HWND PageSpinner;
    HBITMAP ChooserButtonBitmap;
    HBITMAP MenuButtonBitmap;
    HCURSOR ToolCursor;
    ItemButton* ItemButtons;
    char LastInput[kTextSize];
    int32_t FastRestart;
    ReservationBlock ExitReservation;
    HWND CountdownWindow;
};

// One registered launch entry; an empty Caption marks a free slot.
struct ItemSlot {
    char Caption[kTextSize];
    char FilePath[kTextSize];
    char IconPath[kTextSize];
    char WorkDir[kTextSize];
    char Arguments[kTextSize];
    int32_t IconIndex;
    int32_t ShowState; // 0 normal, 1 minimised, 2 maximised
};

// Fills Settings from the registry and the stored window rectangle into pos; true only when
// the rectangle was read.
bool LoadSettings(RECT* pos);
// Writes the settings, the reservation block and the window rectangle of mainWindow; true
// when the rectangle was written.
bool SaveSettings(HWND mainWindow);
bool SaveReservation();
// Reads slot n from the registry; true when it is occupied. A free slot reads all-empty.
bool LoadItem(int slot, ItemSlot* item);
// Writes all seven values of slot n; always true.
bool SaveItem(int slot, const ItemSlot* item);

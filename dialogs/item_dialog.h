// Registering items: the register/modify dialog of one button position, registration of a
// file dropped onto a button, and the refresh of that button afterwards.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include "store/settings_store.h"

// The slot that the open register/modify dialog edits.
extern int EditSlot;

// Runs the register/modify dialog for position of the current page over owner and refreshes
// that button afterwards. Returns 1 when the item was registered or deleted, 0 when cancelled.
int OpenItemDialog(HWND owner, int position);
// Fills the dialog from a chosen or dropped file: the file field always, the caption, icon and
// folder fields only where they are empty.
void ApplyChosenFile(HWND dialog, const char* path);
// Puts the first file of drop into path (260 bytes). False when the drop holds none or when its
// path does not fit, which is then reported with 20005.
bool TakeDroppedFile(HDROP drop, char* path);
// Registers path (at most 259 characters) into position of the current page as a fresh item
// named after the file. An occupied slot is replaced only after the user agreed; returns 1
// when the file was registered, 0 when the user declined.
int RegisterDroppedFile(HWND owner, const char* path, int position);
// Brings the button of position up to date with item: its icon and its tooltip.
void RefreshItemButton(int position, const ItemSlot* item);

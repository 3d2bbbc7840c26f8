// What happens to one item button: launching its item through the shell, its context menu,
// the shell's properties of its file, and a file dropped onto it.
#pragma once
#include <windows.h>

#include <shellapi.h>

// WM_ITEMMENU of the main window: the context menu of the item button at position.
void ShowItemMenu(HWND window, int position);
// Opens the item at position of the current page; 1 when the shell accepted it, 0 for a free
// slot or a failure (which has been reported).
int LaunchItem(HWND owner, int position);
// The shell's property sheet of the item's file, if the shell has one.
void ShowItemProperties(HWND owner, int position);
// WM_DROPFILES of the main window: registers the first dropped file into the column under the
// drop point. Always releases the drop.
void HandleDroppedFiles(HWND window, HDROP drop);

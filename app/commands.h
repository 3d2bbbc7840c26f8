// Everything the user orders from the main window apart from the item context menu: the item
// button click, the tools and launcher menus, the function keys, and the graying of the item
// entries of a menu when it opens.
#pragma once
#include <windows.h>

// WM_COMMAND of the main window. Always ends by giving the keyboard focus back to MainWindow.
void HandleCommand(HWND window, WPARAM wParam);
// WM_KEYDOWN of the main window.
void HandleKeyDown(HWND window, WPARAM key);
// WM_INITMENU of the main window: grays the launch, move and properties entries of menu when
// the item button under the mouse pointer shows a free slot.
void EnableItemMenuEntries(HWND window, HMENU menu);

// The popup menus of the main window: loaded from the resources at each use and tracked so that
// the chosen command comes back to the caller instead of arriving as WM_COMMAND.
#pragma once
#include <windows.h>

// Shows the first submenu of menu resource menuId at the mouse pointer and returns the chosen
// command id; 0 when nothing was chosen or the menu could not be loaded.
int ShowPopupMenu(HWND owner, int menuId);

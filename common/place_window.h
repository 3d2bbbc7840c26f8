// Places a dialog or tool window on its reference window and keeps it inside the work area of
// the monitor nearest to the reference.
#pragma once
#include <windows.h>

// reference null means the desktop. An offset of 0 centres along that axis; any other offset
// puts the window that far from the reference's top-left corner.
void PlaceWindow(HWND window, HWND reference, int offsetX, int offsetY);

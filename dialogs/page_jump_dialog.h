// The page jump dialog: the user picks one of the pages and the grid shows it.
#pragma once
#include <windows.h>

// Runs dialog 1005 over owner (the main window) and shows the chosen page when it is another
// one. Returns 1 when a page was confirmed, 0 when cancelled.
int JumpToPage(HWND owner);

// The options dialog: icons per page, start page, number of pages and the two flags of the
// shutdown reservation at start-up.
#pragma once
#include <windows.h>

// Runs dialog 1004 over owner (the main window). On OK the five values go into Settings (the
// registry gets them when the settings are saved at teardown) and a changed number of icons
// per page rebuilds the grid at once. Returns 1 when applied, 0 when cancelled.
int ShowOptions(HWND owner);

// The launcher main window: its window classes, message map, message loop and the ordered
// save-and-release when the window goes away or Windows ends.
#pragma once
#include <windows.h>

#include "common/app_state.h"

// Set at start-up when a main window of the launcher already existed: this second copy then
// ignores the stored window position.
extern int AnotherInstanceFound;

// Registers "WC_VeldarMain" and "WC_VeldarST"; false when either fails.
bool RegisterWindowClasses();
// Loads the settings and creates, shows and stores the main window; null when creation failed.
// Settings must point at the zero-filled block.
HWND CreateMainWindow(int showCommand);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Saves the settings, then releases everything the window holds. Safe to run twice.
void TearDownMainWindow(HWND window);
// GetMessage/TranslateMessage/DispatchMessage until WM_QUIT.
void RunMessageLoop();

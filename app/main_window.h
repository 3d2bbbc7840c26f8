// The process itself: its instance, the launcher main window, its window classes, message map,
// message loop and the ordered save-and-release when the window goes away or Windows ends.
#pragma once
#include <windows.h>

#define VELDAR_MAIN_CLASS "WC_VeldarMain"
#define VELDAR_TOOLS_CLASS "WC_VeldarST"
#define VELDAR_WINDOW_NAME "VELDAR"

// The one private message: wParam is the position of the right-clicked item button.
const UINT WM_ITEMMENU = WM_USER + 1231;

extern HINSTANCE AppInstance;
extern HWND MainWindow;
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

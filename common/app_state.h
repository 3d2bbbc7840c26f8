// The state of the process that every layer may reach: the module instance, the launcher main
// window and the settings block, and the names of the launcher's windows.
#pragma once
#include <windows.h>

#define VELDAR_MAIN_CLASS "WC_VeldarMain"
#define VELDAR_TOOLS_CLASS "WC_VeldarST"
#define VELDAR_WINDOW_NAME "VELDAR"

// The module of the program, which holds its resources.
extern HINSTANCE AppInstance;
// The launcher main window; null before it is created and after it is gone.
extern HWND MainWindow;

// The settings block of the process (store/settings_store.h): allocated zero-filled at
// start-up, freed after the message loop, null before and after.
struct LauncherSettings;
extern LauncherSettings* Settings;

// Shared includes and fixtures of the test programs.
#pragma once
#define DOCTEST_CONFIG_NO_MULTITHREADING
#define DOCTEST_CONFIG_NO_POSIX_SIGNALS
#include <doctest.h>

#include <windows.h>

#include "app/main_window.h"
#include "store/settings_store.h"
#include "ui_driver.h"

// A case that starts from an empty launcher registry and a zero-filled settings block.
struct FreshSettings {
    FreshSettings();
    ~FreshSettings();
};

// The launcher main window created as the program creates it, over a fresh registry that a
// case may fill before construction (pass a function that writes items or settings). The
// window is destroyed, and the WM_QUIT it posts removed, when the fixture ends.
struct LauncherWindow : FreshSettings {
    explicit LauncherWindow(void (*prepare)() = nullptr);
    ~LauncherWindow();
    HWND window = nullptr;
};

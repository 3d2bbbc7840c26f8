// Shared includes, fixtures and helpers of the test programs.
#pragma once
#define DOCTEST_CONFIG_NO_MULTITHREADING
#define DOCTEST_CONFIG_NO_POSIX_SIGNALS
#include <doctest.h>

#include <windows.h>

#include <stdlib.h>

#include <string>

#include "app/main_window.h"
#include "store/settings_store.h"
#include "ui_driver.h"

// A visible top-level window that stands in for an owner or a reference window.
inline HWND Popup(int x, int y, int width = 300, int height = 200, const char* caption = "")
{
    return CreateWindowExA(0, "STATIC", caption, WS_POPUP | WS_VISIBLE, x, y, width, height,
                           nullptr, nullptr, nullptr, nullptr);
}

// An empty launcher registry and a zero-filled settings block.
struct FreshSettings {
    FreshSettings();
    ~FreshSettings() { free(Settings), Settings = nullptr; }
};

// The main window created as the program creates it, over a fresh registry that prepare may
// fill first; destroyed, with the WM_QUIT it posts, when the fixture ends.
struct LauncherWindow : FreshSettings {
    explicit LauncherWindow(void (*prepare)() = nullptr);
    ~LauncherWindow();
    HWND window = nullptr;
};

void WriteSetting(const char* name, DWORD value);
// An item of file (also its icon file) in folder, with arguments and show state.
ItemSlot MakeItem(const char* caption, const std::string& file, const char* arguments = "",
                  const std::string& folder = "", int showState = 0, int icon = 0);
// A stored item as "caption|file|icon file|folder|arguments|icon number|show state".
std::string Record(int slot);
// What the item button at position shows: its tip with an icon, "-" with neither.
std::string Shown(int position);

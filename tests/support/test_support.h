// Shared includes, fixtures and helpers of the test programs.
#pragma once
#define DOCTEST_CONFIG_NO_MULTITHREADING
#define DOCTEST_CONFIG_NO_POSIX_SIGNALS
#include <doctest.h>

#include <windows.h>

#include <shlwapi.h>
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

// An empty launcher registry and a zero-filled settings block. A case must leave the current
// folder as it found it, whatever Open dialog it went through.
struct FreshSettings {
    FreshSettings();
    ~FreshSettings();
    char startFolder[MAX_PATH] = "";
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
// A real file whose path is bytes long, in nested folders named "長い表ソ" under C:\.
std::string DeepFile(size_t bytes);
// The Open dialog as a user drives it: into the folder of file, then its name typed there.
inline ui::UiScript& Browse(ui::UiScript& script, const std::string& file)
{
    const std::string name = PathFindFileNameA(file.c_str());
    for (const std::string& text : {file.substr(0, file.size() - name.size()), name})
        script.On("開く", [text](HWND open) {
            ui::SetControlText(open, 0x47C /* name box */, text.c_str()), ui::Click(open, IDOK);
        });
    return script;
}

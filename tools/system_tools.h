// The system tools window: the standard Windows accessories found on this machine, side by
// side; pointing at one names it in the caption, clicking it starts it and closes the window.
#pragma once
#include <windows.h>

#include <stdint.h>

// One tool that was found.
struct ToolEntry {
    char DisplayName[48];
    char FilePath[MAX_PATH];
    HICON Icon;
    int32_t IconIndex; // 1 for Explorer and 35 for the Control Panel also choose their parameters
};

const int kToolCellSize = 36;

// Opens the window anew (an open one is destroyed first) and disables the main window while it
// is open. Its handle is kept in Settings->SystemToolsWindow.
void OpenSystemTools();
// Window procedure of the class "WC_VeldarST".
LRESULT CALLBACK SystemToolsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// 1 when FindFirstFileA finds path, else 0.
int FileExists(const char* path);
// The tools of the open window in display order and their number; null while none is open.
const ToolEntry* SystemToolEntries(int* count);

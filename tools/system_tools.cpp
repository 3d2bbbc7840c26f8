// The system tools window. Its table is built anew at every opening, so tools installed or
// removed in between are noticed; its state lives here, since only one such window exists.
#include "tools/system_tools.h"

#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>

#include "common/app_state.h"
#include "common/os_family.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "resource.h"
#include "store/settings_store.h"
#include "strip/page_grid.h"

namespace {

const int kToolCount = 12;
// Base names in display order; the display name of tool i is string IDS_TOOL_FIRST + i.
const char* const kBaseNames[kToolCount] = {"CALC",     "NOTEPAD",  "WRITE",    "PBRUSH",
                                            "CDPLAYER", "SCANDSKW", "DEFRAG",   "REGEDIT",
                                            "CLIPBRD",  "WINIPCFG", "EXPLORER", "RunDll32"};
const int kPaint = 3;
const int kDefrag = 6;
const int kExplorer = 10;
const int kControlPanel = 11;
const int kExplorerIconIndex = 1;
const int kControlPanelIconIndex = 35;

ToolEntry* Tools = nullptr;
int ToolCount = 0;

// Joins folder, name and extension into out (MAX_PATH bytes). A path too long for the buffer
// is refused rather than cut, since a cut path would name another file.
bool JoinPath(char* out, const char* folder, const char* name, const char* extension)
{
    int n = snprintf(out, MAX_PATH, "%s\\%s%s", folder, name, extension);
    if (n < 0 || n >= MAX_PATH) {
        out[0] = '\0';
        return false;
    }
    return true;
}

// The file of tool i: the first candidate, else the same name in the system folder.
bool FindTool(int i, OsFamily family, const char* windowsDir, const char* systemDir, char* path)
{
    bool nt = family == WindowsNT;
    bool first;
    if (nt && i == kPaint)
        first = JoinPath(path, systemDir, "MSPAINT", ".EXE");
    else if (nt && i == kDefrag)
        first = JoinPath(path, systemDir, "DFRG.MSC", "");
    else
        first = JoinPath(path, windowsDir, kBaseNames[i], ".EXE");
    if (first && FileExists(path))
        return true;
    return JoinPath(path, systemDir, kBaseNames[i], ".EXE") && FileExists(path);
}

void FillEntry(ToolEntry& entry, int i, OsFamily family, const char* systemDir)
{
    if (LoadStringA(AppInstance, IDS_TOOL_FIRST + i, entry.DisplayName, sizeof entry.DisplayName) ==
        0)
        entry.DisplayName[0] = '\0';
    entry.IconIndex = i == kControlPanel ? kControlPanelIconIndex
                      : i == kExplorer   ? kExplorerIconIndex
                                         : 0;
    char iconFile[MAX_PATH];
    if (i == kControlPanel)
        JoinPath(iconFile, systemDir, "SHELL32.DLL", "");
    else if (family == WindowsNT && i == kDefrag)
        JoinPath(iconFile, systemDir, "DfrgRes.dll", "");
    else
        lstrcpynA(iconFile, entry.FilePath, sizeof iconFile);
    entry.Icon = LoadFileIcon(iconFile, entry.IconIndex);
}

// A folder of the system; empty when the call fails or the answer does not fit.
void SystemFolder(UINT(WINAPI* query)(LPSTR, UINT), char* out)
{
    UINT n = query(out, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        out[0] = '\0';
}

// Makes the client area exactly count cells wide and one cell high.
void FitToTools(HWND window)
{
    RECT outer = {}, client = {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    int width = ToolCount * kToolCellSize + (outer.right - outer.left) - client.right;
    int height = kToolCellSize + (outer.bottom - outer.top) - client.bottom;
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

LRESULT OnCreate(HWND window)
{
    ToolCount = 0;
    Tools = static_cast<ToolEntry*>(calloc(kToolCount, sizeof(ToolEntry)));
    if (!Tools) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ReportError(kLastError, nullptr);
        return -1;
    }
    char windowsDir[MAX_PATH], systemDir[MAX_PATH];
    SystemFolder(GetWindowsDirectoryA, windowsDir);
    SystemFolder(GetSystemDirectoryA, systemDir);
    OsFamily family = GetOsFamily();
    for (int i = 0; i < kToolCount; ++i) {
        ToolEntry& entry = Tools[ToolCount];
        if (!FindTool(i, family, windowsDir, systemDir, entry.FilePath)) {
            entry.FilePath[0] = '\0';
            continue;
        }
        FillEntry(entry, i, family, systemDir);
        ++ToolCount;
    }
    FitToTools(window);
    PlaceWindow(window, MainWindow, 20, 35);
    if (Settings && Settings->ToolCursor)
        SetClassLongPtrA(window, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(Settings->ToolCursor));
    if (MainWindow)
        EnableWindow(MainWindow, FALSE);
    return 0;
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    for (int i = 0; i < ToolCount; ++i)
        if (Tools[i].Icon)
            DrawIcon(dc, kToolCellSize * i, 2, Tools[i].Icon);
    EndPaint(window, &paint);
}

void OnMouseMove(HWND window, LPARAM lParam)
{
    int cell = LOWORD(lParam) / kToolCellSize;
    if (Tools && cell < kToolCount)
        SetWindowTextA(window, Tools[cell].DisplayName);
}

void OnLeftButtonDown(HWND window, LPARAM lParam)
{
    int cell = LOWORD(lParam) / kToolCellSize;
    if (!Tools || cell >= ToolCount)
        return;
    const ToolEntry& tool = Tools[cell];
    // Room for "/n,/e," and a whole quoted folder: the folder may hold blanks and commas.
    char parameters[MAX_PATH + 16] = "";
    if (tool.IconIndex == kControlPanelIconIndex) {
        lstrcpynA(parameters, "Shell32.dll,Control_RunDLL", sizeof parameters);
    } else if (tool.IconIndex == kExplorerIconIndex) {
        char folder[MAX_PATH];
        DWORD n = GetCurrentDirectoryA(sizeof folder, folder);
        if (n == 0 || n >= sizeof folder)
            folder[0] = '\0';
        snprintf(parameters, sizeof parameters, "/n,/e,\"%s\"", folder);
    }
    // The click may take a while in the shell; the table is read before, nothing after.
    char file[MAX_PATH];
    lstrcpynA(file, tool.FilePath, sizeof file);
    HINSTANCE result =
        ShellExecuteA(window, "open", file, parameters[0] ? parameters : nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        ReportShellFailure(result);
    else
        PostMessageA(window, WM_CLOSE, 0, 0);
}

void OnDestroy()
{
    if (Tools) {
        for (int i = 0; i < kToolCount; ++i)
            if (Tools[i].Icon)
                DestroyIcon(Tools[i].Icon);
        free(Tools);
        Tools = nullptr;
    }
    ToolCount = 0;
    if (Settings)
        Settings->SystemToolsWindow = nullptr;
    // At the end of the session the main window may already be gone.
    if (MainWindow && IsWindow(MainWindow)) {
        EnableWindow(MainWindow, TRUE);
        SetFocus(MainWindow);
    }
}

} // namespace

int FileExists(const char* path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return 1;
}

void OpenSystemTools()
{
    if (Settings->SystemToolsWindow)
        DestroyWindow(Settings->SystemToolsWindow);
    Settings->SystemToolsWindow = CreateWindowExA(
        WS_EX_TOOLWINDOW, VELDAR_TOOLS_CLASS, "SYSTEM TOOL", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
        CW_USEDEFAULT, CW_USEDEFAULT, 500, 200, nullptr, nullptr, AppInstance, nullptr);
}

const ToolEntry* SystemToolEntries(int* count)
{
    if (count)
        *count = ToolCount;
    return Tools;
}

LRESULT CALLBACK SystemToolsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_PAINT: OnPaint(window); return 0;
    case WM_MOUSEMOVE: OnMouseMove(window, lParam); return 0;
    case WM_LBUTTONDOWN: OnLeftButtonDown(window, lParam); return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The properties dialog (dialog 1008): a report-view list of name and value rows, filled once
// when it opens. Nothing is reported: what cannot be read shows as an empty value, and a
// process without a window of its own shows the process rows only.
#include "tools/process_properties.h"

#include <commctrl.h>
#include <stdio.h>

#include "common/app_state.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "common/text_cut.h"
#include "resource.h"

namespace {

// The window the last search found; cleared before each search.
HWND FoundWindow;

// What is shown of the found window, read in one go.
struct WindowDetails {
    char caption[MAX_PATH];
    char className[MAX_PATH];
    LONG_PTR instance;
    LONG_PTR procedure;
    LONG_PTR style;
    RECT window;
    RECT client;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM processId)
{
    // A window that went away meanwhile answers thread 0 and leaves the id unset, which must
    // not pass for process 0.
    DWORD owner = 0;
    if (GetWindowThreadProcessId(window, &owner) == 0)
        return TRUE;
    if (owner == static_cast<DWORD>(processId) && GetParent(window) == nullptr) {
        FoundWindow = window;
        return FALSE;
    }
    return TRUE;
}

// Text of another window, cut to 260 bytes at a whole character.
void ReadText(HWND window, char* out, bool className)
{
    char text[1024] = "";
    int n = className ? GetClassNameA(window, text, sizeof text)
                      : GetWindowTextA(window, text, sizeof text);
    if (n <= 0 || n >= static_cast<int>(sizeof text))
        text[0] = '\0';
    CopyWholeCharacters(out, MAX_PATH, text);
}

// False when the window went away before everything was read; then none of it is shown.
bool ReadWindowDetails(HWND window, WindowDetails* details)
{
    *details = WindowDetails();
    ReadText(window, details->caption, false);
    ReadText(window, details->className, true);
    details->instance = GetWindowLongPtrA(window, GWLP_HINSTANCE);
    details->procedure = GetWindowLongPtrA(window, GWLP_WNDPROC);
    details->style = GetWindowLongPtrA(window, GWL_STYLE);
    if (!GetWindowRect(window, &details->window) || !GetClientRect(window, &details->client)) {
        *details = WindowDetails();
        return false;
    }
    return true;
}

void AddColumn(HWND list, int index, const char* title, int width)
{
    char text[32];
    CopyWholeCharacters(text, sizeof text, title);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text;
    column.cx = width;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

void AddRow(HWND list, const char* name, const char* value)
{
    char text[MAX_PATH];
    CopyWholeCharacters(text, sizeof text, name);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = text;
    int row =
        static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0)
        return;
    CopyWholeCharacters(text, sizeof text, value);
    item.iSubItem = 1;
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Hexadecimal, then decimal. Handles and addresses of a 64-bit build can exceed 32 bits and
// are then shown whole.
void AddNumberRow(HWND list, const char* name, ULONG_PTR value)
{
    char text[48];
    if (value <= 0xFFFFFFFFu)
        snprintf(text, sizeof text, "%08lX (%lu)", static_cast<unsigned long>(value),
                 static_cast<unsigned long>(value));
    else
        snprintf(text, sizeof text, "%016llX (%llu)", static_cast<unsigned long long>(value),
                 static_cast<unsigned long long>(value));
    AddRow(list, name, text);
}

void AddRectangleRow(HWND list, const char* name, const RECT& r)
{
    char text[96];
    snprintf(text, sizeof text, "(%ld, %ld)-(%ld, %ld)  %ld x %ld", r.left, r.top, r.right,
             r.bottom, r.right - r.left, r.bottom - r.top);
    AddRow(list, name, text);
}

void FillProperties(HWND dialog, const PROCESSENTRY32* process)
{
    if (!process)
        return;
    HWND list = GetDlgItem(dialog, IDC_PROPS_LIST);
    RECT client = {};
    GetClientRect(list, &client);
    AddColumn(list, 0, "Item", client.right / 3 - 10);
    AddColumn(list, 1, "Value", 2 * client.right / 3 - 10);

    // A path whose long form does not fit, or that cannot be found, shows as empty.
    char longPath[MAX_PATH] = "";
    DWORD n = GetLongPathNameA(process->szExeFile, longPath, sizeof longPath);
    if (n == 0 || n >= sizeof longPath)
        longPath[0] = '\0';
    AddRow(list, "ExeFile", longPath);
    AddNumberRow(list, "ProcessID", process->th32ProcessID);
    AddNumberRow(list, "ModuleID", process->th32ModuleID);
    AddNumberRow(list, "ParentProcessID", process->th32ParentProcessID);
    AddNumberRow(list, "Threads", process->cntThreads);
    AddNumberRow(list, "Priority", static_cast<DWORD>(process->pcPriClassBase));

    FoundWindow = nullptr;
    EnumWindows(MatchProcessWindow, static_cast<LPARAM>(process->th32ProcessID));
    WindowDetails details;
    if (!FoundWindow || !ReadWindowDetails(FoundWindow, &details))
        return;
    AddRow(list, "Caption", details.caption);
    AddRow(list, "ClassName", details.className);
    AddNumberRow(list, "HWND", reinterpret_cast<ULONG_PTR>(FoundWindow));
    AddNumberRow(list, "HINSTANCE", static_cast<ULONG_PTR>(details.instance));
    AddNumberRow(list, "PROC", static_cast<ULONG_PTR>(details.procedure));
    AddNumberRow(list, "STYLE", static_cast<DWORD>(details.style));
    AddRectangleRow(list, "Window", details.window);
    AddRectangleRow(list, "Client", details.client);
}

BOOL OnInitDialog(HWND dialog, const PROCESSENTRY32* process)
{
    FillProperties(dialog, process);
    PlaceWindow(dialog, GetParent(dialog), 0, 0);
    return TRUE;
}

// OK, Escape and the close box.
BOOL OnCommand(HWND dialog, int id)
{
    if (id != IDOK && id != IDCANCEL)
        return FALSE;
    EndDialog(dialog, 0);
    return TRUE;
}

INT_PTR CALLBACK ProcessPropertiesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, reinterpret_cast<const PROCESSENTRY32*>(lParam));
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

} // namespace

void OpenProcessProperties(HWND owner, const PROCESSENTRY32* process)
{
    if (DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_PROCESS_PROPERTIES), owner,
                        ProcessPropertiesProc, reinterpret_cast<LPARAM>(process)) == -1)
        ReportError(kLastError, nullptr);
}

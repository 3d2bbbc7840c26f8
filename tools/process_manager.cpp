// The process manager (dialog 1007): one owner-drawn line per running process, built once when
// the dialog opens, sorted by the path of the executable. The process functions are bound by
// name at run time, so that a system without them only loses this dialog.
#include "tools/process_manager.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "common/app_state.h"
#include "common/help.h"
#include "common/os_family.h"
#include "common/path_parts.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "common/text_cut.h"
#include "resource.h"
#include "strip/page_grid.h"
#include "tools/process_properties.h"

namespace {

typedef HANDLE(WINAPI* CreateSnapshotFunction)(DWORD, DWORD);
typedef BOOL(WINAPI* ProcessWalkFunction)(HANDLE, PROCESSENTRY32*);
typedef BOOL(WINAPI* EnumProcessModulesFunction)(HANDLE, HMODULE*, DWORD, DWORD*);
typedef DWORD(WINAPI* GetModuleFileNameExFunction)(HANDLE, HMODULE, char*, DWORD);

// The Windows 9x family knows only this record size; the NT family accepts it too.
static_assert(sizeof(void*) != 4 || sizeof(PROCESSENTRY32) == 296, "ANSI PROCESSENTRY32");

struct Toolhelp {
    CreateSnapshotFunction createSnapshot;
    ProcessWalkFunction first;
    ProcessWalkFunction next;
};

// How the NT family turns the snapshot's bare names into paths, for one listing.
struct ImagePathLookup {
    int32_t isNt;
    HMODULE psapiModule;
    EnumProcessModulesFunction enumProcessModules;
    GetModuleFileNameExFunction getModuleFileNameEx;
    char path[MAX_PATH];
};

ProcessListEntry* ListHead;
ProcessListEntry* ListTail;
HICON CaptionIcon;

// The four buttons, left to right.
const int kButtonRow[] = {IDC_PROC_KILL, IDC_PROC_PROPERTIES, IDHELP, IDCANCEL};

template <typename Function> Function Bind(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

bool BindToolhelp(Toolhelp* toolhelp)
{
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (!kernel)
        return false;
    toolhelp->createSnapshot = Bind<CreateSnapshotFunction>(kernel, "CreateToolhelp32Snapshot");
    toolhelp->first = Bind<ProcessWalkFunction>(kernel, "Process32First");
    toolhelp->next = Bind<ProcessWalkFunction>(kernel, "Process32Next");
    return toolhelp->createSnapshot && toolhelp->first && toolhelp->next;
}

// A snapshot of the processes through Toolhelp bound into toolhelp; INVALID_HANDLE_VALUE when
// Toolhelp is missing or the snapshot fails.
HANDLE TakeProcessSnapshot(Toolhelp* toolhelp)
{
    if (!BindToolhelp(toolhelp))
        return INVALID_HANDLE_VALUE;
    return toolhelp->createSnapshot(TH32CS_SNAPPROCESS, 0);
}

// The last Windows error, or fallback for a call that failed without setting one: a failure
// must never be reported with the text of success.
DWORD LastErrorOr(DWORD fallback)
{
    DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

void ReportFailure(DWORD fallback)
{
    SetLastError(LastErrorOr(fallback));
    ReportError(kLastError, nullptr);
}

// PSAPI comes from the system folder by its full path: a PSAPI.DLL beside the program or in
// the current folder must not be loaded in its place.
void BindPsapi(ImagePathLookup* lookup)
{
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return;
    lstrcpynA(path + n, "\\PSAPI.DLL", static_cast<int>(sizeof path - n));
    lookup->psapiModule = LoadLibraryA(path);
    if (!lookup->psapiModule)
        return;
    lookup->enumProcessModules =
        Bind<EnumProcessModulesFunction>(lookup->psapiModule, "EnumProcessModules");
    lookup->getModuleFileNameEx =
        Bind<GetModuleFileNameExFunction>(lookup->psapiModule, "GetModuleFileNameExA");
}

bool ResolveImagePath(ImagePathLookup* lookup, DWORD processId)
{
    if (!lookup->isNt || !lookup->psapiModule || !lookup->enumProcessModules ||
        !lookup->getModuleFileNameEx || processId == 0)
        return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        return false;
    // The first module of a process is its executable.
    HMODULE module = nullptr;
    DWORD needed = 0;
    bool resolved = false;
    if (lookup->enumProcessModules(process, &module, sizeof module, &needed)) {
        DWORD n = lookup->getModuleFileNameEx(process, module, lookup->path, sizeof lookup->path);
        resolved = n > 0 && n < sizeof lookup->path;
        if (resolved)
            lookup->path[n] = '\0';
    }
    CloseHandle(process);
    return resolved;
}

bool AddEntry(HWND list, const PROCESSENTRY32* record)
{
    auto* entry = static_cast<ProcessListEntry*>(calloc(1, sizeof(ProcessListEntry)));
    if (!entry)
        return false;
    entry->process = *record;
    entry->icon = LoadFileIcon(entry->process.szExeFile, 0);
    if (ListTail)
        ListTail->next = entry;
    else
        ListHead = entry;
    ListTail = entry;
    SetLastError(ERROR_SUCCESS);
    LRESULT line = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    if (line == LB_ERR || line == LB_ERRSPACE) {
        ReportFailure(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    return true;
}

bool ListProcesses(HWND list)
{
    Toolhelp toolhelp;
    HANDLE snapshot = TakeProcessSnapshot(&toolhelp);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;

    ImagePathLookup lookup = {};
    if (GetOsFamily() == WindowsNT) {
        lookup.isNt = 1;
        BindPsapi(&lookup);
    }

    PROCESSENTRY32 record = {};
    record.dwSize = sizeof record;
    bool listed = toolhelp.first(snapshot, &record) != FALSE;
    while (listed) {
        if (ResolveImagePath(&lookup, record.th32ProcessID))
            lstrcpynA(record.szExeFile, lookup.path, sizeof record.szExeFile);
        if (!AddEntry(list, &record)) {
            listed = false;
            break;
        }
        if (!toolhelp.next(snapshot, &record))
            break;
    }

    CloseHandle(snapshot);
    if (lookup.psapiModule)
        FreeLibrary(lookup.psapiModule);
    return listed;
}

void FreeProcessList()
{
    ProcessListEntry* entry = ListHead;
    while (entry) {
        ProcessListEntry* next = entry->next;
        if (entry->icon)
            DestroyIcon(entry->icon);
        free(entry);
        entry = next;
    }
    ListHead = nullptr;
    ListTail = nullptr;
}

void LayoutProcessManager(HWND dialog, UINT sizeType)
{
    if (sizeType == SIZE_MINIMIZED)
        return;
    RECT client = {}, button = {};
    GetClientRect(dialog, &client);
    GetWindowRect(GetDlgItem(dialog, IDC_PROC_KILL), &button);
    const int w = button.right - button.left;
    const int h = button.bottom - button.top;
    const int y = client.bottom - h - 15;
    for (int i = 0; i < 4; ++i)
        MoveWindow(GetDlgItem(dialog, kButtonRow[i]), 30 + i * (w + 15), y, w, h, TRUE);
    MoveWindow(GetDlgItem(dialog, IDC_PROC_LIST), 0, 0, client.right, client.bottom - h - 30, TRUE);
}

// The caption icon goes to this window alone. Set as the class icon, it would show in every
// dialog and message box of the process and outlive its handle once the dialog is gone.
void SetCaptionIcon(HWND dialog)
{
    CaptionIcon = static_cast<HICON>(LoadImageA(AppInstance, MAKEINTRESOURCEA(IDI_PROCESS_MANAGER),
                                                IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    if (CaptionIcon)
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(CaptionIcon));
}

// Builds the list; false when the process functions or the snapshot are missing or a line
// could not be added, and the dialog then ends at once.
bool FillProcessList(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_PROC_LIST);
    // Without this every sorted insertion would repaint the list.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    bool listed = ListProcesses(list);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    EnableWindow(GetDlgItem(dialog, IDC_PROC_KILL), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_PROC_PROPERTIES), FALSE);
    LayoutProcessManager(dialog, SIZE_RESTORED);
    SetCaptionIcon(dialog);
    return listed;
}

// Whether a fresh snapshot still lists processId under the file name of path. Between the
// listing and the kill the process may have ended and its id gone to another program.
bool StillSameProgram(DWORD processId, const char* path)
{
    Toolhelp toolhelp;
    HANDLE snapshot = TakeProcessSnapshot(&toolhelp);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    char listedName[MAX_PATH], currentName[MAX_PATH];
    GetFileNamePart(path, listedName);
    bool same = false;
    PROCESSENTRY32 record = {};
    record.dwSize = sizeof record;
    for (BOOL more = toolhelp.first(snapshot, &record); more;
         more = toolhelp.next(snapshot, &record)) {
        if (record.th32ProcessID == processId) {
            GetFileNamePart(record.szExeFile, currentName);
            same = lstrcmpiA(listedName, currentName) == 0;
            break;
        }
    }
    CloseHandle(snapshot);
    if (!same)
        SetLastError(ERROR_NOT_FOUND);
    return same;
}

// Asks, then terminates the process and waits for it to end. Nonzero only when it really
// ended; every refusal is reported with the system's text.
int KillProcess(HWND dialog, const PROCESSENTRY32* process)
{
    char caption[32], format[128], question[280];
    // Room for the whole format and a whole path, so that only the cut to the question's size
    // shortens it, and that at a whole character.
    char text[sizeof format + MAX_PATH];
    if (LoadStringA(AppInstance, IDS_CONFIRM_CAPTION, caption, sizeof caption) == 0)
        caption[0] = '\0';
    if (LoadStringA(AppInstance, IDS_ASK_KILL, format, sizeof format) == 0)
        lstrcpynA(format, "%s", sizeof format);
    snprintf(text, sizeof text, format, process->szExeFile);
    CopyWholeCharacters(question, sizeof question, text);
    if (MessageBoxA(dialog, question, caption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return 0;

    // The handle keeps the id from going to another process while the name is checked.
    HANDLE handle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process->th32ProcessID);
    if (!handle) {
        ReportFailure(ERROR_ACCESS_DENIED);
        return 0;
    }
    DWORD error = ERROR_SUCCESS;
    SetLastError(ERROR_SUCCESS);
    if (!StillSameProgram(process->th32ProcessID, process->szExeFile)) {
        error = LastErrorOr(ERROR_NOT_FOUND);
    } else if (!TerminateProcess(handle, 0xFFFFFFFF)) {
        error = LastErrorOr(ERROR_ACCESS_DENIED);
    } else {
        // Termination is asynchronous: the line goes only when the process has really ended,
        // and a process that does not end keeps its line instead of blocking the launcher.
        DWORD waited = WaitForSingleObject(handle, kKillWaitMs);
        if (waited == WAIT_TIMEOUT)
            error = WAIT_TIMEOUT;
        else if (waited != WAIT_OBJECT_0)
            error = LastErrorOr(ERROR_INVALID_HANDLE);
    }
    CloseHandle(handle);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        ReportError(kLastError, nullptr);
        return 0;
    }
    return 1;
}

void ActOnSelectedProcess(HWND dialog, bool kill)
{
    HWND list = GetDlgItem(dialog, IDC_PROC_LIST);
    LRESULT line = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (line == LB_ERR)
        return;
    LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(line), 0);
    if (data == LB_ERR || data == 0)
        return;
    auto* entry = reinterpret_cast<ProcessListEntry*>(data);
    if (!kill)
        OpenProcessProperties(dialog, &entry->process);
    else if (KillProcess(dialog, &entry->process))
        SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(line), 0);
}

BOOL MeasureProcessItem(HWND dialog, MEASUREITEMSTRUCT* measure)
{
    if (!measure)
        return FALSE;
    TEXTMETRICA metrics = {};
    HDC dc = GetDC(dialog);
    if (dc) {
        GetTextMetricsA(dc, &metrics);
        ReleaseDC(dialog, dc);
    }
    int height = (metrics.tmHeight + metrics.tmExternalLeading) * 3 / 2;
    if (GetSystemMetrics(SM_CYICON) > height)
        height = GetSystemMetrics(SM_CYICON);
    measure->itemHeight = static_cast<UINT>(height);
    return TRUE;
}

BOOL DrawProcessItem(const DRAWITEMSTRUCT* draw)
{
    if (!draw)
        return FALSE;
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    HDC dc = draw->hDC;
    RECT rect = draw->rcItem;
    rect.left = 0;
    const auto* entry = draw->itemID == static_cast<UINT>(-1)
                            ? nullptr
                            : reinterpret_cast<const ProcessListEntry*>(draw->itemData);

    // A list without lines still asks for its focus rectangle, with no line to draw.
    if (draw->itemAction == ODA_FOCUS || !entry) {
        if ((draw->itemAction & ODA_FOCUS) || (draw->itemState & ODS_FOCUS))
            DrawFocusRect(dc, &rect);
        return TRUE;
    }
    if (!(draw->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)))
        return TRUE;

    const bool selected = (draw->itemState & ODS_SELECTED) != 0;
    const COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    const COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    HBRUSH brush = CreateSolidBrush(back);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    FillRect(dc, &rect, brush);

    const int iconTop = rect.top + (rect.bottom - rect.top - iconHeight) / 2;
    if (entry->icon) {
        DrawIcon(dc, 0, iconTop, entry->icon);
    } else {
        RECT placeholder = {0, iconTop, iconWidth, iconTop + iconHeight};
        DrawFocusRect(dc, &placeholder);
    }
    rect.left = iconWidth + 8;
    DrawTextA(dc, entry->process.szExeFile, -1, &rect, DT_SINGLELINE | DT_VCENTER);
    if (draw->itemState & ODS_FOCUS)
        DrawFocusRect(dc, &rect);

    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    return TRUE;
}

int CompareProcessItems(const COMPAREITEMSTRUCT* compare)
{
    if (!compare || compare->CtlID != IDC_PROC_LIST)
        return 0;
    const auto* a = reinterpret_cast<const ProcessListEntry*>(compare->itemData1);
    const auto* b = reinterpret_cast<const ProcessListEntry*>(compare->itemData2);
    if (!a || !b)
        return 0;
    return lstrcmpA(a->process.szExeFile, b->process.szExeFile);
}

BOOL OnInitDialog(HWND dialog)
{
    if (!FillProcessList(dialog)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    PlaceWindow(dialog, GetParent(dialog), 0, 0);
    return TRUE;
}

BOOL OnCommand(HWND dialog, int id, int code)
{
    switch (id) {
    case IDC_PROC_LIST:
        if (code == LBN_SELCHANGE) {
            EnableWindow(GetDlgItem(dialog, IDC_PROC_KILL), TRUE);
            EnableWindow(GetDlgItem(dialog, IDC_PROC_PROPERTIES), TRUE);
        }
        break;
    case IDC_PROC_KILL: ActOnSelectedProcess(dialog, true); break;
    case IDC_PROC_PROPERTIES: ActOnSelectedProcess(dialog, false); break;
    case IDHELP: ShowHelp(1, IDH_PROCESS_MANAGER); break;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    }
    return FALSE;
}

void OnDestroy(HWND dialog)
{
    FreeProcessList();
    if (CaptionIcon) {
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, 0);
        DestroyIcon(CaptionIcon);
        CaptionIcon = nullptr;
    }
}

INT_PTR CALLBACK ProcessManagerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MEASUREITEM:
        return MeasureProcessItem(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_SIZE: LayoutProcessManager(dialog, static_cast<UINT>(wParam)); return FALSE;
    case WM_DRAWITEM: return DrawProcessItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMPAREITEM:
        return CompareProcessItems(reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam));
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY: OnDestroy(dialog); return FALSE;
    }
    return FALSE;
}

} // namespace

void OpenProcessManager(HWND owner)
{
    if (DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_PROCESS_MANAGER), owner,
                        ProcessManagerProc, 0) == -1)
        ReportError(kLastError, nullptr);
}

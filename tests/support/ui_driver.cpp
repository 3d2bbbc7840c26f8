// The test driver: thread-timer steps for modal windows, control helpers, process helpers.
#include "ui_driver.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <stdio.h>
#include <string.h>

namespace ui {

const char kMenuClass[] = "#32768";

static UiScript* ActiveScript = nullptr;
static void (*Report)(const std::string&) = nullptr;
static UINT_PTR Timer = 0;
static HWND Lingering = nullptr;
static DWORD LingeringSince = 0;

static std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

static bool IsModal(HWND window)
{
    return ClassOf(window) == "#32770" || ClassOf(window) == kMenuClass;
}

// Ends the open menu, and cancels and closes a dialog or box, so its modal loop returns.
static void CloseModal(HWND window)
{
    EndMenu();
    if (ClassOf(window) == "#32770")
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0), PostMessageA(window, WM_CLOSE, 0, 0);
}

static void Guard()
{
    HWND top = nullptr;
    for (HWND w : ThreadWindows())
        top = top ? top : IsModal(w) ? w : nullptr;
    if (top != Lingering || !top)
        Lingering = top, LingeringSince = GetTickCount();
    else if (GetTickCount() - LingeringSince > 8000) {
        Report("nothing answered " + TextOf(top) + " " + MessageText(top));
        CloseModal(top), EndDialog(top, IDCANCEL); // the latter when the dialog ignores the former
        LingeringSince = GetTickCount();
    }
}

// The guard also runs while a step's action sits in a modal loop of its own.
static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    static bool busy = false;
    if (Report)
        Guard();
    if (ActiveScript && !busy)
        busy = true, ActiveScript->OnTick(), busy = false;
}

static BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    return ++*reinterpret_cast<int*>(count);
}

static BOOL CALLBACK CollectWindow(HWND window, LPARAM windows)
{
    if (IsWindowVisible(window) && IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

static void Notify(HWND dialog, int id, UINT set, WPARAM value, WORD code)
{
    SendDlgItemMessageA(dialog, id, set, value, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

UiScript::UiScript() : stepStart_(GetTickCount())
{
    Timer = Timer ? Timer : SetTimer(nullptr, 0, 20, Tick);
    ActiveScript = this;
}

UiScript::~UiScript()
{
    if (ActiveScript == this)
        ActiveScript = nullptr;
}

UiScript& UiScript::On(const char* caption, Action action, const char* className)
{
    steps_.push_back({caption ? caption : "", className ? className : "", !caption, action});
    return *this;
}

UiScript& UiScript::Answer(int button, std::string* text)
{
    Action answer = [button, text](HWND box) {
        if (text)
            *text = MessageText(box);
        Click(box, button);
    };
    return OnDialog(answer);
}

// Records and reports why the script gave up, and closes the thread's dialogs, boxes and menus,
// so that the code under test returns and the case fails instead of hanging.
void UiScript::Abort(const std::string& why)
{
    failures_.push_back(why);
    next_ = steps_.size();
    if (Report)
        Report(why);
    for (HWND w : ThreadWindows())
        CloseModal(w);
}

void UiScript::OnTick()
{
    bool late = GetTickCount() - stepStart_ > timeout_;
    for (HWND w : ThreadWindows()) {
        bool box = ClassOf(w) == "#32770" && GetDlgItem(w, 0xFFFF);
        if (!failures_.empty()) { // what withstood the close of a script that gave up
            EndMenu(), EndDialog(w, IDCANCEL);
            continue;
        }
        if (!Done()) {
            const Step& step = steps_[next_];
            if ((step.className.empty() || ClassOf(w) == step.className) &&
                (step.anyCaption ? box || step.className != "#32770" : TextOf(w) == step.caption)) {
                Action action = step.action;
                ++next_;
                stepStart_ = GetTickCount();
                return action(w);
            }
        } else if (late && !box && IsModal(w))
            return Abort("\"" + TextOf(w) + "\" still open after the last step");
        if (box)
            return Abort("unexpected message box: " + MessageText(w));
    }
    if (!Done() && late)
        Abort("no window \"" + steps_[next_].caption + "\" " + steps_[next_].className);
}

void GuardModals(void (*report)(const std::string& what))
{
    Report = report;
    Timer = Timer ? Timer : SetTimer(nullptr, 0, 20, Tick);
}

std::string TextOf(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void PressKeys(const std::vector<BYTE>& keys)
{
    for (BYTE key : keys)
        keybd_event(key, 0, 0, 0);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        keybd_event(*key, 0, KEYEVENTF_KEYUP, 0);
}

bool ClickShowing(HWND dialog, const char* text)
{
    HWND child = nullptr;
    while ((child = FindWindowExA(dialog, child, nullptr, nullptr)) && TextOf(child) != text) {
    }
    RECT r;
    if (!child || !GetWindowRect(child, &r))
        return false;
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    return true;
}

void RightPress(HWND button)
{
    RECT r;
    GetWindowRect(button, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(button, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(19, 19));
    SendMessageA(button, WM_RBUTTONUP, 0, MAKELPARAM(19, 19));
}

void PickCombo(HWND dialog, int id, int index)
{
    Notify(dialog, id, CB_SETCURSEL, index, CBN_SELCHANGE);
}

void PickList(HWND dialog, int id, int index)
{
    Notify(dialog, id, LB_SETCURSEL, index, LBN_SELCHANGE);
}

void Check(HWND dialog, int id, bool on)
{
    Notify(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, BN_CLICKED);
}

std::vector<HWND> ThreadWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void DrainMessages()
{
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); DispatchMessageA(&msg))
        TranslateMessage(&msg);
}

void Pump(DWORD ms)
{
    for (DWORD start = GetTickCount(); DrainMessages(), GetTickCount() - start < ms;)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); !done(); Pump(10))
        if (GetTickCount() - start > timeoutMs)
            return done();
    return true;
}

HWND WaitForProcessWindow(DWORD pid, const char* className, DWORD timeoutMs)
{
    HWND found = nullptr;
    DWORD owner = 0;
    auto shown = [&] {
        while ((found = FindWindowExA(nullptr, found, className, nullptr)))
            if (GetWindowThreadProcessId(found, &owner), owner == pid && IsWindowVisible(found))
                return true;
        return false;
    };
    return WaitUntil(shown, timeoutMs) ? found : nullptr;
}

std::string SystemText(DWORD error)
{
    char text[520] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    return text;
}

std::string BuildFile(const char* name)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    PathRemoveFileSpecA(path);
    return std::string(path) + "\\" + name;
}

std::string ProbeRun(const std::function<void()>& start, DWORD timeoutMs)
{
    // In the prefix's temp folder under this program's id: the programs of one prefix and those
    // of a throwaway one run side by side.
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string path =
        temp + std::string("veldar_probe_") + std::to_string(GetCurrentProcessId()) + ".txt";
    SetEnvironmentVariableA("VELDAR_PROBE_OUT", path.c_str());
    DeleteFileA(path.c_str());
    start();
    // Read until whole: just after the probe's rename the file exists but may not open yet.
    char text[2048] = "";
    WaitUntil(
        [&] {
            FILE* file = fopen(path.c_str(), "rb");
            text[file ? fread(text, 1, sizeof text - 1, file) : 0] = '\0';
            return (file ? fclose(file) : 0, strstr(text, "show=") != nullptr);
        },
        timeoutMs);
    DeleteFileA(path.c_str());
    return text;
}

bool StartProcess(const std::string& commandLine, PROCESS_INFORMATION* pi, const char* workDir)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string line = commandLine;
    return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, workDir, &si, pi);
}

void ResetLauncherRegistry()
{
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\VARNO");
}

std::string MenuEntryText(HWND menuWindow, UINT id)
{
    char text[256] = "";
    GetMenuStringA(MenuOf(menuWindow), id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

bool IsMenuEntryGrayed(HWND menuWindow, UINT id)
{
    UINT state = GetMenuState(MenuOf(menuWindow), id, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_GRAYED);
}

void ChooseMenuEntry(HWND menuWindow, UINT id)
{
    std::string text = MenuEntryText(menuWindow, id);
    for (const char* p = text.c_str(); *p; p = CharNextA(p))
        if (p[0] == '&' && p[1] && p[1] != '&')
            return (void)PostMessageA(menuWindow, WM_CHAR, static_cast<BYTE>(p[1]), 0);
}

HDROP MakeDrop(const std::vector<std::string>& files, POINT point)
{
    std::string list;
    for (const std::string& file : files)
        list += file + '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() + 1);
    if (auto* header = static_cast<DROPFILES*>(GlobalLock(memory))) {
        *header = {sizeof(DROPFILES), point, FALSE, FALSE};
        memcpy(header + 1, list.data(), list.size()); // GHND zeroed the final NUL
        GlobalUnlock(memory);
    }
    return static_cast<HDROP>(memory);
}

std::string TooltipText(HWND tooltip, HWND tool)
{
    char text[1024] = "";
    TTTOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE, info.hwnd = GetParent(tool), info.lpszText = text;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    return text;
}

int WindowCount(HWND parent)
{
    int windows = 0;
    EnumChildWindows(parent, CountWindow, reinterpret_cast<LPARAM>(&windows));
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

int GdiObjectCount()
{
    // The PEB from the TEB, then GdiSharedHandleTable from the PEB; each entry is 24 bytes:
    // object, owner, unique (bit 0x80 marks a stock object), type, flags, user data.
    const BYTE* peb;
#ifdef _WIN64
    __asm__("movq %%gs:0x60, %0" : "=r"(peb));
    const size_t kTableInPeb = 0xF8;
#else
    __asm__("movl %%fs:0x30, %0" : "=r"(peb));
    const size_t kTableInPeb = 0x94;
#endif
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + kTableInPeb);
    int count = table ? 0 : -1;
    for (const BYTE* entry = table; table && entry < table + 0x10000 * 24; entry += 24)
        count += entry[14] != 0 && !(entry[12] & 0x80); // the low byte of unique
    return count;
}

} // namespace ui

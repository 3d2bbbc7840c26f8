// Implementation of the test driver: thread-timer steps for modal windows, small control
// helpers, and process helpers for end-to-end cases.
#include "ui_driver.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <stdio.h>
#include <string.h>

namespace ui {

namespace {

UiScript* ActiveScript = nullptr;

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    if (IsWindowVisible(window) && IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::string ClassOf(HWND window)
{
    char name[128] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

} // namespace

UiScript::UiScript()
{
    ActiveScript = this;
    timer_ = SetTimer(nullptr, 0, 20, Tick);
    stepStart_ = GetTickCount();
}

UiScript::~UiScript()
{
    if (timer_)
        KillTimer(nullptr, timer_);
    if (ActiveScript == this)
        ActiveScript = nullptr;
}

UiScript& UiScript::On(const char* caption, Action action, const char* className)
{
    steps_.push_back({caption ? caption : "", caption == nullptr, className ? className : "",
                      std::move(action)});
    return *this;
}

UiScript& UiScript::Answer(int button, std::string* text)
{
    return On(
        nullptr,
        [button, text](HWND box) {
            if (text)
                *text = MessageText(box);
            Click(box, button);
        },
        "#32770");
}

void CALLBACK UiScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (ActiveScript)
        ActiveScript->OnTick();
}

void UiScript::OnTick()
{
    if (busy_ || Done())
        return;
    busy_ = true;
    const Step& step = steps_[next_];
    HWND found = nullptr;
    for (HWND w : ThreadWindows()) {
        if (!step.className.empty() && ClassOf(w) != step.className)
            continue;
        if (!step.anyCaption && TextOf(w) != step.caption)
            continue;
        // A message box step must not take a dialog of the same class, and the reverse.
        if (step.anyCaption && step.className == "#32770" && !IsMessageBox(w))
            continue;
        found = w;
        break;
    }
    if (found) {
        Action action = step.action;
        ++next_;
        stepStart_ = GetTickCount();
        action(found);
    } else if (GetTickCount() - stepStart_ > timeout_) {
        char text[300];
        snprintf(text, sizeof text, "step %u: no window \"%s\" (class \"%s\") appeared",
                 static_cast<unsigned>(next_ + 1), step.caption.c_str(), step.className.c_str());
        failures_.push_back(text);
        next_ = steps_.size();
        // Close whatever modal window is open so that the code under test returns.
        for (HWND w : ThreadWindows()) {
            if (ClassOf(w) == "#32770")
                PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            PostMessageA(w, WM_CLOSE, 0, 0);
        }
    }
    busy_ = false;
}

std::string TextOf(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ControlText(HWND dialog, int id)
{
    return TextOf(GetDlgItem(dialog, id));
}

void SetControlText(HWND dialog, int id, const char* text)
{
    SetWindowTextA(GetDlgItem(dialog, id), text);
}

void Click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PickCombo(HWND dialog, int id, int index)
{
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void PickList(HWND dialog, int id, int index)
{
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, LB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void Check(HWND dialog, int id, bool on)
{
    SendMessageA(GetDlgItem(dialog, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool IsMessageBox(HWND window)
{
    return ClassOf(window) == "#32770" && GetDlgItem(window, 0xFFFF) != nullptr;
}

std::string MessageText(HWND box)
{
    return ControlText(box, 0xFFFF);
}

std::vector<HWND> ThreadWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

namespace {

struct WindowSearch {
    DWORD pid;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window) && ClassOf(window) == search->className) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForProcessWindow(DWORD pid, const char* className, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search = {pid, className, nullptr};
        EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        Pump(20);
    }
}

std::string BuildFile(const char* name)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path, n);
    size_t cut = dir.find_last_of("\\/");
    dir = cut == std::string::npos ? std::string() : dir.substr(0, cut + 1);
    return dir + name;
}

bool StartProcess(const std::string& commandLine, PROCESS_INFORMATION* pi, const char* workDir)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, workDir, &si,
                          pi) != 0;
}

void ResetLauncherRegistry()
{
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\VARNO");
}

} // namespace ui

namespace ui {

const char kMenuClass[] = "#32768";

HMENU MenuOf(HWND menuWindow)
{
    return reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
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
    return state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0;
}

void ChooseMenuEntry(HWND menuWindow, UINT id)
{
    std::string text = MenuEntryText(menuWindow, id);
    for (const char* p = text.c_str(); *p; p = CharNextA(p)) {
        if (p[0] == '&' && p[1] && p[1] != '&') {
            PostMessageA(menuWindow, WM_CHAR, static_cast<unsigned char>(p[1]), 0);
            return;
        }
    }
}

void DismissMenu(HWND menuWindow)
{
    PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return done();
        Pump(10);
    }
    return true;
}

void DrainMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HDROP MakeDrop(const std::vector<std::string>& files, POINT point)
{
    size_t listSize = 1;
    for (const std::string& file : files)
        listSize += file.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND | GMEM_SHARE, sizeof(DROPFILES) + listSize);
    if (!memory)
        return nullptr;
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = point;
    header->fNC = FALSE;
    header->fWide = FALSE;
    char* list = reinterpret_cast<char*>(header + 1);
    for (const std::string& file : files) {
        memcpy(list, file.c_str(), file.size() + 1);
        list += file.size() + 1;
    }
    *list = '\0';
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

} // namespace ui

namespace ui {

std::string TooltipText(HWND tooltip, HWND tool)
{
    char text[1024] = "";
    TTTOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    return text;
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
    if (!table)
        return -1;
    int count = 0;
    for (int i = 0; i < 0x10000; ++i) {
        const BYTE* entry = table + i * 24;
        WORD unique = *reinterpret_cast<const WORD*>(entry + 12);
        if (entry[14] != 0 && !(unique & 0x80))
            ++count;
    }
    return count;
}

} // namespace ui

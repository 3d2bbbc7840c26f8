// Test driver for modal windows and processes. Dialogs, boxes and menus run their own message
// loops, so one thread timer, which they dispatch, drives the scripts: each tick acts on the next
// step's window among the thread's visible, enabled top-level windows, never blocking. A step's
// window missing for 5 s (by default), a message box no step expects, or a dialog or menu left open
// after the last step closes what is open and is recorded in Failures(), so every wait is bounded.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {

using Action = std::function<void(HWND)>;
extern const char kMenuClass[]; // a menu's window; a posted mnemonic WM_CHAR chooses an entry

class UiScript {
public:
    UiScript();
    ~UiScript();
    UiScript(const UiScript&) = delete;
    UiScript& operator=(const UiScript&) = delete;
    // A null caption takes any window of the class; a null class any class.
    UiScript& On(const char* caption, Action action, const char* className = nullptr);
    UiScript& OnMenu(Action action) { return On(nullptr, action, kMenuClass); }
    UiScript& OnDialog(Action action) { return On(nullptr, action, "#32770"); } // or box
    UiScript& Answer(int button, std::string* text = nullptr); // the next message box
    bool Done() const { return next_ == steps_.size(); }
    size_t StepsRun() const { return next_; }
    const std::vector<std::string>& Failures() const { return failures_; }
    void SetStepTimeout(DWORD ms) { timeout_ = ms; }
    void OnTick(); // what the timer does for the script that is alive

private:
    struct Step {
        std::string caption, className;
        bool anyCaption;
        Action action;
    };
    void Abort(const std::string& why);
    std::vector<Step> steps_;
    std::vector<std::string> failures_;
    size_t next_ = 0;
    DWORD stepStart_ = 0, timeout_ = 5000;
};

// From now on report gets why each script gave up, and a dialog, box or menu that stays open
// 8 s, script or not, is closed and reported, so a case fails even where it reads no Failures().
void GuardModals(void (*report)(const std::string& what));

std::string TextOf(HWND window);
inline std::string ControlText(HWND dialog, int id)
{
    return TextOf(GetDlgItem(dialog, id));
}
inline std::string MessageText(HWND box)
{
    return ControlText(box, 0xFFFF);
}
inline void SetControlText(HWND dialog, int id, const char* text)
{
    SetDlgItemTextA(dialog, id, text);
}
// Posted, as the user's click arrives.
inline void Click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
// Real input through the system: keys pressed in order and released in reverse, and a left
// click on the child of dialog that shows text (false when none shows it).
void PressKeys(const std::vector<BYTE>& keys);
bool ClickShowing(HWND dialog, const char* text);
// A right press and release with the pointer on the button, as the mouse makes them.
void RightPress(HWND button);
// These three also send the notification the dialog gets from the user's choice.
void PickCombo(HWND dialog, int id, int index);
void PickList(HWND dialog, int id, int index);
void Check(HWND dialog, int id, bool on);
std::vector<HWND> ThreadWindows(); // visible, enabled top-level windows of this thread
void Pump(DWORD ms);
// Pump until done() holds or the time is up (then the last done()).
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Takes the focus events that the X server sent for a box or dialog closed just now: read once
// a menu tracks, they would end it as a loss of focus. Call before opening a menu after one.
inline void Settle()
{
    Pump(100);
}
void DrainMessages(); // what is already queued
// The visible window of class of the process; null after the time.
HWND WaitForProcessWindow(DWORD pid, const char* className, DWORD timeoutMs);
std::string BuildFile(const char* name); // a file next to the test program
// The system's text for an error code, as an error box of the program shows it.
std::string SystemText(DWORD error);
// Runs start, which should start launch_probe.exe, and returns the probe's whole record
// ("args=…\ndir=…\nshow=…\n"); empty when none came within timeoutMs.
std::string ProbeRun(const std::function<void()>& start, DWORD timeoutMs);
bool StartProcess(const std::string& commandLine, PROCESS_INFORMATION* pi,
                  const char* workDir = nullptr);
void ResetLauncherRegistry();

inline HMENU MenuOf(HWND menuWindow)
{
    return reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
}
std::string MenuEntryText(HWND menuWindow, UINT id); // "" when the menu has no such entry
bool IsMenuEntryGrayed(HWND menuWindow, UINT id);
void ChooseMenuEntry(HWND menuWindow, UINT id);
inline void DismissMenu(HWND menuWindow)
{
    PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
}

// A drop as the shell builds it (point in client coordinates); the receiver calls DragFinish.
HDROP MakeDrop(const std::vector<std::string>& files, POINT point);
// The text a tooltip gets from the owner of tool (registered by its window) before it shows.
std::string TooltipText(HWND tooltip, HWND tool);
// Live GDI objects of this process, stock objects left out, from the GDI handle table that the
// process shares with the system (GetGuiResources answers 0 under Wine).
int GdiObjectCount();
// Windows of this thread, hidden ones too, and the children of parent.
int WindowCount(HWND parent);

} // namespace ui

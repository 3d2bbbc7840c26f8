// Test driver for modal windows and processes. Dialogs, boxes and menus run their own message
// loops, so a UiScript arms a thread timer that they dispatch; each tick finds the next step's
// window among the thread's visible, enabled top-level windows and acts on it, never blocking.
// A missing window, a message box no step expects, or a dialog or menu left open after the last
// step closes what is open and is recorded in Failures(), so every wait is bounded.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {

using Action = std::function<void(HWND)>;

class UiScript {
public:
    UiScript();
    ~UiScript();
    UiScript(const UiScript&) = delete;
    UiScript& operator=(const UiScript&) = delete;
    UiScript& On(const char* caption, Action action, const char* className = nullptr);
    UiScript& Answer(int button, std::string* text = nullptr);
    bool Done() const { return next_ == steps_.size(); }
    size_t StepsRun() const { return next_; }
    const std::vector<std::string>& Failures() const { return failures_; }
    void SetStepTimeout(DWORD ms) { timeout_ = ms; }

private:
    struct Step {
        std::string caption, className;
        bool anyCaption;
        Action action;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();
    void Abort(const std::string& why);
    std::vector<Step> steps_;
    std::vector<std::string> failures_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    DWORD stepStart_ = 0, timeout_ = 5000;
    bool busy_ = false;
};

std::string TextOf(HWND window);
std::string ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const char* text);
void Click(HWND dialog, int id); // posted, as the user's click arrives
void PickCombo(HWND dialog, int id, int index);
void PickList(HWND dialog, int id, int index);
void Check(HWND dialog, int id, bool on);
std::string MessageText(HWND box);
bool IsMessageBox(HWND window);
bool IsModal(HWND window);         // a dialog, message box or menu
void CloseModal(HWND window);      // cancels and closes it; ends the open menu
std::vector<HWND> ThreadWindows(); // visible, enabled top-level windows of this thread
void Pump(DWORD ms);
// Pump until done() holds or the time is up (then the last done()).
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);
void DrainMessages(); // what is already queued
// The visible window of class of the process; null after the time.
HWND WaitForProcessWindow(DWORD pid, const char* className, DWORD timeoutMs);
std::string BuildFile(const char* name); // a file next to the test program
bool StartProcess(const std::string& commandLine, PROCESS_INFORMATION* pi,
                  const char* workDir = nullptr);
void ResetLauncherRegistry();

extern const char kMenuClass[]; // a menu's window; a posted mnemonic WM_CHAR chooses an entry
HMENU MenuOf(HWND menuWindow);
std::string MenuEntryText(HWND menuWindow, UINT id); // "" when the menu has no such entry
bool IsMenuEntryGrayed(HWND menuWindow, UINT id);
void ChooseMenuEntry(HWND menuWindow, UINT id);
void DismissMenu(HWND menuWindow);

// A drop as the shell builds it (point in client coordinates); the receiver calls DragFinish.
HDROP MakeDrop(const std::vector<std::string>& files, POINT point);
// The text a tooltip gets from the owner of tool (registered by its window) before it shows.
std::string TooltipText(HWND tooltip, HWND tool);
// Live GDI objects of this process, stock objects left out, from the GDI handle table that the
// process shares with the system (GetGuiResources answers 0 under Wine).
int GdiObjectCount();

} // namespace ui

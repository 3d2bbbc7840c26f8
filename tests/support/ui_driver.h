// Test driver for the launcher's modal user interface and for its processes.
//
// Modal dialogs, message boxes, common dialogs and popup menus run their own message loops, so
// a test cannot act on them after the call that opens them returns. A UiScript arms a thread
// timer whose ticks every modal loop of the thread dispatches; each tick looks for the window
// of the next step among the thread's visible and enabled top-level windows (the innermost
// modal one) and acts on it. Steps never block: buttons are clicked by posting.
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

    // Adds a step: wait for a top-level window of this thread whose caption is caption (any
    // caption when null) and whose class is className (any when null), then run action on it.
    UiScript& On(const char* caption, Action action, const char* className = nullptr);
    // Message box shorthand: keep its text, then answer with the button id.
    UiScript& Answer(int button, std::string* text = nullptr);

    bool Done() const { return next_ == steps_.size(); }
    size_t StepsRun() const { return next_; }
    const std::vector<std::string>& Failures() const { return failures_; }

    // Milliseconds a step may wait for its window before the script gives up and closes
    // whatever modal window is open, so that a missing window fails instead of hanging.
    void SetStepTimeout(DWORD ms) { timeout_ = ms; }

private:
    struct Step {
        std::string caption;
        bool anyCaption;
        std::string className;
        Action action;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    std::vector<Step> steps_;
    std::vector<std::string> failures_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    DWORD stepStart_ = 0;
    DWORD timeout_ = 8000;
    bool busy_ = false;
};

// Text of a window (caption of a dialog, text of a control), in the system code page.
std::string TextOf(HWND window);
std::string ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const char* text);
// Posts the click of a button, as the user's click would arrive.
void Click(HWND dialog, int id);
// Selects an entry of a combo box or list box and sends the notification the user's pick sends.
void PickCombo(HWND dialog, int id, int index);
void PickList(HWND dialog, int id, int index);
void Check(HWND dialog, int id, bool on);
// The text of a message box.
std::string MessageText(HWND box);
bool IsMessageBox(HWND window);

// Visible, enabled top-level windows of this thread.
std::vector<HWND> ThreadWindows();

// Pumps this thread's messages for ms milliseconds.
void Pump(DWORD ms);

// A visible top-level window of class className (and caption, when given) that belongs to process
// pid, waited for up to timeoutMs while pumping messages; null if none appeared.
HWND WaitForProcessWindow(DWORD pid, const char* className, DWORD timeoutMs);

// A file next to the test program (the build folder holds the product and the helpers).
std::string BuildFile(const char* name);

// Starts a program; the handles are closed by the caller (CloseHandle).
bool StartProcess(const std::string& commandLine, PROCESS_INFORMATION* pi,
                  const char* workDir = nullptr);

// Deletes the launcher's registry keys, so that the next case starts from nothing.
void ResetLauncherRegistry();

} // namespace ui

// Popup menus, waiting and dropping.
//
// A menu shown by TrackPopupMenu is a top-level window of class "#32768" of the tracking
// thread, so a UiScript step finds it like a dialog: On(nullptr, action, ui::kMenuClass).
// MN_GETHMENU gives the menu it shows. The tracking loop takes keyboard messages of the whole
// thread from the queue: a posted WM_CHAR with an entry's mnemonic chooses that entry (a
// grayed entry is then ignored, as for the user), a posted Escape closes the menu.
namespace ui {

extern const char kMenuClass[];

HMENU MenuOf(HWND menuWindow);
// Text of the entry with command id, "" when the menu has none.
std::string MenuEntryText(HWND menuWindow, UINT id);
bool IsMenuEntryGrayed(HWND menuWindow, UINT id);
// Chooses the entry with command id by its mnemonic (the character after "&").
void ChooseMenuEntry(HWND menuWindow, UINT id);
void DismissMenu(HWND menuWindow);

// Pumps this thread's messages until done() holds or timeoutMs passed; returns done().
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Handles every message already waiting in this thread's queue, without waiting for more.
void DrainMessages();

// A drop as the shell builds it: a DROPFILES block with the ANSI file list, the point in
// client coordinates of the target. The receiver releases it with DragFinish.
HDROP MakeDrop(const std::vector<std::string>& files, POINT point);

} // namespace ui

namespace ui {

// Live GDI objects of this process, stock objects left out. GetGuiResources answers 0 under
// Wine, so this counts the entries of the GDI handle table that the process shares with the
// system (its address is in the process environment block).
int GdiObjectCount();

// The text a tooltip window gets from the owner of tool when it asks for the tool's text, as it
// does before a tip shows; the tool is registered by its window.
std::string TooltipText(HWND tooltip, HWND tool);

} // namespace ui

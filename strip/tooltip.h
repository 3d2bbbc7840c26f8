// The tooltip of the item buttons: one tooltip window for an owner window, the owner's child
// controls registered as tools by control id with their own copy of the text, and a message
// hook of the GUI thread that feeds the tooltip with the mouse messages of those children.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <stdint.h>

// One registered tool, owned by its manager's list.
struct TooltipTool {
    TooltipTool* next;
    char* text; // heap copy; null when the tool was registered without text
    int32_t controlId;
};

// Only one manager exists at a time: the relay hook has no parameter of its own and serves the
// most recently constructed one. The owner allocates it, calls Destroy, then frees it. Between
// the two, RemoveAllTools lets one window and hook serve one set of tools after another.
class TooltipManager {
public:
    TooltipManager(HINSTANCE instance, HWND owner);

    // The result of TTM_ADDTOOLA (nonzero on success), 0 without a tooltip window. A caller
    // that holds the control's window passes it; otherwise it is looked up by id.
    LRESULT AddTool(int controlId, const char* text, HWND control = nullptr);
    // 1 when the tool's text was replaced; 0 for a null or empty text or an unknown tool.
    int SetToolText(int controlId, const char* text);
    // 1 when a record was removed. The tool stays registered with the tooltip window and
    // from then on gets no text.
    int RemoveTool(int controlId);
    // The first record with that control id in registration order; 0 never matches.
    TooltipTool* FindTool(int controlId) const;
    // Frees every record and takes every tool off the tooltip window, those that RemoveTool
    // left registered included; the window and the hook stay.
    void RemoveAllTools();
    // Answers TTN_GETDISPINFOA; every other notification is ignored.
    void HandleNeedText(NMHDR* header);
    // Frees every record, removes the hook and destroys the tooltip window.
    void Destroy();

    HWND TooltipWindow() const { return tooltip; }
    HHOOK Hook() const { return hook; }

private:
    static LRESULT CALLBACK RelayHook(int code, WPARAM wParam, LPARAM lParam);
    void FreeRecords();

    HINSTANCE instance;
    HWND owner;
    HWND tooltip;
    HHOOK hook;
    TooltipTool* first;
    TooltipTool* last;
};

// Tool records and relay hooks alive in the process, over all managers; for leak checks.
int LiveTooltipRecords();
int LiveTooltipHooks();

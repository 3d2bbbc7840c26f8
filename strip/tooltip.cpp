// The item buttons' tooltip: tool records with their texts, the text request, and the relay of
// the owner's child mouse messages to the tooltip window.
#include "strip/tooltip.h"

#include <stdlib.h>
#include <string.h>

namespace {

// The manager the relay hook serves: the most recently constructed one.
TooltipManager* HookOwner = nullptr;
int LiveRecords = 0;
int LiveHooks = 0;

char* CopyText(const char* text)
{
    if (!text || !*text)
        return nullptr;
    size_t size = strlen(text) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy)
        memcpy(copy, text, size);
    return copy;
}

void FreeRecord(TooltipTool* record)
{
    free(record->text);
    free(record);
    --LiveRecords;
}

// The mouse messages the tooltip needs to time and place its tips. A double click is left out.
bool IsRelayedMessage(UINT message)
{
    return message >= WM_MOUSEMOVE && message <= WM_RBUTTONUP && message != WM_LBUTTONDBLCLK;
}

} // namespace

TooltipManager::TooltipManager(HINSTANCE instance, HWND owner)
    : instance(instance), owner(owner), tooltip(nullptr), hook(nullptr), first(nullptr),
      last(nullptr)
{
    HookOwner = this;
    InitCommonControls();
    // TTS_ALWAYSTIP: the launcher strip is rarely the active window when the mouse is over it.
    tooltip =
        CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
    if (!tooltip)
        return;
    hook = SetWindowsHookExA(WH_GETMESSAGE, RelayHook, nullptr, GetCurrentThreadId());
    if (hook)
        ++LiveHooks;
}

LRESULT TooltipManager::AddTool(int controlId, const char* text, HWND control)
{
    if (!tooltip)
        return 0;
    TooltipTool* record = static_cast<TooltipTool*>(calloc(1, sizeof(TooltipTool)));
    if (!record)
        return 0;
    ++LiveRecords;
    // The text is never stored in the tooltip window: it asks for it at every showing, so a
    // changed caption needs no new registration.
    TTTOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = owner;
    // Under Wine GetDlgItem asks the server for the owner's child list and walks it: for a
    // page of 20 buttons that was 2 to 3 ms of every page change.
    if (!control)
        control = GetDlgItem(owner, controlId);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = LPSTR_TEXTCALLBACKA;
    LRESULT added = SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    if (!added) {
        FreeRecord(record);
        return 0;
    }
    record->controlId = controlId;
    record->text = CopyText(text);
    if (last)
        last->next = record;
    else
        first = record;
    last = record;
    return added;
}

int TooltipManager::SetToolText(int controlId, const char* text)
{
    if (!text || !*text)
        return 0;
    TooltipTool* record = FindTool(controlId);
    if (!record)
        return 0;
    free(record->text);
    record->text = CopyText(text);
    return 1;
}

int TooltipManager::RemoveTool(int controlId)
{
    TooltipTool* previous = nullptr;
    for (TooltipTool* record = first; record; previous = record, record = record->next) {
        if (record->controlId != controlId)
            continue;
        if (previous)
            previous->next = record->next;
        else
            first = record->next;
        if (last == record)
            last = previous;
        FreeRecord(record);
        return 1;
    }
    return 0;
}

TooltipTool* TooltipManager::FindTool(int controlId) const
{
    if (controlId == 0)
        return nullptr;
    for (TooltipTool* record = first; record; record = record->next) {
        if (record->controlId == controlId)
            return record;
    }
    return nullptr;
}

void TooltipManager::HandleNeedText(NMHDR* header)
{
    if (!header || header->code != static_cast<UINT>(TTN_GETDISPINFOA))
        return;
    // The tools are registered by window (TTF_IDISHWND), so idFrom is the tool's window.
    int controlId = GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
    const TooltipTool* record = FindTool(controlId);
    if (!record || !record->text || !*record->text)
        return;
    reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText = record->text;
}

void TooltipManager::FreeRecords()
{
    while (first) {
        TooltipTool* next = first->next;
        FreeRecord(first);
        first = next;
    }
    last = nullptr;
}

void TooltipManager::RemoveAllTools()
{
    FreeRecords();
    if (!tooltip)
        return;
    // Deleting a tool also hides its tip, so a tip of the old page does not stay up. Each pass
    // takes off the first registration; counted, so a refused delete cannot loop for ever.
    TTTOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    for (LRESULT left = SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0); left > 0; --left) {
        if (!SendMessageA(tooltip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&info)))
            break;
        SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void TooltipManager::Destroy()
{
    FreeRecords();
    if (hook) {
        UnhookWindowsHookEx(hook);
        hook = nullptr;
        --LiveHooks;
    }
    if (tooltip) {
        DestroyWindow(tooltip);
        tooltip = nullptr;
    }
    // The owner frees the manager next; the relay hook must not reach it after that.
    if (HookOwner == this)
        HookOwner = nullptr;
}

// Runs inside every message retrieval of the GUI thread, so a message that is not relayed
// costs only the two tests.
LRESULT CALLBACK TooltipManager::RelayHook(int code, WPARAM wParam, LPARAM lParam)
{
    const TooltipManager* manager = HookOwner;
    if (code >= 0 && manager) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (IsRelayedMessage(msg->message) && IsChild(manager->owner, msg->hwnd) &&
            manager->tooltip) {
            MSG copy = {msg->hwnd, msg->message, msg->wParam, msg->lParam, 0, {0, 0}};
            SendMessageA(manager->tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int LiveTooltipRecords()
{
    return LiveRecords;
}
int LiveTooltipHooks()
{
    return LiveHooks;
}

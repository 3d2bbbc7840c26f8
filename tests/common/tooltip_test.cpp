// The tooltip manager on a window of its own: records and texts, the tooltip's real text
// requests, the relay of child mouse messages, and a start without a tooltip window. What a
// page change and Destroy leave behind is counted in the page grid's tests.
#include "test_support.h"

#include <commctrl.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "common/tooltip.h"

namespace {

const int kFirstId = 101;
const int kBoxId = 200;

TooltipManager* Answering = nullptr;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && Answering) {
        Answering->HandleNeedText(reinterpret_cast<NMHDR*>(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND Child(const char* className, HWND parent, int x, int id)
{
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, x, 0, 38, 38, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), AppInstance, nullptr);
}

// An owner window with three buttons (ids 101..103) and a static holding a button of its own.
HWND MakeOwner()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = AppInstance;
    wc.lpszClassName = "VeldarTooltipTestOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, wc.lpszClassName, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                 10, 300, 100, nullptr, nullptr, AppInstance, nullptr);
    for (int i = 0; i < 3; ++i)
        Child("BUTTON", owner, 40 * i, kFirstId + i);
    Child("BUTTON", Child("STATIC", owner, 200, kBoxId), 0, 0);
    return owner;
}

// The owner with a manager that answers its WM_NOTIFY.
struct Owner {
    HWND window = MakeOwner();
    TooltipManager manager{AppInstance, window};
    Owner() { Answering = &manager; }
    ~Owner()
    {
        Answering = nullptr;
        manager.Destroy();
        DestroyWindow(window);
    }
    std::string TipText(int controlId)
    {
        return ui::TooltipText(manager.TooltipWindow(), GetDlgItem(window, controlId));
    }
};

// The messages relayed to the tooltip window, window by window.
std::map<HWND, std::vector<UINT>> Relayed;
WNDPROC TooltipBaseProc = nullptr;

LRESULT CALLBACK RecordingTooltipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTM_RELAYEVENT && lParam) {
        const MSG* m = reinterpret_cast<const MSG*>(lParam);
        Relayed[m->hwnd].push_back(m->message);
    }
    return CallWindowProcA(TooltipBaseProc, window, message, wParam, lParam);
}

} // namespace

TEST_CASE("tools answer the tooltip's text requests from their own records")
{
    Owner owner;
    TooltipManager& m = owner.manager;
    char caption[32] = "メモ帳";
    CHECK(m.AddTool(kFirstId, caption) != 0);
    CHECK(m.AddTool(kFirstId + 1, "") != 0);
    strcpy(caption, "changed");
    CHECK(owner.TipText(kFirstId) == "メモ帳");

    // A null text, or an unknown tool, changes nothing.
    CHECK(m.SetToolText(kFirstId, nullptr) == 0);
    CHECK(m.SetToolText(kFirstId + 2, "x") == 0);
    CHECK(owner.TipText(kFirstId) == "メモ帳");
    // Another notification is no text request: nothing is written into it.
    NMTTDISPINFOA show = {};
    show.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(owner.window, kFirstId));
    show.hdr.code = TTN_SHOW;
    m.HandleNeedText(&show.hdr);
    CHECK(show.lpszText == nullptr);

    // Records added after the last or the first one was removed are still found.
    CHECK(m.RemoveTool(kFirstId + 1) == 1);
    CHECK(m.AddTool(kFirstId + 2, "third") != 0);
    CHECK(owner.TipText(kFirstId + 2) == "third");
    CHECK(m.RemoveTool(kFirstId) == 1);
    CHECK(m.RemoveTool(kFirstId + 2) == 1);
    CHECK(m.AddTool(kFirstId + 1, "fourth") != 0);
    CHECK(owner.TipText(kFirstId + 1) == "fourth");
    CHECK(owner.TipText(kFirstId) == "");
}

TEST_CASE("the hook relays the owner's child mouse messages, a double click excepted")
{
    Owner owner;
    HWND tooltip = owner.manager.TooltipWindow();
    TooltipBaseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingTooltipProc)));
    Relayed.clear();
    HWND button = GetDlgItem(owner.window, kFirstId);
    HWND grandchild = GetWindow(GetDlgItem(owner.window, kBoxId), GW_CHILD);

    // Posted, as the system delivers mouse input.
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                         WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL})
        PostMessageA(button, message, 0, 0);
    PostMessageA(grandchild, WM_MOUSEMOVE, 0, 0);
    PostMessageA(owner.window, WM_MOUSEMOVE, 0, 0);
    PostMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
    ui::Pump(0);
    SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TooltipBaseProc));

    const std::vector<UINT> expected = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                        WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP};
    CHECK(Relayed[button] == expected);
    CHECK(Relayed[grandchild] == std::vector<UINT>{WM_MOUSEMOVE});
    CHECK(Relayed.count(owner.window) == 0);
}

TEST_CASE("without its tooltip window a manager installs no hook and registers nothing")
{
    int records = LiveTooltipRecords(), hooks = LiveTooltipHooks();
    HWND gone = MakeOwner();
    DestroyWindow(gone);
    TooltipManager manager(AppInstance, gone);
    CHECK(manager.TooltipWindow() == nullptr);
    CHECK(manager.AddTool(kFirstId, "caption") == 0);
    CHECK(LiveTooltipRecords() == records);
    CHECK(LiveTooltipHooks() == hooks);
    manager.Destroy();
}

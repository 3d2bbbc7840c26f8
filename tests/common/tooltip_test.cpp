// The tooltip manager on a window of its own: records and texts through the tooltip's real
// text requests, the relay of child mouse messages, and a start without a tooltip window.
#include "test_support.h"

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "common/tooltip.h"

namespace {

const int kFirstId = 101;
TooltipManager* Answering = nullptr;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && Answering)
        Answering->HandleNeedText(reinterpret_cast<NMHDR*>(lParam));
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND Child(const char* className, HWND parent, int x, int id)
{
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, x, 0, 38, 38, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), AppInstance, nullptr);
}

// An owner with buttons 101..103 and a static holding a button of its own, answering WM_NOTIFY.
struct Owner {
    HWND window;
    TooltipManager manager;
    static HWND Make()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = AppInstance;
        wc.lpszClassName = "VeldarTooltipTestOwner";
        RegisterClassA(&wc);
        HWND owner = CreateWindowExA(0, wc.lpszClassName, "owner", WS_POPUP | WS_VISIBLE, 10, 10,
                                     300, 100, nullptr, nullptr, AppInstance, nullptr);
        for (int i = 0; i < 3; ++i)
            Child("BUTTON", owner, 40 * i, kFirstId + i);
        Child("BUTTON", Child("STATIC", owner, 200, 200), 0, 0);
        return owner;
    }
    Owner() : window(Make()), manager(AppInstance, window) { Answering = &manager; }
    ~Owner()
    {
        Answering = nullptr;
        manager.Destroy();
        DestroyWindow(window);
    }
    std::string Tip(int id)
    {
        return ui::TooltipText(manager.TooltipWindow(), GetDlgItem(window, id));
    }
};

// The posted messages (marked by their lParam) relayed to the tooltip, window by window. Real
// mouse input, such as the move a window gets when it appears under the pointer, is left out.
const LPARAM kMark = MAKELPARAM(7, 29);
std::map<HWND, std::vector<UINT>> Relayed;
WNDPROC TooltipBaseProc = nullptr;

LRESULT CALLBACK RecordingTooltipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const MSG* m = reinterpret_cast<const MSG*>(lParam);
    if (message == TTM_RELAYEVENT && m && m->lParam == kMark)
        Relayed[m->hwnd].push_back(m->message);
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
    caption[0] = 'X'; // the record holds its own copy
    CHECK(owner.Tip(kFirstId) == "メモ帳");
    // A null text or an unknown tool changes nothing; another notification gets no text.
    CHECK(m.SetToolText(kFirstId, nullptr) == 0);
    CHECK(m.SetToolText(kFirstId + 2, "x") == 0);
    CHECK(owner.Tip(kFirstId) == "メモ帳");
    NMTTDISPINFOA show = {};
    show.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(owner.window, kFirstId));
    show.hdr.code = TTN_SHOW;
    m.HandleNeedText(&show.hdr);
    CHECK(show.lpszText == nullptr);
    // Records added after the last or the first one was removed are still found.
    CHECK(m.RemoveTool(kFirstId + 1) == 1);
    CHECK(m.AddTool(kFirstId + 2, "third") != 0);
    CHECK(owner.Tip(kFirstId + 2) == "third");
    CHECK(m.RemoveTool(kFirstId) + m.RemoveTool(kFirstId + 2) == 2);
    CHECK(m.AddTool(kFirstId + 1, "fourth") != 0);
    CHECK(owner.Tip(kFirstId + 1) == "fourth");
    CHECK(owner.Tip(kFirstId) == "");
}

TEST_CASE("the hook relays the owner's child mouse messages, a double click excepted")
{
    Owner owner;
    HWND tooltip = owner.manager.TooltipWindow();
    TooltipBaseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingTooltipProc)));
    Relayed.clear();
    HWND button = GetDlgItem(owner.window, kFirstId);
    HWND grandchild = GetWindow(GetDlgItem(owner.window, 200), GW_CHILD);
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                         WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL, WM_KEYDOWN})
        PostMessageA(button, message, 0, kMark);
    PostMessageA(grandchild, WM_MOUSEMOVE, 0, kMark);
    PostMessageA(owner.window, WM_MOUSEMOVE, 0, kMark);
    ui::DrainMessages();
    SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TooltipBaseProc));
    CHECK(Relayed[button] == std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                               WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP});
    CHECK(Relayed[grandchild] == std::vector<UINT>{WM_MOUSEMOVE});
    CHECK(Relayed.count(owner.window) == 0);
}

TEST_CASE("without its tooltip window a manager installs no hook and registers nothing")
{
    int records = LiveTooltipRecords(), hooks = LiveTooltipHooks();
    HWND gone = Owner::Make();
    DestroyWindow(gone);
    TooltipManager manager(AppInstance, gone);
    CHECK(manager.TooltipWindow() == nullptr);
    CHECK(manager.AddTool(kFirstId, "caption") == 0);
    CHECK(LiveTooltipRecords() == records);
    CHECK(LiveTooltipHooks() == hooks);
    manager.Destroy();
}

// The tooltip manager on a window of its own: records and texts, the tooltip's real text
// requests, the relay of child mouse messages, and what Destroy leaves behind.
#include "test_support.h"

#include <commctrl.h>
#include <string.h>

#include <string>
#include <vector>

#include "common/tooltip.h"

namespace {

const int kFirstId = 101;
const char kOwnerClass[] = "VeldarTooltipTestOwner";

TooltipManager* Answering = nullptr;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && Answering) {
        Answering->HandleNeedText(reinterpret_cast<NMHDR*>(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// An owner window with three buttons (ids 101..103) and a static holding a button of its own,
// and a manager for it that answers the owner's WM_NOTIFY.
struct Owner {
    HWND window = nullptr;
    HWND grandchild = nullptr;
    TooltipManager* manager = nullptr;

    Owner()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = AppInstance;
        wc.lpszClassName = kOwnerClass;
        RegisterClassA(&wc);
        window = CreateWindowExA(0, kOwnerClass, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                 300, 100, nullptr, nullptr, AppInstance, nullptr);
        for (int i = 0; i < 3; ++i)
            CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, 40 * i, 0, 38, 38, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)),
                            AppInstance, nullptr);
        HWND box = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 200, 0, 60, 38, window,
                                   nullptr, AppInstance, nullptr);
        grandchild = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, box,
                                     nullptr, AppInstance, nullptr);
        manager = new TooltipManager(AppInstance, window);
        Answering = manager;
    }
    ~Owner()
    {
        Answering = nullptr;
        if (manager) {
            manager->Destroy();
            delete manager;
        }
        DestroyWindow(window);
    }

    // The text the tooltip window gets when it asks the owner, as it does before a tip shows.
    std::string TipText(int controlId) const
    {
        char text[1024] = "";
        TTTOOLINFOA info = {};
        info.cbSize = TTTOOLINFOA_V1_SIZE;
        info.hwnd = window;
        info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window, controlId));
        info.lpszText = text;
        SendMessageA(manager->TooltipWindow(), TTM_GETTEXTA, sizeof text,
                     reinterpret_cast<LPARAM>(&info));
        return text;
    }
};

// Records the messages relayed to a tooltip window.
std::vector<MSG> Relayed;
WNDPROC TooltipBaseProc = nullptr;

LRESULT CALLBACK RecordingTooltipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTM_RELAYEVENT && lParam)
        Relayed.push_back(*reinterpret_cast<const MSG*>(lParam));
    return CallWindowProcA(TooltipBaseProc, window, message, wParam, lParam);
}

std::vector<UINT> RelayedMessages(HWND target)
{
    std::vector<UINT> seen;
    for (const MSG& m : Relayed) {
        if (m.hwnd == target)
            seen.push_back(m.message);
    }
    return seen;
}

} // namespace

TEST_CASE("tools answer the tooltip's text requests from their own records")
{
    Owner owner;
    TooltipManager& m = *owner.manager;
    REQUIRE(m.TooltipWindow());
    char caption[32] = "メモ帳";
    CHECK(m.AddTool(kFirstId, caption) != 0);
    CHECK(m.AddTool(kFirstId + 1, "") != 0);
    strcpy(caption, "changed");

    SUBCASE("each record keeps a copy of its text; an empty one gives no text")
    {
        CHECK(owner.TipText(kFirstId) == "メモ帳");
        CHECK(owner.TipText(kFirstId + 1) == "");
        CHECK(m.FindTool(kFirstId + 1)->text == nullptr);
    }
    SUBCASE("an empty or null text, or an unknown tool, changes nothing")
    {
        CHECK(m.SetToolText(kFirstId, "") == 0);
        CHECK(m.SetToolText(kFirstId, nullptr) == 0);
        CHECK(m.SetToolText(kFirstId + 2, "x") == 0);
        CHECK(m.FindTool(kFirstId + 2) == nullptr);
        CHECK(m.FindTool(0) == nullptr);
        CHECK(owner.TipText(kFirstId) == "メモ帳");
    }
    SUBCASE("notifications other than the text request are left alone")
    {
        NMTTDISPINFOA request = {};
        request.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(owner.window, kFirstId));
        request.hdr.code = TTN_SHOW;
        m.HandleNeedText(&request.hdr);
        CHECK(request.lpszText == nullptr);
        m.HandleNeedText(nullptr);
    }
    SUBCASE("of two records for one id the older answers and is the one removed")
    {
        m.AddTool(kFirstId, "again");
        CHECK(m.RemoveTool(kFirstId) == 1);
        CHECK(owner.TipText(kFirstId) == "again");
        CHECK(m.RemoveTool(kFirstId) == 1);
        CHECK(m.RemoveTool(kFirstId) == 0);
        CHECK(owner.TipText(kFirstId) == "");
    }
    SUBCASE("after the last record is removed, later ones are still found")
    {
        CHECK(m.RemoveTool(kFirstId + 1) == 1);
        CHECK(m.AddTool(kFirstId + 2, "third") != 0);
        CHECK(owner.TipText(kFirstId + 2) == "third");
        CHECK(m.RemoveTool(kFirstId) == 1);
        CHECK(m.RemoveTool(kFirstId + 2) == 1);
        CHECK(m.AddTool(kFirstId + 1, "fourth") != 0);
        CHECK(owner.TipText(kFirstId + 1) == "fourth");
    }
}

TEST_CASE("the hook relays the owner's child mouse messages, a double click excepted")
{
    Owner owner;
    HWND tooltip = owner.manager->TooltipWindow();
    REQUIRE(owner.manager->Hook());
    TooltipBaseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingTooltipProc)));
    Relayed.clear();
    HWND button = GetDlgItem(owner.window, kFirstId);

    // Posted, as the system delivers mouse input.
    const UINT mouse[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                          WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL};
    for (UINT message : mouse)
        PostMessageA(button, message, 0, 0);
    PostMessageA(owner.grandchild, WM_MOUSEMOVE, 0, 0);
    PostMessageA(owner.window, WM_MOUSEMOVE, 0, 0);
    PostMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
    ui::Pump(0);

    const std::vector<UINT> expected = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                        WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP};
    CHECK(RelayedMessages(button) == expected);
    CHECK(RelayedMessages(owner.grandchild) == std::vector<UINT>{WM_MOUSEMOVE});
    CHECK(RelayedMessages(owner.window).empty());

    SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TooltipBaseProc));
}

TEST_CASE("Destroy leaves no record, text, hook or tooltip window behind")
{
    int records = LiveTooltipRecords();
    int hooks = LiveTooltipHooks();
    Owner owner;
    for (int i = 0; i < 3; ++i)
        owner.manager->AddTool(kFirstId + i, "caption");
    HWND tooltip = owner.manager->TooltipWindow();
    HHOOK hook = owner.manager->Hook();
    CHECK(LiveTooltipRecords() == records + 3);
    CHECK(LiveTooltipHooks() == hooks + 1);

    owner.manager->Destroy();
    CHECK(LiveTooltipRecords() == records);
    CHECK(LiveTooltipHooks() == hooks);
    CHECK_FALSE(IsWindow(tooltip));
    CHECK_FALSE(UnhookWindowsHookEx(hook));
    CHECK(owner.manager->FindTool(kFirstId) == nullptr);
    CHECK(owner.manager->AddTool(kFirstId, "late") == 0);
}

TEST_CASE("without its tooltip window a manager installs no hook and registers nothing")
{
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                AppInstance, nullptr);
    DestroyWindow(gone);
    int hooks = LiveTooltipHooks();
    TooltipManager manager(AppInstance, gone);
    CHECK(manager.TooltipWindow() == nullptr);
    CHECK(manager.Hook() == nullptr);
    CHECK(LiveTooltipHooks() == hooks);
    CHECK(manager.AddTool(kFirstId, "caption") == 0);
    CHECK(manager.FindTool(kFirstId) == nullptr);
    manager.Destroy();
}

// The tooltip manager on a window of its own: records, texts and the relay of mouse messages.
#include "test_support.h"

#include <commctrl.h>

#include <map>
#include <vector>

#include "strip/tooltip.h"

namespace {

TooltipManager* Answering = nullptr;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && Answering)
        Answering->HandleNeedText(reinterpret_cast<NMHDR*>(lParam));
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND Child(const char* className, HWND parent, int id)
{
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, 40 * (id % 100), 0, 38, 38,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), AppInstance,
                           nullptr);
}

// An owner with buttons 101..103 and a static 104 holding a button of its own.
HWND MakeOwner()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = AppInstance;
    wc.lpszClassName = "VeldarTooltipTestOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 10, 10, 300, 100,
                                 nullptr, nullptr, AppInstance, nullptr);
    for (int id = 101; id <= 103; ++id)
        Child("BUTTON", owner, id);
    Child("BUTTON", Child("STATIC", owner, 104), 0);
    return owner;
}

// The posted messages (marked by their lParam, unlike real mouse input) relayed to the tooltip.
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

TEST_CASE("tools answer the tooltip's text requests from their own records; the hook relays "
          "the owner's child mouse messages, a double click excepted")
{
    HWND owner = MakeOwner();
    TooltipManager m(AppInstance, owner);
    Answering = &m;
    HWND tooltip = m.TooltipWindow();
    auto tips = [&] {
        std::string text;
        for (int id = 101; id <= 103; ++id)
            text += ui::TooltipText(tooltip, GetDlgItem(owner, id)) + "|";
        return text;
    };
    char caption[32] = "メモ帳";
    CHECK((m.AddTool(101, caption) != 0 && m.AddTool(102, "") != 0));
    caption[0] = 'X'; // the record holds its own copy
    // A null text or an unknown tool changes nothing; another notification gets no text.
    CHECK(m.SetToolText(101, nullptr) + m.SetToolText(103, "x") == 0);
    NMTTDISPINFOA show = {};
    show.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(owner, 101));
    show.hdr.code = TTN_SHOW;
    m.HandleNeedText(&show.hdr);
    CHECK((show.lpszText == nullptr && tips() == "メモ帳|||"));
    // Records added after the last or the first one was removed are still found.
    CHECK((m.RemoveTool(102) == 1 && m.AddTool(103, "third") != 0));
    std::string seen = tips();
    CHECK((m.RemoveTool(101) + m.RemoveTool(103) == 2 && m.AddTool(102, "fourth") != 0));
    CHECK(seen + tips() == "メモ帳||third||fourth||");

    TooltipBaseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingTooltipProc)));
    HWND button = GetDlgItem(owner, 101), grandchild = GetWindow(GetDlgItem(owner, 104), GW_CHILD);
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                         WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL, WM_KEYDOWN})
        PostMessageA(button, message, 0, kMark);
    PostMessageA(grandchild, WM_MOUSEMOVE, 0, kMark);
    PostMessageA(owner, WM_MOUSEMOVE, 0, kMark);
    ui::DrainMessages();
    SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TooltipBaseProc));
    CHECK(Relayed[button] == std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                               WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP});
    CHECK((Relayed[grandchild] == std::vector<UINT>{WM_MOUSEMOVE} && !Relayed.count(owner)));
    Answering = nullptr;
    m.Destroy(), DestroyWindow(owner);

    // Without its tooltip window a manager installs no hook and registers nothing.
    TooltipManager gone(AppInstance, owner);
    CHECK((gone.TooltipWindow() == nullptr && gone.AddTool(101, "caption") == 0));
    CHECK(LiveTooltipRecords() + LiveTooltipHooks() == 0);
    gone.Destroy();
}

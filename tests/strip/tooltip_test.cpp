// The item buttons' tooltip in the real main window: records, texts, the relay of mouse input.
#include "test_support.h"

#include <map>

#include "strip/page_grid.h"

// The posted messages (marked by their lParam, unlike real mouse input) relayed to the tooltip.
const LPARAM kMark = MAKELPARAM(7, 29);
static std::map<HWND, std::vector<UINT>> Relayed;
static WNDPROC TooltipBaseProc = nullptr;

static LRESULT CALLBACK RecordingTooltipProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam)
{
    const MSG* m = reinterpret_cast<const MSG*>(lParam);
    if (message == TTM_RELAYEVENT && m && m->lParam == kMark)
        Relayed[m->hwnd].push_back(m->message);
    return CallWindowProcA(TooltipBaseProc, window, message, wParam, lParam);
}

TEST_CASE("tools answer the tooltip's text requests from their own records; the hook relays "
          "the owner's child mouse messages, a double click excepted")
{
    LauncherWindow launcher;
    REQUIRE(ItemTooltip());
    TooltipManager& m = *ItemTooltip();
    HWND tooltip = m.TooltipWindow();
    auto tips = [&] {
        std::string text;
        for (int id = 101; id <= 103; ++id)
            text += ui::TooltipText(tooltip, GetDlgItem(MainWindow, id)) + "|";
        return text;
    };
    m.RemoveAllTools(); // the page's own tools
    char caption[32] = "メモ帳";
    CHECK((m.AddTool(101, caption) != 0 && m.AddTool(102, "") != 0));
    caption[0] = 'X'; // the record holds its own copy
    // A null text or an unknown tool changes nothing; another notification gets no text.
    CHECK(m.SetToolText(101, nullptr) + m.SetToolText(103, "x") == 0);
    NMTTDISPINFOA show = {};
    show.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(MainWindow, 101));
    show.hdr.code = TTN_SHOW;
    m.HandleNeedText(&show.hdr);
    CHECK((show.lpszText == nullptr && tips() == "メモ帳|||"));
    // Records added after the last or the first one was removed are still found.
    CHECK((m.RemoveTool(102) == 1 && m.AddTool(103, "third") != 0));
    std::string seen = tips();
    CHECK((m.RemoveTool(101) + m.RemoveTool(103) == 2 && m.AddTool(102, "fourth") != 0));
    CHECK(seen + tips() == "メモ帳||third||fourth||");
    // Taking every tool off also takes off the registrations that removed records left behind.
    m.RemoveAllTools();
    CHECK((SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0) == 0 && LiveTooltipRecords() == 0));

    TooltipBaseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingTooltipProc)));
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 8, 8, MainWindow, nullptr,
                                 nullptr, nullptr),
         grandchild = CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 8, 8, child, nullptr,
                                      nullptr, nullptr);
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                         WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL, WM_KEYDOWN})
        PostMessageA(child, message, 0, kMark);
    PostMessageA(grandchild, WM_MOUSEMOVE, 0, kMark);
    PostMessageA(MainWindow, WM_MOUSEMOVE, 0, kMark);
    ui::DrainMessages();
    SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TooltipBaseProc));
    CHECK(Relayed[child] == std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                              WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP});
    CHECK((Relayed[grandchild] == std::vector<UINT>{WM_MOUSEMOVE} && !Relayed.count(MainWindow)));
}

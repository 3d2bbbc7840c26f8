// The page jump, move and options dialogs driven as the user does, over the real main window.
#include "dialog_steps.h"

#include <stdio.h>

#include "dialogs/move_item_dialog.h"
#include "dialogs/options_dialog.h"
#include "dialogs/page_jump_dialog.h"
#include "store/reg_key.h"
#include "strip/page_grid.h"

static std::string Seen;

// An item with every field set, so that a cleared slot shows in each value.
static void Store(int slot, const char* caption)
{
    ItemSlot item = MakeItem(caption, "C:\\windows\\notepad.exe", "-a", "C:\\", 1, 3);
    SaveItem(slot, &item);
}
const std::string kRest = "|C:\\windows\\notepad.exe|C:\\windows\\notepad.exe|C:\\|-a|3|1",
                  kFree = "|||||0|0";

// The five settings, GDI objects, windows and the width of the main window.
static std::string Census()
{
    const LauncherSettings* s = Settings;
    RECT r;
    char text[160];
    GetWindowRect(MainWindow, &r);
    snprintf(text, sizeof text, "%d %d %d %d %d|%d gdi %d windows %ld px|", s->IconsPerPage,
             s->MaxPages, s->StartPage, s->ReserveAtStart, s->ReserveNoConfirm,
             ui::GdiObjectCount(), ui::WindowCount(MainWindow), r.right - r.left);
    return text;
}

TEST_CASE("page jump and options: a start page beyond the last waits for a choice; cancel "
          "changes nothing; the pages alone rebuild nothing; 10 to 5 icons regroups at once")
{
    LauncherWindow launcher([] { WriteSetting("Start", 25), WriteSetting("Reserve", 1); });
    HWND w = launcher.window, button = Settings->ItemButtons[0].Window;
    Store(7, "七"), Store(13, "十四");
    ui::UiScript script;
    MenuStep(script, IDM_PAGE_JUMP).On("ページ移動", [](HWND d) {
        Seen = Ask(d, IDC_JUMP_PAGE, CB_GETCOUNT) + Ask(d, IDC_JUMP_PAGE, CB_GETCURSEL);
        ui::Click(d, IDOK);
    });
    script.On("ページ移動", [](HWND d) { ui::PickCombo(d, IDC_JUMP_PAGE, 1), ui::Click(d, IDOK); });
    script.On("ページ移動", [](HWND d) {
        Seen += ui::TextOf(MainWindow) + " " + Shown(3) + "|" + Ask(d, IDC_JUMP_PAGE, CB_GETCURSEL);
        ui::Click(d, IDCANCEL);
    });
    MenuStep(script, IDM_OPTIONS).On("オプション", [](HWND d) {
        for (int id : {IDC_OPT_ICONS_PER_PAGE, IDC_OPT_START_PAGE, IDC_OPT_MAX_PAGES})
            Seen += Ask(d, id, CB_GETCURSEL), ui::PickCombo(d, id, 0);
        Seen += ui::TextOf(GetWindow(GetDlgItem(d, IDC_OPT_START_PAGE), GW_HWNDPREV));
        ui::Check(d, IDC_OPT_RESERVE_AT_START, false), ui::Check(d, IDC_OPT_RESERVE_NO_CONFIRM, 1);
        ui::Click(d, IDC_OPT_SHOW_RESERVATION);
    });
    // The stored reservation, shown read-only, is closed again; then cancel, and OK twice.
    script.On(nullptr,
              [](HWND w) { ui::TextOf(w) != "オプション" ? ui::Click(w, IDCANCEL) : void(); });
    for (int button : {IDCANCEL, IDOK})
        script.On("オプション", [=](HWND d) { ui::Click(d, button); });
    script.On("オプション", [](HWND d) {
        ui::PickCombo(d, IDC_OPT_START_PAGE, 4), ui::PickCombo(d, IDC_OPT_MAX_PAGES, 0);
        ui::Check(d, IDC_OPT_RESERVE_AT_START, true), ui::Check(d, IDC_OPT_RESERVE_NO_CONFIRM, 1);
        ui::Check(d, IDC_OPT_RESERVE_AT_START, false), ui::Click(d, IDOK);
    });
    // Then 5, 10 (a round that warms the caches), 5 and 10 icons per page.
    for (int entry : {2, 7, 2, 7})
        script.On("オプション", [=](HWND d) {
            ui::PickCombo(d, IDC_OPT_ICONS_PER_PAGE, entry), ui::Click(d, IDOK);
        });
    SendMessageA(GetDlgItem(w, IDC_LAUNCHER_MENU_BUTTON), BM_CLICK, 0, 0);
    CHECK(JumpToPage(w) == 0);
    Seen += Census().substr(0, 13), ui::Settle();
    SendMessageA(GetDlgItem(w, IDC_LAUNCHER_MENU_BUTTON), BM_CLICK, 0, 0);
    Seen += Census().substr(0, 13);
    CHECK(ShowOptions(w) == 1);
    // Nothing reaches the registry before the settings are saved at teardown.
    CHECK(
        Seen + Census().substr(0, 11) + (Settings->ItemButtons[0].Window == button ? "kept|" : "") +
            std::to_string(RegKey(VELDAR_REG_BASE, VELDAR_REG_SETTINGS, true).ReadDword("Start")) ==
        "20|-1|Veldar - 2 十四|1|10 20 25 1 0|7|-1|15|起動時のページ(&B):10 20 25 1 0|10 5 4 0 "
        "1|kept|25");
    RECT r[2];
    ShowOptions(w), ShowOptions(w), GetWindowRect(w, &r[0]);
    const std::string census = Census();
    CHECK((ShowOptions(w) == 1 && GetWindowRect(w, &r[1]) &&
           GetDlgItem(w, IDC_ITEM_BUTTON_FIRST + 4) && !GetDlgItem(w, IDC_ITEM_BUTTON_FIRST + 5)));
    CHECK(std::to_string(r[0].right - r[0].left - r[1].right + r[1].left) + ui::TextOf(w) + " " +
              Shown(2) ==
          "190Veldar - 2 七");
    CHECK((ShowOptions(w) == 1 && Census() == census));
}

TEST_CASE("move over 100 pages of 20 from the item menu: free slots only; No keeps both; a slot "
          "filled meanwhile is refused; Yes moves the whole caption and rebuilds the row")
{
    // 129 double-byte characters whose second byte is a backslash, and one more: 259 bytes.
    static std::string caption;
    for (caption = "A"; caption.size() < 259;)
        caption += "表";
    LauncherWindow launcher([] {
        WriteSetting("Ico", 20), WriteSetting("Page", 100);
        Store(0, caption.c_str()), Store(5, "五"), Store(13, "十三");
    });
    HWND button = Settings->ItemButtons[0].Window;
    std::string said[4];
    ui::UiScript script;
    MenuStep(script, IDM_ITEM_MOVE).On("移動", [](HWND d) {
        Seen = std::to_string(IsWindowEnabled(GetDlgItem(d, IDOK))) + "|";
        for (int i : {-1, 0, 3, 4, 10, 11, 1233, 1996, 1997})
            Seen += Ask(d, IDC_MOVE_FREE_LIST, i < 0 ? LB_GETCOUNT : LB_GETTEXT, i);
        ui::PickList(d, IDC_MOVE_FREE_LIST, 10), ui::Click(d, IDOK);
    });
    script.Answer(IDNO, &said[0]).On("移動", [](HWND d) {
        Seen += Record(0) + Record(12), ui::PickList(d, IDC_MOVE_FREE_LIST, 1996);
        Store(1999, "他"), ui::Click(d, IDOK);
    });
    script.Answer(IDYES, &said[1]).Answer(IDOK, &said[2]).On("移動", [](HWND d) {
        Seen += Ask(d, IDC_MOVE_FREE_LIST, LB_GETCOUNT), ui::PickList(d, IDC_MOVE_FREE_LIST, 10);
        ui::Click(d, IDOK);
    });
    script.Answer(IDYES, &said[3]);
    ui::RightPress(button); // on the button whose row the move rebuilds
    CHECK(ui::WaitUntil([&] { return script.Done(); }, 20000));
    ui::DrainMessages();
    auto question = [](const char* to) {
        return "'" + caption + "' を '" + to + "' に移動しますか？";
    };
    CHECK(Seen + said[0] + said[1] + said[2] + said[3] ==
          "0|1997|001: 1ページ 2番|004: 1ページ 5番|006: 1ページ 7番|012: 1ページ 13番|"
          "014: 1ページ 15番|1236: 62ページ 17番|1999: 100ページ 20番||" +
              caption + kRest + kFree + "1996|" + question("012: 1ページ 13番") +
              question("1999: 100ページ 20番") + "不正な値です。" + question("012: 1ページ 13番"));
    CHECK(Record(0) + Record(12) + Record(1999) + ui::TextOf(MainWindow) + " " + Shown(0) ==
          kFree + caption + kRest + "他" + kRest + "Veldar - 1 -");
    CHECK_FALSE(IsWindow(button));
}

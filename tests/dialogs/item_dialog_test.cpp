// The register/modify dialog driven as a user drives it, over the real main window.
#include "test_support.h"

#include <string>

#include "dialogs/item_dialog.h"
#include "resource.h"

namespace {

const char kCaption[] = "登録／変更";
const char kNotepad[] = "C:\\windows\\notepad.exe";

const char kNotepadRecord[] =
    "メモ帳|C:\\windows\\notepad.exe|C:\\windows\\notepad.exe|C:\\windows|-x|0|";

// The dialog's fields in the same order, the show state as the combo shows it.
std::string Fields(HWND dialog)
{
    std::string text;
    for (int id : {IDC_ITEM_CAPTION, IDC_ITEM_FILE, IDC_ITEM_ICON_FILE, IDC_ITEM_FOLDER,
                   IDC_ITEM_ARGUMENTS, IDC_ITEM_ICON_INDEX})
        text += ui::ControlText(dialog, id) + "|";
    return text + ui::ControlText(dialog, IDC_ITEM_SHOW_STATE);
}

} // namespace

TEST_CASE("registering on a free slot asks for caption and file, then stores and shows the item")
{
    LauncherWindow launcher;
    std::string fields, firstText, secondText, meanwhile;
    int firstFocus = 0, secondFocus = 0;
    ui::UiScript script;
    script
        .On(
            nullptr, [](HWND menu) { ui::ChooseMenuEntry(menu, IDM_ITEM_REGISTER); },
            ui::kMenuClass)
        .On(kCaption,
            [&](HWND dialog) {
                fields = Fields(dialog);
                ui::Click(dialog, IDOK);
            })
        .Answer(IDOK, &firstText)
        .On(kCaption,
            [&](HWND dialog) {
                firstFocus = GetDlgCtrlID(GetFocus());
                ui::SetControlText(dialog, IDC_ITEM_CAPTION, "メモ帳");
                ui::Click(dialog, IDOK);
            })
        .Answer(IDOK, &secondText)
        .On(kCaption, [&](HWND dialog) {
            secondFocus = GetDlgCtrlID(GetFocus());
            meanwhile = Record(3);
            ui::SetControlText(dialog, IDC_ITEM_FILE, kNotepad);
            ui::Click(dialog, IDOK);
        });
    SendMessageA(launcher.window, WM_ITEMMENU, 3, 0);
    CHECK(script.Failures().empty());
    CHECK(fields == "||||||通常");
    CHECK(firstText == "必要な項目が入力されていません。");
    CHECK(secondText == firstText);
    CHECK(firstFocus == IDC_ITEM_CAPTION);
    CHECK(secondFocus == IDC_ITEM_FILE);
    CHECK(meanwhile == "|||||0|0");
    CHECK(Record(3) == std::string("メモ帳|") + kNotepad + "|" + kNotepad + "|||0|0");
    CHECK(Shown(3) == "メモ帳");
}

TEST_CASE("modifying shows the stored item, each show state round-trips, and deleting asks first "
          "and frees the slot; with an empty caption it asks nothing")
{
    LauncherWindow launcher([] {
        ItemSlot item = MakeItem("メモ帳", "C:\\windows\\notepad.exe", "-x", "C:\\windows", 2);
        SaveItem(1, &item);
    });
    // Each pass shows the state the one before stored, so every state is read back once.
    const char* shownAs[] = {"通常", "最小化", "最大化"};
    for (int show = 0, before = 2; show < 3; before = show++) {
        std::string shown;
        ui::UiScript script;
        script.On(kCaption, [&](HWND dialog) {
            shown = Fields(dialog);
            ui::PickCombo(dialog, IDC_ITEM_SHOW_STATE, show);
            ui::Click(dialog, IDOK);
        });
        CHECK(OpenItemDialog(launcher.window, 1) == 1);
        CHECK(script.Failures().empty());
        CHECK(shown == kNotepadRecord + std::string(shownAs[before]));
        CHECK(Record(1) == kNotepadRecord + std::to_string(show));
    }
    std::string declined, confirmed, keptAfterNo;
    auto remove = [](HWND dialog) { ui::Click(dialog, IDC_ITEM_DELETE); };
    ui::UiScript script;
    script.On(kCaption, remove)
        .Answer(IDNO, &declined)
        .On(kCaption,
            [&](HWND dialog) {
                keptAfterNo = Record(1);
                ui::SetControlText(dialog, IDC_ITEM_CAPTION, "");
                remove(dialog);
            })
        // A question now fails the script: the next window up must be the dialog itself.
        .On(kCaption,
            [&](HWND dialog) {
                ui::SetControlText(dialog, IDC_ITEM_CAPTION, "メモ帳");
                remove(dialog);
            })
        .Answer(IDYES, &confirmed);
    CHECK(OpenItemDialog(launcher.window, 1) == 1);
    CHECK(script.Failures().empty());
    CHECK(declined == "削除しますか？");
    CHECK(keptAfterNo == kNotepadRecord + std::string("2"));
    CHECK(confirmed == declined);
    CHECK(Record(1) == "|||||0|0");
    CHECK(Shown(1) == "-");
}

TEST_CASE("a chosen or dropped file fills only the empty fields; the icon chooser fills its own")
{
    LauncherWindow launcher;
    std::string chosen, kept, dropped;
    ui::UiScript script;
    script
        .On(kCaption,
            [&](HWND dialog) {
                ApplyChosenFile(dialog, "C:\\WINDOWS\\NOTEPAD.EXE");
                chosen = Fields(dialog);
                ui::SetControlText(dialog, IDC_ITEM_CAPTION, "自分の名前");
                ApplyChosenFile(dialog, "C:\\regedit.exe");
                kept = Fields(dialog);
                // Several files dropped on the dialog: the first one counts.
                ui::SetControlText(dialog, IDC_ITEM_CAPTION, "");
                ui::SetControlText(dialog, IDC_ITEM_FOLDER, "");
                HDROP drop = ui::MakeDrop({"D:\\hh.exe", "D:\\tool\\b.exe"}, POINT{5, 5});
                SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
                dropped = Fields(dialog);
                ui::SetControlText(dialog, IDC_ITEM_ICON_FILE,
                                   "C:\\windows\\system32\\shell32.dll");
                ui::Click(dialog, IDC_ITEM_BROWSE_ICON);
            })
        .On("アイコン",
            [](HWND chooser) {
                ui::PickList(chooser, IDC_CHOOSER_ICONS, 5);
                ui::Click(chooser, IDOK);
            })
        .On(kCaption, [](HWND dialog) { ui::Click(dialog, IDOK); });
    CHECK(OpenItemDialog(launcher.window, 2) == 1);
    CHECK(script.Failures().empty());
    CHECK(chosen ==
          "NOTEPAD.EXE|C:\\WINDOWS\\NOTEPAD.EXE|C:\\WINDOWS\\NOTEPAD.EXE|C:\\WINDOWS|||通常");
    CHECK(kept == "自分の名前|C:\\regedit.exe|C:\\WINDOWS\\NOTEPAD.EXE|C:\\WINDOWS|||通常");
    // A file in a drive's root has the root as its folder, not the bare drive.
    CHECK(dropped == "hh.exe|D:\\hh.exe|C:\\WINDOWS\\NOTEPAD.EXE|D:\\|||通常");
    CHECK(Record(2) == "hh.exe|D:\\hh.exe|C:\\windows\\system32\\shell32.dll|D:\\||5|0");
    CHECK(Shown(2) == "hh.exe");
}

// The register/modify dialog driven as a user drives it, over the real main window.
#include "test_support.h"

#include <string>

#include "dialogs/item_dialog.h"
#include "resource.h"

namespace {

const char kCaption[] = "登録／変更";
const char kNotepad[] = "C:\\windows\\notepad.exe";
const std::string kNotepadRecord =
    "メモ帳|C:\\windows\\notepad.exe|C:\\windows\\notepad.exe|C:\\windows|-x|0|";

// The dialog's fields in record order, the show state as the combo shows it, and "|".
std::string Fields(HWND dialog)
{
    std::string text;
    for (int id : {IDC_ITEM_CAPTION, IDC_ITEM_FILE, IDC_ITEM_ICON_FILE, IDC_ITEM_FOLDER,
                   IDC_ITEM_ARGUMENTS, IDC_ITEM_ICON_INDEX, IDC_ITEM_SHOW_STATE})
        text += ui::ControlText(dialog, id) + "|";
    return text;
}

std::string Focus()
{
    return std::to_string(GetDlgCtrlID(GetFocus())) + "|";
}

} // namespace

TEST_CASE("registering on a free slot asks for caption and file, then stores and shows the item")
{
    LauncherWindow launcher;
    std::string seen, message;
    ui::UiScript script;
    script
        .On(
            nullptr, [](HWND m) { ui::ChooseMenuEntry(m, IDM_ITEM_REGISTER); }, ui::kMenuClass)
        .On(kCaption, [&](HWND d) { seen = Fields(d), ui::Click(d, IDOK); })
        .Answer(IDOK, &message)
        .On(kCaption,
            [&](HWND d) {
                seen += message + Focus(), ui::SetControlText(d, IDC_ITEM_CAPTION, "メモ帳");
                ui::Click(d, IDOK);
            })
        .Answer(IDOK, &message)
        .On(kCaption, [&](HWND d) {
            seen += message + Focus() + Record(3);
            ui::SetControlText(d, IDC_ITEM_FILE, kNotepad), ui::Click(d, IDOK);
        });
    SendMessageA(launcher.window, WM_ITEMMENU, 3, 0);
    CHECK(script.Failures().empty());
    CHECK(seen == "||||||通常|必要な項目が入力されていません。" + std::to_string(IDC_ITEM_CAPTION) +
                      "|必要な項目が入力されていません。" + std::to_string(IDC_ITEM_FILE) +
                      "||||||0|0");
    CHECK(Record(3) + Shown(3) ==
          std::string("メモ帳|") + kNotepad + "|" + kNotepad + "|||0|0メモ帳");
}

TEST_CASE("modifying shows the stored item, each show state round-trips, and deleting asks first "
          "and frees the slot; with an empty caption it asks nothing")
{
    LauncherWindow launcher([] {
        ItemSlot item = MakeItem("メモ帳", kNotepad, "-x", "C:\\windows", 2);
        SaveItem(1, &item);
    });
    // Each pass shows the state the one before stored, so every state is read back once.
    std::string seen;
    for (int show : {0, 1, 2}) {
        ui::UiScript script;
        script.On(kCaption, [&](HWND d) {
            seen += Fields(d), ui::PickCombo(d, IDC_ITEM_SHOW_STATE, show), ui::Click(d, IDOK);
        });
        CHECK(OpenItemDialog(launcher.window, 1) == 1);
        CHECK(script.Failures().empty());
        seen += Record(1) + "\n";
    }
    CHECK(seen == kNotepadRecord + "最大化|" + kNotepadRecord + "0\n" + kNotepadRecord + "通常|" +
                      kNotepadRecord + "1\n" + kNotepadRecord + "最小化|" + kNotepadRecord + "2\n");
    std::string declined, confirmed;
    auto remove = [](HWND d) { ui::Click(d, IDC_ITEM_DELETE); };
    ui::UiScript script;
    script.On(kCaption, remove)
        .Answer(IDNO, &declined)
        .On(kCaption,
            [&](HWND d) {
                declined += Record(1), ui::SetControlText(d, IDC_ITEM_CAPTION, "");
                remove(d);
            })
        // A question now fails the script: the next window up must be the dialog itself.
        .On(kCaption, [&](HWND d) { ui::SetControlText(d, IDC_ITEM_CAPTION, "メモ帳"), remove(d); })
        .Answer(IDYES, &confirmed);
    CHECK(OpenItemDialog(launcher.window, 1) == 1);
    CHECK(script.Failures().empty());
    CHECK(declined + confirmed + Record(1) + Shown(1) ==
          "削除しますか？" + kNotepadRecord + "2削除しますか？|||||0|0-");
}

TEST_CASE("a chosen or dropped file fills only the empty fields; the icon chooser fills its own")
{
    LauncherWindow launcher;
    std::string seen;
    ui::UiScript script;
    script
        .On(kCaption,
            [&](HWND d) {
                ApplyChosenFile(d, "C:\\WINDOWS\\NOTEPAD.EXE");
                seen = Fields(d) + "\n";
                ui::SetControlText(d, IDC_ITEM_CAPTION, "自分の名前");
                ApplyChosenFile(d, "C:\\regedit.exe");
                seen += Fields(d) + "\n";
                // Several files dropped on the dialog: the first one counts.
                ui::SetControlText(d, IDC_ITEM_CAPTION, ""),
                    ui::SetControlText(d, IDC_ITEM_FOLDER, "");
                HDROP drop = ui::MakeDrop({"D:\\hh.exe", "D:\\tool\\b.exe"}, POINT{5, 5});
                SendMessageA(d, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
                seen += Fields(d) + "\n";
                ui::SetControlText(d, IDC_ITEM_ICON_FILE, "C:\\windows\\system32\\shell32.dll");
                ui::Click(d, IDC_ITEM_BROWSE_ICON);
            })
        .On("アイコン", [](HWND c) { ui::PickList(c, IDC_CHOOSER_ICONS, 5), ui::Click(c, IDOK); })
        .On(kCaption, [](HWND d) { ui::Click(d, IDOK); });
    CHECK(OpenItemDialog(launcher.window, 2) == 1);
    CHECK(script.Failures().empty());
    // A file in a drive's root has the root as its folder, not the bare drive.
    CHECK(seen + Record(2) + Shown(2) ==
          "NOTEPAD.EXE|C:\\WINDOWS\\NOTEPAD.EXE|C:\\WINDOWS\\NOTEPAD.EXE|C:\\WINDOWS|||通常|\n"
          "自分の名前|C:\\regedit.exe|C:\\WINDOWS\\NOTEPAD.EXE|C:\\WINDOWS|||通常|\n"
          "hh.exe|D:\\hh.exe|C:\\WINDOWS\\NOTEPAD.EXE|D:\\|||通常|\n"
          "hh.exe|D:\\hh.exe|C:\\windows\\system32\\shell32.dll|D:\\||5|0hh.exe");
}

// The register/modify dialog driven as a user drives it, over the real main window.
#include "dialog_steps.h"

#include "dialogs/item_dialog.h"
#include "strip/page_grid.h"

const char kCaption[] = "登録／変更", kNotepad[] = "C:\\windows\\notepad.exe";
static std::string Seen;

// The dialog's fields in record order, the show state as the combo shows it.
static void Note(HWND dialog)
{
    for (int id : {IDC_ITEM_CAPTION, IDC_ITEM_FILE, IDC_ITEM_ICON_FILE, IDC_ITEM_FOLDER,
                   IDC_ITEM_ARGUMENTS, IDC_ITEM_ICON_INDEX, IDC_ITEM_SHOW_STATE})
        Seen += ui::ControlText(dialog, id) + "|";
    Seen += "\n";
}

TEST_CASE("the item dialog registers only with caption and file, round-trips each show state, "
          "deletes after a question, and fills only empty fields from a chosen or dropped file")
{
    LauncherWindow launcher([] {
        ItemSlot item = MakeItem("メモ帳", kNotepad, "-x", "C:\\windows", 2);
        SaveItem(1, &item);
    });
    std::string message, refused;
    // Each OK with a field missing reports it, keeps the focus on it and stores nothing.
    auto fill = [&](int id, const char* text) {
        return [&, id, text](HWND d) {
            ui::Settle(); // the focus as it is once the box's focus events are read
            Seen += message + std::to_string(GetDlgCtrlID(GetFocus())) + Record(3) + "\n", Note(d);
            ui::SetControlText(d, id, text), ui::Click(d, IDOK), message.clear();
        };
    };
    ui::UiScript script;
    MenuStep(script, IDM_ITEM_REGISTER).On(kCaption, fill(IDC_ITEM_ARGUMENTS, ""));
    script.Answer(IDOK, &message).On(kCaption, fill(IDC_ITEM_CAPTION, "メモ帳"));
    script.Answer(IDOK, &message).On(kCaption, fill(IDC_ITEM_FILE, kNotepad));
    // Each pass shows the state the one before stored, so every state is read back once.
    for (int show : {0, 1, 2})
        script.On(kCaption, [show](HWND d) {
            Seen += Record(1) + "\n", Note(d), ui::PickCombo(d, IDC_ITEM_SHOW_STATE, show);
            ui::Click(d, IDOK);
        });
    auto remove = [&](const char* caption) {
        return [&, caption](HWND d) {
            Seen += message + Record(1) + "\n", message.clear();
            SetDlgItemTextA(d, IDC_ITEM_CAPTION, caption), ui::Click(d, IDC_ITEM_DELETE);
        };
    };
    // With the caption cleared, delete asks nothing: the next window up is the dialog itself.
    script.On(kCaption, remove("メモ帳")).Answer(IDNO, &message).On(kCaption, remove(""));
    script.On(kCaption, remove("メモ帳")).Answer(IDYES, &message);
    // "..." on a web address: a path too long for the fields is refused, the Open dialog comes
    // back with an empty name, and the file chosen then fills the fields.
    script.On(kCaption, [](HWND d) {
        ui::SetControlText(d, IDC_ITEM_FILE, "http://example/"), ui::Click(d, IDC_ITEM_BROWSE_FILE);
    });
    Browse(script, DeepFile(270)).Answer(IDOK, &refused);
    Browse(script.On("開く", [&](HWND o) { Seen += refused + ui::ControlText(o, 0x47C) + "|"; }),
           kNotepad);
    script.On(kCaption, [](HWND d) {
        Note(d), ui::SetControlText(d, IDC_ITEM_CAPTION, "自分の名前");
        ApplyChosenFile(d, "C:\\regedit.exe"), Note(d);
        // Of several files dropped, the first counts; a path too long for the fields is refused.
        SetDlgItemTextA(d, IDC_ITEM_CAPTION, ""), SetDlgItemTextA(d, IDC_ITEM_FOLDER, "");
        HDROP drop = ui::MakeDrop({"D:\\hh.exe", "D:\\tool\\b.exe"}, POINT{5, 5});
        SendMessageA(d, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0), Note(d);
        drop = ui::MakeDrop({DeepFile(270)}, POINT{5, 5});
        PostMessageA(d, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    });
    script.Answer(IDOK).On(kCaption, [](HWND d) {
        Note(d), ui::Click(d, IDC_ITEM_BROWSE_ICON);
        SetDlgItemTextA(d, IDC_ITEM_ICON_FILE, "C:\\windows\\system32\\shell32.dll");
    });
    script.On("アイコン",
              [](HWND c) { ui::PickList(c, IDC_CHOOSER_ICONS, 5), ui::Click(c, IDOK); });
    script.On(kCaption, [](HWND d) { ui::Click(d, IDOK); });
    SendMessageA(launcher.window, WM_ITEMMENU, 3, 0);
    for (int slot : {1, 1, 1, 1, 2})
        CHECK(OpenItemDialog(launcher.window, slot) == 1);
    const std::string n = kNotepad, empty = "|||||0|0\n||||||通常|\n",
                      missing = "必要な項目が入力されていません。",
                      stored = "メモ帳|" + n + "|" + n + "|C:\\windows|-x|0|",
                      hh = "hh.exe|D:\\hh.exe|" + n + "|D:\\|||通常|\n";
    // A file in a drive's root has the root as its folder, not the bare drive.
    CHECK(Seen + message + Record(1) + Shown(1) + Record(2) + Shown(2) + Record(3) + Shown(3) ==
          std::to_string(IDC_ITEM_CAPTION) + empty + missing + std::to_string(IDC_ITEM_CAPTION) +
              empty + missing + std::to_string(IDC_ITEM_FILE) + "|||||0|0\nメモ帳||||||通常|\n" +
              stored + "2\n" + stored + "最大化|\n" + stored + "0\n" + stored + "通常|\n" + stored +
              "1\n" + stored + "最小化|\n" + stored + "2\n削除しますか？" + stored + "2\n" +
              stored + "2\n不正な値です。|notepad.exe|" + n + "|" + n +
              "|C:\\windows|||通常|\n自分の名前|" + "C:\\regedit.exe|" + n +
              "|C:\\windows|||通常|\n" + hh + hh + "削除しますか？|||||0|0-" +
              "hh.exe|D:\\hh.exe|C:\\windows\\system32\\shell32.dll|D:\\||5|0hh.exeメモ帳|" + n +
              "|" + n + "|||0|0メモ帳");
}

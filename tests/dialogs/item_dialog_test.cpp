// The register/modify dialog driven as a user drives it, over the real main window.
#include "test_support.h"

#include <string.h>

#include <string>

#include "app/item_launch.h"
#include "app/page_grid.h"
#include "dialogs/item_dialog.h"
#include "resource.h"
#include "store/reg_key.h"

namespace {

const char kCaption[] = "登録／変更";
const char kNotepad[] = "C:\\windows\\notepad.exe";

ItemSlot Item(const char* caption, const char* file, int index = 0, int show = 0)
{
    ItemSlot item = {};
    strcpy(item.Caption, caption);
    strcpy(item.FilePath, file);
    strcpy(item.IconPath, file);
    strcpy(item.WorkDir, "C:\\windows");
    strcpy(item.Arguments, "-x");
    item.IconIndex = index;
    item.ShowState = show;
    return item;
}

void StoreNotepadInSlot1()
{
    ItemSlot item = Item("メモ帳", kNotepad, 0, 2);
    SaveItem(1, &item);
}

HICON ButtonIcon(int position)
{
    return reinterpret_cast<HICON>(
        SendMessageA(Settings->ItemButtons[position].Window, BM_GETIMAGE, IMAGE_ICON, 0));
}

// The tooltip text the button's tool answers with, "" when it has none.
std::string TipText(int position)
{
    TooltipManager* tip = ItemTooltip();
    if (!tip)
        return "";
    TooltipTool* tool = tip->FindTool(IDC_ITEM_BUTTON_FIRST + position);
    return tool && tool->text ? tool->text : "";
}

bool IsOccupied(int slot)
{
    ItemSlot item;
    return LoadItem(slot, &item);
}

ItemSlot Stored(int slot)
{
    ItemSlot item;
    LoadItem(slot, &item);
    return item;
}

std::string ComboText(HWND dialog)
{
    HWND combo = GetDlgItem(dialog, IDC_ITEM_SHOW_STATE);
    LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return "";
    char text[64] = "";
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

} // namespace

TEST_CASE("registering on a free slot stores the item and shows it on the button at once")
{
    LauncherWindow launcher;
    std::string fields, combo;
    ui::UiScript script;
    script.On(kCaption, [&](HWND dialog) {
        for (int id : {IDC_ITEM_CAPTION, IDC_ITEM_FILE, IDC_ITEM_ICON_FILE, IDC_ITEM_FOLDER,
                       IDC_ITEM_ARGUMENTS, IDC_ITEM_ICON_INDEX})
            fields += ui::ControlText(dialog, id);
        combo = ComboText(dialog);
        ui::SetControlText(dialog, IDC_ITEM_CAPTION, "メモ帳");
        ui::SetControlText(dialog, IDC_ITEM_FILE, kNotepad);
        ui::Click(dialog, IDOK);
    });
    CHECK(OpenItemDialog(launcher.window, 3) == 1);
    CHECK(script.Failures().empty());
    CHECK(fields.empty());
    CHECK(combo == "通常");

    ItemSlot stored = Stored(3);
    CHECK(std::string(stored.Caption) == "メモ帳");
    CHECK(std::string(stored.IconPath) == kNotepad);
    CHECK(stored.WorkDir[0] == '\0');
    CHECK(stored.IconIndex == 0);
    CHECK(stored.ShowState == 0);
    CHECK(ButtonIcon(3) != nullptr);
    CHECK(ButtonIcon(3) == Settings->ItemButtons[3].Icon);
    CHECK(TipText(3) == "メモ帳");
}

TEST_CASE("a missing caption or file is reported and nothing is written")
{
    LauncherWindow launcher;
    std::string firstText, secondText;
    int firstFocus = 0, secondFocus = 0;
    ui::UiScript script;
    script.On(kCaption, [](HWND dialog) { ui::Click(dialog, IDOK); })
        .Answer(IDOK, &firstText)
        .On(kCaption,
            [&](HWND dialog) {
                firstFocus = GetDlgCtrlID(GetFocus());
                ui::SetControlText(dialog, IDC_ITEM_CAPTION, "名前だけ");
                ui::Click(dialog, IDOK);
            })
        .Answer(IDOK, &secondText)
        .On(kCaption, [&](HWND dialog) {
            secondFocus = GetDlgCtrlID(GetFocus());
            ui::Click(dialog, IDCANCEL);
        });
    CHECK(OpenItemDialog(launcher.window, 0) == 0);
    CHECK(script.Failures().empty());
    CHECK(firstText == "必要な項目が入力されていません。");
    CHECK(secondText == firstText);
    CHECK(firstFocus == IDC_ITEM_CAPTION);
    CHECK(secondFocus == IDC_ITEM_FILE);
    CHECK_FALSE(IsOccupied(0));
    RegKey key(VELDAR_REG_BASE, VELDAR_REG_ITEMS, true);
    CHECK(key.ReadString("Cap_0", nullptr, 0) == 0);
}

TEST_CASE("modifying keeps what the dialog shows, and each show state round-trips")
{
    for (int show = 0; show < 3; ++show) {
        CAPTURE(show);
        LauncherWindow launcher(StoreNotepadInSlot1);
        std::string shownCaption, shownIndex;
        ui::UiScript script;
        script.On(kCaption, [&](HWND dialog) {
            shownCaption = ui::ControlText(dialog, IDC_ITEM_CAPTION);
            shownIndex = ui::ControlText(dialog, IDC_ITEM_ICON_INDEX);
            ui::PickCombo(dialog, IDC_ITEM_SHOW_STATE, show);
            ui::Click(dialog, IDOK);
        });
        CHECK(OpenItemDialog(launcher.window, 1) == 1);
        CHECK(shownCaption == "メモ帳");
        CHECK(shownIndex == "0");
        ItemSlot stored = Stored(1);
        ItemSlot expected = Item("メモ帳", kNotepad, 0, show);
        CHECK(memcmp(&stored, &expected, sizeof stored) == 0);
    }
}

TEST_CASE("deleting asks first and frees the slot; an empty caption asks nothing")
{
    SUBCASE("confirmed")
    {
        LauncherWindow launcher(StoreNotepadInSlot1);
        REQUIRE(ButtonIcon(1) != nullptr);
        std::string question;
        ui::UiScript script;
        script.On(kCaption, [](HWND dialog) { ui::Click(dialog, IDC_ITEM_DELETE); })
            .Answer(IDYES, &question);
        CHECK(OpenItemDialog(launcher.window, 1) == 1);
        CHECK(question == "削除しますか？");
        CHECK_FALSE(IsOccupied(1));
        RegKey key(VELDAR_REG_BASE, VELDAR_REG_ITEMS, true);
        CHECK(key.ReadString("Exe_1", nullptr, 0) == 1); // kept, as an empty string
        CHECK(ButtonIcon(1) == nullptr);
        CHECK(Settings->ItemButtons[1].Icon == nullptr);
        CHECK(TipText(1).empty());
    }
    SUBCASE("declined")
    {
        LauncherWindow launcher(StoreNotepadInSlot1);
        ui::UiScript script;
        script.On(kCaption, [](HWND dialog) { ui::Click(dialog, IDC_ITEM_DELETE); })
            .Answer(IDNO)
            .On(kCaption, [](HWND dialog) { ui::Click(dialog, IDCANCEL); });
        CHECK(OpenItemDialog(launcher.window, 1) == 0);
        CHECK(script.Done());
        CHECK(std::string(Stored(1).Caption) == "メモ帳");
    }
    SUBCASE("with the caption field emptied nothing is asked")
    {
        LauncherWindow launcher(StoreNotepadInSlot1);
        bool boxSeen = false;
        ui::UiScript script;
        script.On(kCaption, [&](HWND dialog) {
            ui::SetControlText(dialog, IDC_ITEM_CAPTION, "");
            SendMessageA(dialog, WM_COMMAND, IDC_ITEM_DELETE, 0);
            for (HWND w : ui::ThreadWindows())
                boxSeen = boxSeen || ui::IsMessageBox(w);
            ui::Click(dialog, IDCANCEL);
        });
        CHECK(OpenItemDialog(launcher.window, 1) == 0);
        CHECK_FALSE(boxSeen);
        CHECK(std::string(Stored(1).Caption) == "メモ帳");
    }
}

TEST_CASE("a chosen or dropped file fills only the empty fields")
{
    LauncherWindow launcher;
    std::string caption, icon, folder, file;
    std::string keptCaption, droppedFile, droppedCaption;
    ui::UiScript script;
    script.On(kCaption, [&](HWND dialog) {
        ApplyChosenFile(dialog, "C:\\WINDOWS\\NOTEPAD.EXE");
        caption = ui::ControlText(dialog, IDC_ITEM_CAPTION);
        icon = ui::ControlText(dialog, IDC_ITEM_ICON_FILE);
        folder = ui::ControlText(dialog, IDC_ITEM_FOLDER);
        file = ui::ControlText(dialog, IDC_ITEM_FILE);

        ui::SetControlText(dialog, IDC_ITEM_CAPTION, "自分の名前");
        ApplyChosenFile(dialog, "C:\\windows\\regedit.exe");
        keptCaption = ui::ControlText(dialog, IDC_ITEM_CAPTION);

        // Several files dropped on the dialog: the first one counts.
        ui::SetControlText(dialog, IDC_ITEM_CAPTION, "");
        HDROP drop =
            ui::MakeDrop({"C:\\windows\\system32\\write.exe", "C:\\windows\\hh.exe"}, POINT{5, 5});
        SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        droppedFile = ui::ControlText(dialog, IDC_ITEM_FILE);
        droppedCaption = ui::ControlText(dialog, IDC_ITEM_CAPTION);
        ui::Click(dialog, IDCANCEL);
    });
    CHECK(OpenItemDialog(launcher.window, 0) == 0);
    CHECK(caption == "NOTEPAD.EXE");
    CHECK(icon == "C:\\WINDOWS\\NOTEPAD.EXE");
    CHECK(folder == "C:\\WINDOWS");
    CHECK(file == "C:\\WINDOWS\\NOTEPAD.EXE");
    CHECK(keptCaption == "自分の名前");
    CHECK(droppedFile == "C:\\windows\\system32\\write.exe");
    CHECK(droppedCaption == "write.exe");
    CHECK_FALSE(IsOccupied(0)); // cancelled: nothing stored
}

TEST_CASE("the icon chooser fills the icon file and number; the item menu opens the dialog")
{
    LauncherWindow launcher;
    std::string index, iconFile;
    ui::UiScript script;
    script
        .On(
            nullptr, [](HWND menu) { ui::ChooseMenuEntry(menu, IDM_ITEM_REGISTER); },
            ui::kMenuClass)
        .On(kCaption,
            [](HWND dialog) {
                ui::SetControlText(dialog, IDC_ITEM_ICON_FILE,
                                   "C:\\windows\\system32\\shell32.dll");
                ui::Click(dialog, IDC_ITEM_BROWSE_ICON);
            })
        .On("アイコン",
            [](HWND chooser) {
                ui::PickList(chooser, IDC_CHOOSER_ICONS, 5);
                ui::Click(chooser, IDOK);
            })
        .On(kCaption, [&](HWND dialog) {
            index = ui::ControlText(dialog, IDC_ITEM_ICON_INDEX);
            iconFile = ui::ControlText(dialog, IDC_ITEM_ICON_FILE);
            ui::SetControlText(dialog, IDC_ITEM_CAPTION, "シェル");
            ui::SetControlText(dialog, IDC_ITEM_FILE, "C:\\windows");
            ui::Click(dialog, IDOK);
        });
    SendMessageA(launcher.window, WM_ITEMMENU, 2, 0);
    CHECK(script.Failures().empty());
    CHECK(script.Done());
    CHECK(index == "5");
    CHECK(iconFile == "C:\\windows\\system32\\shell32.dll");
    ItemSlot stored = Stored(2);
    CHECK(stored.IconIndex == 5);
    CHECK(std::string(stored.IconPath) == "C:\\windows\\system32\\shell32.dll");
    CHECK(TipText(2) == "シェル");
}

// The icon chooser on Wine's real icon files: what it shows, returns, reports and gives back.
#include "dialog_steps.h"

#include "dialogs/icon_chooser.h"

const char kCaption[] = "アイコン";
const std::string kShell32 = InFolder(GetSystemDirectoryA, "shell32.dll");
const int kShellIcons = static_cast<int>(ExtractIconExA(kShell32.c_str(), -1, nullptr, nullptr, 0));

// The owner stands in for the register dialog.
struct ChooserCase : FreshSettings {
    HWND owner = Popup(200, 150, 300, 200, "owner");
    char path[MAX_PATH] = "";
    ~ChooserCase() { DestroyWindow(owner); }
    int Choose(ui::UiScript& script, const std::string& file, int index)
    {
        int result = (lstrcpynA(path, file.c_str(), sizeof path), ChooseIcon(owner, index, path));
        CHECK(script.Done());
        return result;
    }
};

static std::string RowOf(const std::string& file, int count, int selected)
{
    return file + "|" + std::to_string(count) + "|" + std::to_string(selected) + "\n";
}

// "file|icons|selected", and "misplaced" when the selection is out of view or the columns are
// not as wide as the drawn cells (a click would then pick another icon than the one under it).
static std::string Row(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_CHOOSER_ICONS);
    const int selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)),
              count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    RECT client, at = {}, cell[2] = {};
    GetClientRect(list, &client);
    SendMessageA(list, LB_GETITEMRECT, selected, reinterpret_cast<LPARAM>(&at));
    for (int i : {0, 1})
        SendMessageA(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&cell[i]));
    const bool fits =
        (selected < 0 || (at.left >= 0 && at.right <= client.right)) &&
        (count < 2 || (cell[0].right - cell[0].left == GetSystemMetrics(SM_CXICON) + 4 &&
                       cell[1].left == cell[0].right && cell[1].top == cell[0].top));
    return RowOf(ui::ControlText(dialog, IDC_CHOOSER_FILE), count, selected) +
           (fits ? "" : "misplaced\n");
}

TEST_CASE_FIXTURE(ChooserCase, "the chooser opens with the initial icon in view and returns the "
                               "selected one, destroying every icon it extracted; OK without a "
                               "file or an icon asks for it")
{
    REQUIRE(kShellIcons > 100);
    const struct {
        std::string file;
        int initial, pick, button, result, focus;
    } runs[] = {{"", 0, -1, IDOK, -1, IDC_CHOOSER_FILE},
                {InFolder(GetWindowsDirectoryA, "win.ini"), 0, -1, IDOK, -1, IDC_CHOOSER_ICONS},
                {InFolder(GetWindowsDirectoryA, "none.dll"), 0, -1, IDOK, -1, IDC_CHOOSER_ICONS},
                {kShell32, 3, -1, IDOK, 3, 0},
                {kShell32, 3, 7, IDC_CHOOSER_LIBRARY, -1, 0},
                {kShell32, kShellIcons - 30, 7, IDOK, 7, 0},
                {kShell32, 3, 7, IDC_CHOOSER_LIBRARY, -1, 0}};
    // The openings before the last two warm what the system keeps (the library menu's bitmaps,
    // the DC cache); those two are counted. Another library chosen, then cancel, returns nothing.
    int before = 0, whileOpen = 0;
    for (const auto& run : runs) {
        CAPTURE(run.file);
        std::string row, message;
        int focus = 0;
        before = &run == &runs[5] ? ui::GdiObjectCount() : before;
        ui::UiScript script;
        script.On(kCaption, [&](HWND d) {
            whileOpen = std::max(whileOpen, ui::GdiObjectCount()), row = Row(d);
            run.pick < 0 ? void() : ui::PickList(d, IDC_CHOOSER_ICONS, run.pick);
            ui::Click(d, run.button);
        });
        if (run.button == IDC_CHOOSER_LIBRARY)
            MenuStep(script, IDM_LIBRARY_SHELL32).On(kCaption, [](HWND d) {
                ui::Click(d, IDCANCEL);
            });
        if (run.focus)
            script.Answer(IDOK, &message).On(kCaption, [&](HWND d) {
                focus = GetDlgCtrlID(GetFocus()), ui::Click(d, IDCANCEL);
            });
        CHECK(Choose(script, run.file, run.initial) == run.result);
        CHECK(row + path + message + std::to_string(focus) ==
              (run.focus ? RowOf(run.file, 0, -1) + run.file + "必要な項目が入力されていません。"
                         : RowOf(kShell32, kShellIcons, run.initial) + kShell32) +
                  std::to_string(run.focus));
    }
    // 64-bit Wine keeps icon bitmaps out of the process's GDI table: whileOpen cannot see them.
    CHECK((sizeof(void*) != 4 || whileOpen > before + kShellIcons));
    CHECK(ui::GdiObjectCount() <= before);
}

TEST_CASE_FIXTURE(ChooserCase,
                  "another file, picked, typed or from the library menu, starts at its first icon")
{
    // Wine has no MORICONS.DLL or PIFMGR.DLL: copies of an icon library stand in for them. The
    // NT family keeps MORICONS.DLL in the system folder: there it is found when it is only there.
    const std::string moricons = InFolder(GetWindowsDirectoryA, "MORICONS.DLL"),
                      pifmgr = InFolder(GetSystemDirectoryA, "PIFMGR.DLL"),
                      ntMoricons = InFolder(GetSystemDirectoryA, "MORICONS.DLL"),
                      notepad = InFolder(GetWindowsDirectoryA, "notepad.exe");
    REQUIRE((CopyFileA(kShell32.c_str(), moricons.c_str(), FALSE) &&
             CopyFileA(kShell32.c_str(), pifmgr.c_str(), FALSE)));
    std::string rows;
    ui::UiScript script;
    auto note = [&](int button) {
        return [&, button](HWND d) { rows += Row(d), ui::Click(d, button); };
    };
    script.On(kCaption, [](HWND d) { ui::Click(d, IDC_CHOOSER_BROWSE); }).On("開く", [](HWND open) {
        ui::Click(open, IDCANCEL);
    });
    Browse(script.On(kCaption, note(IDC_CHOOSER_BROWSE)), moricons);
    for (UINT command : {IDM_LIBRARY_SHELL32, IDM_LIBRARY_MORICONS, IDM_LIBRARY_PIFMGR})
        MenuStep(script.On(kCaption, note(IDC_CHOOSER_LIBRARY)), command);
    auto toSystemFolder = [&](HWND d) {
        MoveFileA(moricons.c_str(), ntMoricons.c_str()), note(IDC_CHOOSER_LIBRARY)(d);
    };
    MenuStep(script.On(kCaption, toSystemFolder), IDM_LIBRARY_MORICONS);
    // OK on a typed file not shown yet shows its icons and stays open: no index of another file.
    script.On(kCaption, [&](HWND d) {
        rows += Row(d), ui::PickList(d, IDC_CHOOSER_ICONS, 7);
        ui::SetControlText(d, IDC_CHOOSER_FILE, notepad.c_str()), ui::Click(d, IDOK);
    });
    CHECK(Choose(script.On(kCaption, note(IDOK)), kShell32, 5) == 0);
    CHECK(rows + path == RowOf(kShell32, kShellIcons, 5) + RowOf(moricons, kShellIcons, 0) +
                             RowOf(InFolder(GetSystemDirectoryA, "SHELL32.DLL"), kShellIcons, 0) +
                             RowOf(moricons, kShellIcons, 0) + RowOf(pifmgr, kShellIcons, 0) +
                             RowOf(ntMoricons, kShellIcons, 0) + RowOf(notepad, 1, 0) + notepad);
    CHECK(DeleteFileA(ntMoricons.c_str()) + DeleteFileA(pifmgr.c_str()) == 2);
}

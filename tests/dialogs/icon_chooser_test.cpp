// The icon chooser on Wine's real icon files: what it shows, returns and reports, and that every
// icon it extracted is given back.
#include "test_support.h"

#include <shellapi.h>

#include <string>

#include "dialogs/icon_chooser.h"
#include "resource.h"

namespace {

const char kCaption[] = "アイコン";

std::string InFolder(UINT(WINAPI* folder)(LPSTR, UINT), const char* name)
{
    char path[MAX_PATH] = "";
    folder(path, sizeof path);
    return std::string(path) + "\\" + name;
}

const std::string kShell32 = InFolder(GetSystemDirectoryA, "shell32.dll");
const std::string kNotepad = InFolder(GetWindowsDirectoryA, "notepad.exe");
const int kShellIcons = static_cast<int>(ExtractIconExA(kShell32.c_str(), -1, nullptr, nullptr, 0));

// The owner stands in for the register dialog.
struct ChooserCase : FreshSettings {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 200, 150, 400, 300,
                                 nullptr, nullptr, nullptr, nullptr);
    char path[MAX_PATH] = "";
    ~ChooserCase() { DestroyWindow(owner); }
    int Choose(ui::UiScript& script, const std::string& file, int index)
    {
        lstrcpynA(path, file.c_str(), sizeof path);
        int result = ChooseIcon(owner, index, path);
        CHECK(script.Failures().empty());
        CHECK(script.Done());
        return result;
    }
};

std::string RowOf(const std::string& file, int count, int selected)
{
    return file + "|" + std::to_string(count) + "|" + std::to_string(selected);
}

// What the chooser shows: "file|icons|selected", with " hidden" when the selection is out of
// view and " cells" when the columns are not as wide as the drawn cells (a click would then
// pick another icon than the one under it).
std::string Row(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_CHOOSER_ICONS);
    const int selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)),
              count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    RECT client, item = {}, next = {};
    GetClientRect(list, &client);
    SendMessageA(list, LB_GETITEMRECT, selected, reinterpret_cast<LPARAM>(&item));
    bool inView = selected < 0 || (item.left >= 0 && item.right <= client.right);
    SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&next));
    bool cells = count < 2 || (item.right - item.left == GetSystemMetrics(SM_CXICON) + 4 &&
                               next.left == item.right && next.top == item.top);
    return RowOf(ui::ControlText(dialog, IDC_CHOOSER_FILE), count, selected) +
           (inView ? "" : " hidden") + (cells ? "" : " cells");
}

// A step that reads the row into *row, then clicks button.
ui::Action ReadAnd(std::string* row, int button)
{
    return [row, button](HWND dialog) { *row = Row(dialog), ui::Click(dialog, button); };
}

} // namespace

TEST_CASE_FIXTURE(ChooserCase,
                  "the chooser opens with the initial icon in view; OK returns the selected one")
{
    REQUIRE(kShellIcons > 100);
    const struct {
        int initial, pick, button, result;
    } runs[] = {{3, -1, IDOK, 3}, {kShellIcons - 30, 7, IDOK, 7}, {3, 7, IDCANCEL, -1}};
    for (const auto& run : runs) {
        CAPTURE(run.initial);
        std::string row;
        ui::UiScript script;
        script.On(kCaption, [&](HWND dialog) {
            row = Row(dialog),
            run.pick < 0 ? void() : ui::PickList(dialog, IDC_CHOOSER_ICONS, run.pick);
            ui::Click(dialog, run.button);
        });
        CHECK(Choose(script, kShell32, run.initial) == run.result);
        CHECK(row + path == RowOf(kShell32, kShellIcons, run.initial) + kShell32);
    }
    // A dialog that could not be created (its template is not found) is no choice either.
    HINSTANCE program = AppInstance;
    AppInstance = GetModuleHandleA("kernel32.dll");
    CHECK(ChooseIcon(owner, 3, path) == -1);
    AppInstance = program;
}

TEST_CASE_FIXTURE(ChooserCase,
                  "another file, picked, typed or from the library menu, starts at its first icon")
{
    // Wine has no MORICONS.DLL or PIFMGR.DLL: copies of an icon library stand in for them.
    const std::string moricons = InFolder(GetWindowsDirectoryA, "MORICONS.DLL"),
                      pifmgr = InFolder(GetSystemDirectoryA, "PIFMGR.DLL");
    REQUIRE((CopyFileA(kShell32.c_str(), moricons.c_str(), FALSE) &&
             CopyFileA(kShell32.c_str(), pifmgr.c_str(), FALSE)));
    std::string cancelled, typed, rows;
    ui::UiScript script;
    script.On(kCaption, [](HWND d) { ui::Click(d, IDC_CHOOSER_BROWSE); })
        .On("開く", [](HWND open) { ui::Click(open, IDCANCEL); })
        .On(kCaption, ReadAnd(&cancelled, IDC_CHOOSER_BROWSE))
        .On("開く", [&](HWND open) {
            ui::SetControlText(open, 0x47C /* file name box */, moricons.c_str());
            ui::Click(open, IDOK);
        });
    for (UINT command : {IDM_LIBRARY_SHELL32, IDM_LIBRARY_MORICONS, IDM_LIBRARY_PIFMGR}) {
        script
            .On(kCaption, [&](HWND d) { rows += Row(d) + "\n", ui::Click(d, IDC_CHOOSER_LIBRARY); })
            .On(
                nullptr, [=](HWND m) { ui::ChooseMenuEntry(m, command); }, ui::kMenuClass);
    }
    // OK on a typed file that is not shown yet shows its icons and stays open, so the index
    // returned is never one picked among another file's icons.
    script
        .On(kCaption,
            [&](HWND d) {
                rows += Row(d) + "\n", ui::PickList(d, IDC_CHOOSER_ICONS, 7);
                ui::SetControlText(d, IDC_CHOOSER_FILE, kNotepad.c_str()), ui::Click(d, IDOK);
            })
        .On(kCaption, ReadAnd(&typed, IDOK));
    CHECK(Choose(script, kShell32, 5) == 0);
    CHECK(cancelled == RowOf(kShell32, kShellIcons, 5));
    CHECK(rows == RowOf(moricons, kShellIcons, 0) + "\n" +
                      RowOf(InFolder(GetSystemDirectoryA, "SHELL32.DLL"), kShellIcons, 0) + "\n" +
                      RowOf(moricons, kShellIcons, 0) + "\n" + RowOf(pifmgr, kShellIcons, 0) +
                      "\n");
    CHECK(typed + path == RowOf(kNotepad, 1, 0) + kNotepad);
    CHECK(DeleteFileA(moricons.c_str()) + DeleteFileA(pifmgr.c_str()) == 2);
}

TEST_CASE_FIXTURE(ChooserCase, "OK without a file or without an icon asks for it and stays open")
{
    const struct {
        std::string file;
        int focus;
    } cases[] = {{"", IDC_CHOOSER_FILE},
                 {InFolder(GetWindowsDirectoryA, "win.ini"), IDC_CHOOSER_ICONS},
                 {InFolder(GetWindowsDirectoryA, "veldar_missing.dll"), IDC_CHOOSER_ICONS}};
    for (const auto& c : cases) {
        CAPTURE(c.file);
        std::string row, message;
        int focus = 0;
        ui::UiScript script;
        script.On(kCaption, ReadAnd(&row, IDOK)).Answer(IDOK, &message).On(kCaption, [&](HWND d) {
            focus = GetDlgCtrlID(GetFocus()), ui::Click(d, IDCANCEL);
        });
        CHECK(Choose(script, c.file, 0) == -1);
        CHECK(row + message + std::to_string(focus) ==
              RowOf(c.file, 0, -1) + "必要な項目が入力されていません。" + std::to_string(c.focus));
    }
}

TEST_CASE_FIXTURE(ChooserCase, "every icon the chooser extracted is destroyed when it closes")
{
    // The same walk twice: the first warms what the system keeps (the library menu's bitmaps,
    // the DC cache), the second is counted.
    int before = 0, whileOpen = 0;
    for (int round = 0; round < 2; ++round) {
        before = ui::GdiObjectCount();
        ui::UiScript script;
        script
            .On(kCaption,
                [&](HWND d) {
                    whileOpen = ui::GdiObjectCount(), ui::Click(d, IDC_CHOOSER_LIBRARY);
                })
            .On(
                nullptr, [](HWND m) { ui::ChooseMenuEntry(m, IDM_LIBRARY_SHELL32); },
                ui::kMenuClass)
            .On(kCaption, [](HWND d) { ui::Click(d, IDOK); });
        CHECK(Choose(script, kShell32, 3) == 0);
    }
    // 64-bit Wine keeps icon bitmaps out of the process's GDI table: there the first check,
    // that the count sees the icons at all, cannot hold.
    CHECK((sizeof(void*) != 4 || whileOpen > before + kShellIcons));
    CHECK(ui::GdiObjectCount() <= before);
}

// The icon chooser on Wine's real icon files: what it shows, what it returns, what it reports,
// and that every icon it extracted is given back.
#include "test_support.h"

#include <limits.h>
#include <shellapi.h>

#include <string>
#include <vector>

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

int IconsIn(const std::string& path)
{
    UINT n = ExtractIconExA(path.c_str(), -1, nullptr, nullptr, 0);
    return n == UINT_MAX ? 0 : static_cast<int>(n);
}

// The owner stands in for the register dialog.
struct ChooserCase : FreshSettings {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 200, 150, 400, 300,
                                 nullptr, nullptr, nullptr, nullptr);
    char path[MAX_PATH] = "";
    ~ChooserCase() { DestroyWindow(owner); }
    // Runs the chooser on file with the script armed; path then holds the caller's buffer.
    int Choose(ui::UiScript& script, const std::string& file, int index)
    {
        lstrcpynA(path, file.c_str(), sizeof path);
        int result = ChooseIcon(owner, index, path);
        CHECK(script.Failures().empty());
        CHECK(script.Done());
        return result;
    }
};

// What the chooser shows.
struct Row {
    std::string file;
    int count = -1, selected = -1;
    bool selectedInView = false, oneRow = false;
};

Row ReadRow(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_CHOOSER_ICONS);
    Row row;
    row.file = ui::ControlText(dialog, IDC_CHOOSER_FILE);
    row.count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    row.selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    RECT client, item = {}, next = {};
    GetClientRect(list, &client);
    SendMessageA(list, LB_GETITEMRECT, row.selected, reinterpret_cast<LPARAM>(&item));
    row.selectedInView = row.selected >= 0 && item.left >= 0 && item.right <= client.right;
    // Columns as wide as the drawn cells, side by side: a click picks the icon under it.
    SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&next));
    const int cell = GetSystemMetrics(SM_CXICON) + 4;
    row.oneRow =
        item.right - item.left == cell && next.left == item.left + cell && next.top == item.top;
    return row;
}

// A script step that reads the row into *row, then clicks button (none when 0).
ui::Action ReadAnd(Row* row, int button)
{
    return [row, button](HWND dialog) {
        *row = ReadRow(dialog);
        if (button)
            ui::Click(dialog, button);
    };
}

// A copy of an icon file under another name, removed with the case.
struct FileCopy {
    std::string path;
    FileCopy(const std::string& from, const std::string& to) : path(to)
    {
        REQUIRE(CopyFileA(from.c_str(), to.c_str(), FALSE));
    }
    ~FileCopy() { DeleteFileA(path.c_str()); }
};

// The pixels of the leftmost cell of the icon list as WM_PAINT paints it or, without a list,
// of shell32's icon number icon drawn alone where a cell draws it.
std::vector<COLORREF> FirstCell(HWND list, int icon)
{
    const int width = GetSystemMetrics(SM_CXICON) + 4, height = GetSystemMetrics(SM_CYICON) + 8;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT cell = {0, 0, width, height};
    FillRect(dc, &cell, GetSysColorBrush(COLOR_WINDOW));
    HICON alone = nullptr;
    if (list)
        SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    else if (ExtractIconExA(kShell32.c_str(), icon, &alone, nullptr, 1) == 1)
        DrawIcon(dc, 2, 4, alone);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    DestroyIcon(alone);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

} // namespace

TEST_CASE_FIXTURE(ChooserCase,
                  "the chooser opens with the initial icon in view; OK returns the selected one")
{
    const int icons = IconsIn(kShell32);
    REQUIRE(icons > 100);
    struct {
        int initial, pick, button, result;
    } runs[] = {{3, -1, IDOK, 3}, {icons - 30, 7, IDOK, 7}, {3, 7, IDCANCEL, -1}};
    for (const auto& run : runs) {
        CAPTURE(run.initial);
        CAPTURE(run.button);
        Row row;
        ui::UiScript script;
        script.On(kCaption, [&](HWND dialog) {
            row = ReadRow(dialog);
            if (run.pick >= 0)
                ui::PickList(dialog, IDC_CHOOSER_ICONS, run.pick);
            if (run.button == IDCANCEL)
                ui::SetControlText(dialog, IDC_CHOOSER_FILE, "C:\\other.dll");
            ui::Click(dialog, run.button);
        });
        CHECK(Choose(script, kShell32, run.initial) == run.result);
        CHECK(kShell32 == path); // the file, or after cancel the caller's file
        CHECK(row.file == kShell32);
        CHECK(row.count == icons);
        CHECK(row.selected == run.initial);
        CHECK(row.selectedInView);
        CHECK(row.oneRow);
    }
    // DialogBoxParam's -1 for a dialog that could not be created (here: its template is not
    // found) is no choice either.
    HINSTANCE program = AppInstance;
    AppInstance = GetModuleHandleA("kernel32.dll");
    CHECK(ChooseIcon(owner, 3, path) == -1);
    AppInstance = program;
    CHECK(kShell32 == path);
}

TEST_CASE_FIXTURE(ChooserCase,
                  "another file, picked or from the library menu, starts at its first icon")
{
    // Wine has no MORICONS.DLL or PIFMGR.DLL: copies of an icon library stand in for them.
    FileCopy moricons(kShell32, InFolder(GetWindowsDirectoryA, "MORICONS.DLL"));
    FileCopy pifmgr(kShell32, InFolder(GetSystemDirectoryA, "PIFMGR.DLL"));
    Row cancelled, browsed;
    struct Pick {
        UINT command;
        std::string file;
        Row row;
    } picks[] = {{IDM_LIBRARY_SHELL32, InFolder(GetSystemDirectoryA, "SHELL32.DLL"), {}},
                 {IDM_LIBRARY_MORICONS, moricons.path, {}},
                 {IDM_LIBRARY_PIFMGR, pifmgr.path, {}}};
    ui::UiScript script;
    script.On(kCaption, [](HWND dialog) { ui::Click(dialog, IDC_CHOOSER_BROWSE); })
        .On("開く", [](HWND open) { ui::Click(open, IDCANCEL); })
        .On(kCaption, ReadAnd(&cancelled, IDC_CHOOSER_BROWSE))
        .On("開く",
            [&](HWND open) {
                ui::SetControlText(open, 0x47C /* file name box */, moricons.path.c_str());
                ui::Click(open, IDOK);
            })
        .On(kCaption, ReadAnd(&browsed, 0));
    for (Pick& pick : picks) {
        script.On(kCaption, [](HWND dialog) { ui::Click(dialog, IDC_CHOOSER_LIBRARY); })
            .On(
                nullptr, [&pick](HWND menu) { ui::ChooseMenuEntry(menu, pick.command); },
                ui::kMenuClass)
            .On(kCaption, ReadAnd(&pick.row, 0));
    }
    script.On(kCaption, [](HWND dialog) { ui::Click(dialog, IDCANCEL); });
    Choose(script, kShell32, 5);
    CHECK(cancelled.file == kShell32);
    CHECK(cancelled.selected == 5);
    CHECK(lstrcmpiA(browsed.file.c_str(), moricons.path.c_str()) == 0);
    CHECK(browsed.selected == 0);
    for (const Pick& pick : picks) {
        CAPTURE(pick.file);
        CHECK(pick.row.file == pick.file);
        CHECK(pick.row.count == IconsIn(kShell32));
        CHECK(pick.row.selected == 0);
        CHECK(pick.row.selectedInView);
    }
}

TEST_CASE_FIXTURE(ChooserCase, "OK without a file or without an icon asks for it and stays open")
{
    // No file, a file without icons and a missing file all leave the row empty; OK then has
    // nothing to return and reports the missing input, not the last Windows error.
    struct {
        std::string file;
        int focus;
    } cases[] = {{"", IDC_CHOOSER_FILE},
                 {InFolder(GetWindowsDirectoryA, "win.ini"), IDC_CHOOSER_ICONS},
                 {InFolder(GetWindowsDirectoryA, "veldar_missing.dll"), IDC_CHOOSER_ICONS}};
    for (const auto& c : cases) {
        CAPTURE(c.file);
        Row row;
        std::string message;
        int focus = 0;
        ui::UiScript script;
        script.On(kCaption, ReadAnd(&row, IDOK))
            .Answer(IDOK, &message)
            .On(kCaption, [&](HWND dialog) {
                focus = GetDlgCtrlID(GetFocus());
                ui::Click(dialog, IDCANCEL);
            });
        CHECK(Choose(script, c.file, 0) == -1);
        CHECK(row.file == c.file);
        CHECK(row.count == 0);
        CHECK(message == "必要な項目が入力されていません。");
        CHECK(focus == c.focus);
    }
}

// Under 64-bit Wine the list's pixels read back blank (through WM_PRINTCLIENT and from its
// window DC alike), so this case runs only in the 32-bit build.
TEST_CASE_FIXTURE(ChooserCase, "a scrolled row without a selection shows the icons a click picks" *
                                   doctest::skip(sizeof(void*) != 4))
{
    std::vector<COLORREF> shown;
    int top = -1;
    ui::UiScript script;
    script.On(kCaption, [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_CHOOSER_ICONS);
        SendMessageA(list, LB_SETTOPINDEX, 20, 0);
        top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
        shown = FirstCell(list, 0);
        ui::Click(dialog, IDCANCEL);
    });
    Choose(script, kShell32, IconsIn(kShell32) + 1);
    REQUIRE(top == 20);
    REQUIRE(FirstCell(nullptr, 20) != FirstCell(nullptr, 0));
    CHECK(shown == FirstCell(nullptr, 20));
}

TEST_CASE_FIXTURE(ChooserCase, "every icon the chooser extracted is destroyed when it closes")
{
    int whileOpen = 0;
    ui::UiScript warmUp;
    warmUp.On(kCaption, [](HWND dialog) { ui::Click(dialog, IDCANCEL); });
    Choose(warmUp, kShell32, 3);

    const int before = ui::GdiObjectCount();
    ui::UiScript script;
    script
        .On(kCaption,
            [&](HWND dialog) {
                whileOpen = ui::GdiObjectCount();
                ui::Click(dialog, IDC_CHOOSER_LIBRARY);
            })
        .On(
            nullptr, [](HWND menu) { ui::ChooseMenuEntry(menu, IDM_LIBRARY_SHELL32); },
            ui::kMenuClass)
        .On(kCaption, [](HWND dialog) { ui::Click(dialog, IDOK); });
    CHECK(Choose(script, kShell32, 3) == 0);
    // The count must see the icons at all for the comparison to mean anything. 64-bit Wine
    // keeps icon bitmaps out of the process's GDI table, so there only the 32-bit run counts.
    if (sizeof(void*) == 4)
        CHECK(whileOpen > before + IconsIn(kShell32));
    CHECK(ui::GdiObjectCount() <= before);
}

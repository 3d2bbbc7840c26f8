// The icon chooser on Wine's real icon files: what it shows, what it returns, what it reports,
// and that every icon it extracted is given back.
#include "test_support.h"

#include <limits.h>
#include <shellapi.h>
#include <string.h>

#include <string>
#include <vector>

#include "dialogs/icon_chooser.h"
#include "resource.h"

namespace {

const char kCaption[] = "アイコン";
const char kOpenCaption[] = "開く";
const int kFileNameBox = 0x47C;

std::string InFolder(UINT (*read)(char*, UINT), const char* name)
{
    char folder[MAX_PATH] = "";
    read(folder, sizeof folder);
    return std::string(folder) + "\\" + name;
}
UINT WindowsFolder(char* buffer, UINT size)
{
    return GetWindowsDirectoryA(buffer, size);
}
UINT SystemFolder(char* buffer, UINT size)
{
    return GetSystemDirectoryA(buffer, size);
}
UINT TempFolder(char* buffer, UINT size)
{
    UINT n = GetTempPathA(size, buffer);
    if (n && buffer[n - 1] == '\\')
        buffer[--n] = '\0';
    return n;
}

const std::string kShell32 = InFolder(SystemFolder, "shell32.dll");

int IconsIn(const std::string& path)
{
    UINT n = ExtractIconExA(path.c_str(), -1, nullptr, nullptr, 0);
    return n == UINT_MAX ? 0 : static_cast<int>(n);
}

// Live GDI objects of this process, read from the GDI handle table that the PEB points at
// (GetGuiResources answers 0 under Wine).
int GdiObjects()
{
    const BYTE* peb;
    asm("movl %%fs:0x30, %0" : "=r"(peb));
    const BYTE* table = *reinterpret_cast<BYTE* const*>(peb + 0x94);
    int count = 0;
    for (int i = 0; i < 0x10000; ++i) {
        const BYTE* entry = table + i * 24;
        WORD unique = *reinterpret_cast<const WORD*>(entry + 12);
        if (entry[14] != 0 && !(unique & 0x80))
            ++count;
    }
    return count;
}

// The chooser's library button shows the bitmap the grid loads with the main window; without
// a main window the case loads it itself. The owner stands in for the register dialog.
struct ChooserCase : FreshSettings {
    ChooserCase()
    {
        Settings->ChooserButtonBitmap = static_cast<HBITMAP>(
            LoadImageA(AppInstance, MAKEINTRESOURCEA(IDB_CHOOSER_BUTTON), IMAGE_BITMAP, 0, 0, 0));
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 200, 150, 400, 300,
                                nullptr, nullptr, nullptr, nullptr);
    }
    ~ChooserCase()
    {
        DestroyWindow(owner);
        DeleteObject(Settings->ChooserButtonBitmap);
    }
    // Runs the chooser on file with the script armed; path receives what the caller's buffer
    // holds afterwards.
    int Choose(ui::UiScript& script, const std::string& file, int index)
    {
        lstrcpynA(path, file.c_str(), sizeof path);
        int result = ChooseIcon(owner, index, path);
        CHECK(script.Failures().empty());
        CHECK(script.Done());
        return result;
    }
    HWND owner = nullptr;
    char path[MAX_PATH] = "";
};

// What the chooser shows.
struct Row {
    std::string file;
    int count = -1;
    int selected = -1;
    int top = -1;
    bool selectedInView = false;
    bool oneRow = false;
};

Row ReadRow(HWND dialog)
{
    Row row;
    HWND list = GetDlgItem(dialog, IDC_CHOOSER_ICONS);
    row.file = ui::ControlText(dialog, IDC_CHOOSER_FILE);
    row.count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    row.selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    row.top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    RECT client, item = {}, next = {};
    GetClientRect(list, &client);
    if (row.selected >= 0) {
        SendMessageA(list, LB_GETITEMRECT, row.selected, reinterpret_cast<LPARAM>(&item));
        row.selectedInView = item.left >= 0 && item.right <= client.right;
    }
    if (row.count > 1) {
        SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&next));
        const int cell = GetSystemMetrics(SM_CXICON) + 4;
        row.oneRow =
            item.right - item.left == cell && next.left == item.left + cell && next.top == item.top;
    }
    return row;
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

// The pixels of the leftmost cell of the icon list, painted into a memory bitmap the way
// WM_PAINT paints the list, or, without a list, of icon drawn alone into a cell.
std::vector<COLORREF> FirstCell(HWND list, HICON icon)
{
    const int width = GetSystemMetrics(SM_CXICON) + 4, height = GetSystemMetrics(SM_CYICON) + 8;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT cell = {0, 0, width, height};
    FillRect(dc, &cell, GetSysColorBrush(COLOR_WINDOW));
    if (list)
        SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    else
        DrawIcon(dc, 2, 4, icon);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Pixels that differ clearly in some colour channel.
int Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b)
{
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            int delta = static_cast<int>((a[i] >> shift) & 0xFF) - ((b[i] >> shift) & 0xFF);
            if (delta > 64 || delta < -64) {
                ++n;
                break;
            }
        }
    }
    return n;
}

HICON ExtractOne(const std::string& file, int index)
{
    HICON icon = nullptr;
    return ExtractIconExA(file.c_str(), index, &icon, nullptr, 1) == 1 ? icon : nullptr;
}

} // namespace

TEST_CASE_FIXTURE(ChooserCase, "the chooser opens on the file's icons with the initial one in view")
{
    const int icons = IconsIn(kShell32);
    REQUIRE(icons > 100);
    Row row;
    HBITMAP shownBitmap = nullptr;
    ui::UiScript script;
    auto look = [&](HWND dialog) {
        row = ReadRow(dialog);
        shownBitmap = reinterpret_cast<HBITMAP>(
            SendDlgItemMessageA(dialog, IDC_CHOOSER_LIBRARY, BM_GETIMAGE, IMAGE_BITMAP, 0));
        ui::Click(dialog, IDCANCEL);
    };

    SUBCASE("the fourth icon")
    {
        script.On(kCaption, look);
        Choose(script, kShell32, 3);
        CHECK(row.file == kShell32);
        CHECK(row.count == icons);
        CHECK(row.selected == 3);
        CHECK(row.selectedInView);
        CHECK(row.oneRow);
        CHECK(shownBitmap == Settings->ChooserButtonBitmap);
    }
    SUBCASE("an icon far to the right is scrolled into view")
    {
        script.On(kCaption, look);
        Choose(script, kShell32, icons - 30);
        CHECK(row.selected == icons - 30);
        CHECK(row.top > 0);
        CHECK(row.selectedInView);
    }
    SUBCASE("an index beyond the file's icons selects nothing")
    {
        script.On(kCaption, look);
        Choose(script, kShell32, icons + 5);
        CHECK(row.count == icons);
        CHECK(row.selected == LB_ERR);
    }
}

TEST_CASE_FIXTURE(ChooserCase,
                  "OK returns the selected icon and the file; cancel leaves the caller's file")
{
    ui::UiScript script;
    SUBCASE("the initial icon")
    {
        script.On(kCaption, [](HWND dialog) { ui::Click(dialog, IDOK); });
        CHECK(Choose(script, kShell32, 3) == 3);
        CHECK(kShell32 == path);
    }
    SUBCASE("an icon the user picks")
    {
        script.On(kCaption, [](HWND dialog) {
            ui::PickList(dialog, IDC_CHOOSER_ICONS, 7);
            ui::Click(dialog, IDOK);
        });
        CHECK(Choose(script, kShell32, 3) == 7);
    }
    SUBCASE("cancel")
    {
        script.On(kCaption, [](HWND dialog) {
            ui::PickList(dialog, IDC_CHOOSER_ICONS, 7);
            ui::SetControlText(dialog, IDC_CHOOSER_FILE, "C:\\other.dll");
            ui::Click(dialog, IDCANCEL);
        });
        CHECK(Choose(script, kShell32, 3) == -1);
        CHECK(kShell32 == path);
    }
    SUBCASE("a chooser that cannot be shown chooses nothing")
    {
        lstrcpynA(path, kShell32.c_str(), sizeof path);
        HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
        DestroyWindow(gone);
        CHECK(ChooseIcon(gone, 3, path) == -1);
        CHECK(kShell32 == path);
    }
}

TEST_CASE_FIXTURE(ChooserCase, "another file starts at its first icon")
{
    char temp[MAX_PATH];
    TempFolder(temp, sizeof temp);
    FileCopy library(kShell32, std::string(temp) + "\\veldar_icons.dll");
    Row before, after;
    ui::UiScript script;

    SUBCASE("a file picked in the Open dialog")
    {
        script
            .On(kCaption,
                [&](HWND dialog) {
                    before = ReadRow(dialog);
                    ui::Click(dialog, IDC_CHOOSER_BROWSE);
                })
            .On(kOpenCaption,
                [&](HWND open) {
                    ui::SetControlText(open, kFileNameBox, library.path.c_str());
                    ui::Click(open, IDOK);
                })
            .On(kCaption, [&](HWND dialog) {
                after = ReadRow(dialog);
                ui::Click(dialog, IDCANCEL);
            });
        Choose(script, kShell32, 5);
        CHECK(before.selected == 5);
        CHECK(lstrcmpiA(after.file.c_str(), library.path.c_str()) == 0);
        CHECK(after.count == IconsIn(library.path));
        CHECK(after.selected == 0);
        CHECK(after.top == 0);
    }
    SUBCASE("a cancelled Open dialog changes nothing")
    {
        script.On(kCaption, [](HWND dialog) { ui::Click(dialog, IDC_CHOOSER_BROWSE); })
            .On(kOpenCaption, [](HWND open) { ui::Click(open, IDCANCEL); })
            .On(kCaption, [&](HWND dialog) {
                after = ReadRow(dialog);
                ui::Click(dialog, IDCANCEL);
            });
        Choose(script, kShell32, 5);
        CHECK(after.file == kShell32);
        CHECK(after.selected == 5);
    }
    SUBCASE("a library from the menu")
    {
        // Wine has no MORICONS.DLL or PIFMGR.DLL: copies of an icon library stand in for them.
        FileCopy moricons(kShell32, InFolder(WindowsFolder, "MORICONS.DLL"));
        FileCopy pifmgr(kShell32, InFolder(SystemFolder, "PIFMGR.DLL"));
        struct Pick {
            UINT command;
            std::string file;
            Row row;
        } picks[] = {
            {IDM_LIBRARY_SHELL32, InFolder(SystemFolder, "SHELL32.DLL"), {}},
            {IDM_LIBRARY_MORICONS, InFolder(WindowsFolder, "MORICONS.DLL"), {}},
            {IDM_LIBRARY_PIFMGR, InFolder(SystemFolder, "PIFMGR.DLL"), {}},
        };
        for (Pick& pick : picks) {
            script
                .On(kCaption,
                    [](HWND dialog) {
                        ui::PickList(dialog, IDC_CHOOSER_ICONS, 9);
                        ui::Click(dialog, IDC_CHOOSER_LIBRARY);
                    })
                .On(
                    nullptr, [&pick](HWND menu) { ui::ChooseMenuEntry(menu, pick.command); },
                    ui::kMenuClass)
                .On(kCaption, [&pick](HWND dialog) { pick.row = ReadRow(dialog); });
        }
        script.On(kCaption, [](HWND dialog) { ui::Click(dialog, IDCANCEL); });
        Choose(script, library.path, 5);
        for (const Pick& pick : picks) {
            CAPTURE(pick.file);
            CHECK(pick.row.file == pick.file);
            CHECK(pick.row.count == IconsIn(kShell32));
            CHECK(pick.row.selected == 0);
        }
    }
}

TEST_CASE_FIXTURE(ChooserCase, "OK without a file or without an icon asks for it and stays open")
{
    std::string message;
    HWND focusAfter = nullptr, expectedFocus = nullptr;
    Row row;
    ui::UiScript script;

    SUBCASE("an empty file field")
    {
        script
            .On(kCaption,
                [](HWND dialog) {
                    ui::SetControlText(dialog, IDC_CHOOSER_FILE, "");
                    ui::Click(dialog, IDOK);
                })
            .Answer(IDOK, &message)
            .On(kCaption, [&](HWND dialog) {
                focusAfter = GetFocus();
                expectedFocus = GetDlgItem(dialog, IDC_CHOOSER_FILE);
                ui::Click(dialog, IDCANCEL);
            });
        CHECK(Choose(script, kShell32, 3) == -1);
        CHECK(message == "必要な項目が入力されていません。");
        CHECK(focusAfter == expectedFocus);
        CHECK(kShell32 == path);
    }

    // A file without icons leaves the row empty; OK then has nothing to return.
    char temp[MAX_PATH];
    TempFolder(temp, sizeof temp);
    const std::string text = std::string(temp) + "\\veldar_notes.txt";
    HANDLE file = CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, "memo\r\n", 6, &written, nullptr);
    CloseHandle(file);
    const std::string noIcons[] = {InFolder(WindowsFolder, "explorer.exe"), text,
                                   std::string(temp) + "\\veldar_missing.dll"};
    for (const std::string& empty : noIcons) {
        SUBCASE(empty.c_str())
        {
            script
                .On(kCaption,
                    [&](HWND dialog) {
                        row = ReadRow(dialog);
                        ui::Click(dialog, IDOK);
                    })
                .Answer(IDOK, &message)
                .On(kCaption, [&](HWND dialog) {
                    focusAfter = GetFocus();
                    expectedFocus = GetDlgItem(dialog, IDC_CHOOSER_ICONS);
                    ui::Click(dialog, IDCANCEL);
                });
            CHECK(Choose(script, empty, 0) == -1);
            CHECK(row.file == empty);
            CHECK(row.count == 0);
            CHECK(message == "必要な項目が入力されていません。");
            CHECK(focusAfter == expectedFocus);
        }
    }
    DeleteFileA(text.c_str());
}

TEST_CASE_FIXTURE(ChooserCase, "a scrolled row without a selection shows the icons a click picks")
{
    std::vector<COLORREF> shown;
    int top = -1;
    ui::UiScript script;
    script.On(kCaption, [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_CHOOSER_ICONS);
        SendMessageA(list, LB_SETTOPINDEX, 20, 0);
        top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
        shown = FirstCell(list, nullptr);
        ui::Click(dialog, IDCANCEL);
    });
    Choose(script, kShell32, IconsIn(kShell32) + 1);
    REQUIRE(top == 20);

    HICON icon20 = ExtractOne(kShell32, 20);
    HICON icon0 = ExtractOne(kShell32, 0);
    REQUIRE(icon20);
    REQUIRE(icon0);
    const std::vector<COLORREF> expected = FirstCell(nullptr, icon20);
    const std::vector<COLORREF> wrong = FirstCell(nullptr, icon0);
    DestroyIcon(icon20);
    DestroyIcon(icon0);
    const int cellPixels = static_cast<int>(expected.size());
    REQUIRE(Differences(expected, wrong) > cellPixels / 10);
    CHECK(Differences(shown, expected) < cellPixels / 100);
}

TEST_CASE_FIXTURE(ChooserCase, "every icon the chooser extracted is destroyed when it closes")
{
    const int icons = IconsIn(kShell32);
    int whileOpen = 0;
    ui::UiScript warmUp;
    warmUp.On(kCaption, [](HWND dialog) { ui::Click(dialog, IDCANCEL); });
    Choose(warmUp, kShell32, 3);

    const int before = GdiObjects();
    ui::UiScript script;
    script
        .On(kCaption,
            [&](HWND dialog) {
                whileOpen = GdiObjects();
                ui::Click(dialog, IDC_CHOOSER_LIBRARY);
            })
        .On(
            nullptr, [](HWND menu) { ui::ChooseMenuEntry(menu, IDM_LIBRARY_SHELL32); },
            ui::kMenuClass)
        .On(kCaption, [](HWND dialog) { ui::Click(dialog, IDOK); });
    CHECK(Choose(script, kShell32, 3) == 0);
    // The count must see the icons at all for the comparison to mean anything.
    CHECK(whileOpen > before + icons);
    CHECK(GdiObjects() <= before);
}

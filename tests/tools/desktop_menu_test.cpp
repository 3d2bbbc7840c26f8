// The desktop menu over the prefix's own desktop folder, filled by each case.
#include <shlobj.h>

#include "probe_run.h"
#include "tools/desktop_menu.h"

namespace {

std::string DesktopFile(const std::string& name)
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, folder);
    return folder + ("\\" + name);
}

// The entries of the shown menu, "|" for the separator; the entry indexes that begin a column
// go to breaks, the height the first entry measures to height.
std::vector<std::string> Entries(HWND menuWindow, std::vector<int>* breaks, int* height)
{
    std::vector<std::string> names;
    HMENU menu = ui::MenuOf(menuWindow);
    for (int i = 0, index = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        auto* entry = reinterpret_cast<DesktopMenuEntry*>(info.dwItemData);
        if (info.fType & MFT_MENUBREAK)
            breaks->push_back(index);
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemData = info.dwItemData;
        if (i == 0 && MeasureDesktopMenuItem(MainWindow, &measure))
            *height = static_cast<int>(measure.itemHeight);
        index += entry != nullptr;
        names.push_back(!entry ? "|" : entry->name ? entry->name : "");
    }
    return names;
}

// Allocated blocks on all heaps of the process: the C library's and the shell allocator's.
int HeapBlocks()
{
    HANDLE heaps[64];
    int blocks = 0;
    for (DWORD h = 0, n = GetProcessHeaps(64, heaps); h < n && h < 64; ++h) {
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[h], &entry))
            blocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    }
    return blocks;
}

} // namespace

TEST_CASE("desktop menu: its entries, their order, columns, and what choosing opens")
{
    MadeFiles files;
    for (const char* name : {"Zeta", "ABD", "abc"})
        files.Make(DesktopFile(name));
    files.Make(DesktopFile("probe.exe"), Probe);
    LauncherWindow launcher;
    std::vector<std::string> names;
    std::vector<int> breaks;
    int height = 1;
    ui::UiScript script;
    auto look = [&](HWND menu) {
        breaks.clear();
        names = Entries(menu, &breaks, &height);
        ui::DismissMenu(menu);
    };
    script.On(nullptr, look, ui::kMenuClass);
    // Dismissing opens nothing and frees the menu.
    CHECK(ProbeRun([&] { CHECK(ShowDesktopMenu(launcher.window) == 1); }, 1000).empty());
    CHECK(!DesktopMenu());
    // Virtual items in the shell's order, then the files sorted without regard to case.
    REQUIRE(names.size() > 3);
    CHECK(names[0] + "," + names[1] + "," + names[2] == "マイ コンピューター,ごみ箱,|");
    std::string sorted;
    int downs = 0;
    for (size_t i = 3; i < names.size(); ++i)
        sorted += names[i] == "Documents" ? "" : names[i].substr(0, 5) + ",";
    for (size_t i = 0; i < names.size() && (downs == 0 || names[i - 1].rfind("probe", 0)); ++i)
        downs += names[i] != "|";
    CHECK(sorted == "abc,ABD,probe,Zeta,");

    // Choosing an entry opens it; the menu is moved by keys, as the user would.
    script.On(
        nullptr,
        [&](HWND menu) {
            for (int i = 0; i < downs; ++i)
                PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        },
        ui::kMenuClass);
    CHECK(ProbeRun([&] { ShowDesktopMenu(launcher.window); }).rfind("args=\n", 0) == 0);

    // Opening fifty times leaves no icon, context, identifier or name behind; nor do the items
    // left out of a full menu.
    auto leaks = [&](int rounds) {
        auto round = [&] {
            script.On(nullptr, ui::DismissMenu, ui::kMenuClass);
            ShowDesktopMenu(launcher.window);
        };
        round();
        int gdi = ui::GdiObjectCount(), blocks = HeapBlocks();
        for (int i = 0; i < rounds; ++i)
            round();
        return (ui::GdiObjectCount() - gdi) * 1000 + HeapBlocks() - blocks;
    };
    CHECK(leaks(50) == 0);

    // 130 more files: 128 entries in all, in columns of as many entries of the measured
    // height as the screen holds.
    for (int i = 0; i < 130; ++i)
        files.Make(DesktopFile("f" + std::to_string(1000 + i)));
    script.On(nullptr, look, ui::kMenuClass);
    ShowDesktopMenu(launcher.window);
    CHECK(names.size() == 128 + 1);
    std::vector<int> expected;
    int column = GetSystemMetrics(SM_CYSCREEN) / height;
    for (int k = column; k < 128; k += column)
        expected.push_back(k);
    CHECK(breaks == expected);
    CHECK(leaks(3) == 0);
}

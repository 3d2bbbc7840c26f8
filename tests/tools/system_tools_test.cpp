// The system tools window on the prefix's Windows family (the project's prefix is NT; CTest
// also runs this case in a Windows 98 prefix), with the tools Wine lacks made in its folders.
#include <stdlib.h>

#include "common/os_family.h"
#include "probe_run.h"
#include "tools/system_tools.h"

namespace {

HWND OpenTools()
{
    OpenSystemTools();
    return Settings->SystemToolsWindow;
}

// The window has gone and the main window is usable and has the focus again.
bool ClosedAndBack(HWND tools)
{
    ui::WaitUntil([&] { return !IsWindow(tools); }, 3000);
    return !IsWindow(tools) && IsWindowEnabled(MainWindow) && GetFocus() == MainWindow;
}

std::string ClickRecord(HWND tools, int cell, DWORD waitMs = 15000)
{
    return ProbeRun(
        [&] { SendMessageA(tools, WM_LBUTTONDOWN, 0, MAKELPARAM(kToolCellSize * cell + 35, 9)); },
        waitMs);
}

} // namespace

TEST_CASE("system tools: the tools found, in order, from the Windows folder first")
{
    if (const char* family = getenv("VELDAR_EXPECT_OS_FAMILY"))
        REQUIRE(GetOsFamily() == atoi(family));
    bool nt = GetOsFamily() == WindowsNT;
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, MAX_PATH);
    const std::string win = folder + std::string("\\");
    GetSystemDirectoryA(folder, MAX_PATH);
    const std::string sys = folder + std::string("\\");
    MadeFiles files;
    for (const char* name : {"CALC.EXE", "MSPAINT.EXE", "SCANDSKW.EXE", "DFRG.MSC", "DEFRAG.EXE"})
        files.Make(sys + name);
    files.Make(win + "PBRUSH.EXE");
    files.Make(win + "CALC.EXE", Probe);
    // The CD player, the clipboard viewer and the IP configuration are found nowhere.
    const std::string expected[][2] = {
        {win + "CALC.EXE", "電卓"},
        {win + "NOTEPAD.EXE", "メモ帳"},
        {sys + "WRITE.EXE", "ワードパッド"},
        {nt ? sys + "MSPAINT.EXE" : win + "PBRUSH.EXE", "ペイント"},
        {sys + "SCANDSKW.EXE", "スキャンディスク"},
        {sys + (nt ? "DFRG.MSC" : "DEFRAG.EXE"), "デフラグ"},
        {win + "REGEDIT.EXE", "レジストリ エディタ"},
        {win + "EXPLORER.EXE", "エクスプローラー"},
        {sys + "RunDll32.EXE", "コントロールパネル"},
        {"", ""}, // a cell beyond the last tool, when the window is widened
    };
    LauncherWindow launcher;
    HWND tools = OpenTools();
    int count = 0;
    const ToolEntry* entries = SystemToolEntries(&count);
    REQUIRE(count == 9);
    for (int i = 0; i < 10; ++i) {
        SendMessageA(tools, WM_MOUSEMOVE, 0, MAKELPARAM(kToolCellSize * i + 35, 5));
        CHECK((i < count ? entries[i].FilePath : "") == expected[i][0]);
        CHECK(ui::TextOf(tools) == expected[i][1]);
    }
    RECT client;
    GetClientRect(tools, &client);
    CHECK((client.right == 9 * 36 && client.bottom == 36));
    CHECK_FALSE(IsWindowEnabled(MainWindow));
    CHECK(ClickRecord(tools, 9, 1000).empty());
    CHECK(IsWindow(tools));
    SendMessageA(tools, WM_KEYDOWN, VK_ESCAPE, 0);
    CHECK(ClosedAndBack(tools));

    // A click starts the tool through the shell and closes the window.
    tools = OpenTools();
    CHECK(ClickRecord(tools, 0).rfind("args=\n", 0) == 0);
    CHECK(ClosedAndBack(tools));

    // Explorer gets the current folder quoted; only a throwaway prefix may lose its Explorer.
    if (getenv("VELDAR_THROWAWAY_PREFIX")) {
        const std::string folder = ui::BuildFile("tools a, ソ");
        CreateDirectoryA(folder.c_str(), nullptr);
        MoveFileExA((win + "EXPLORER.EXE").c_str(), (win + "EXPLORER.OLD").c_str(), 0);
        files.Make(win + "EXPLORER.EXE", Probe);
        SetCurrentDirectoryA(folder.c_str());
        tools = OpenTools();
        CHECK(ClickRecord(tools, 7) == "args=/n,/e,\"" + folder + "\"\ndir=" + folder + "\n");
        CHECK(ClosedAndBack(tools));
    }
}

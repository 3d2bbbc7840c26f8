// The system tools window, the desktop menu and the run-file dialog with the real shell; what
// the shell starts is the launch probe, which records its arguments and folder.
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>

#include "common/os_family.h"
#include "resource.h"
#include "test_support.h"
#include "tools/desktop_menu.h"
#include "tools/run_file_dialog.h"
#include "tools/system_tools.h"

namespace {

const std::string Probe = ui::BuildFile("launch_probe.exe");

// "args=…\ndir=…\n" of the probe that start started; empty when none reported within waitMs.
std::string ProbeRun(const std::function<void()>& start, DWORD waitMs = 30000)
{
    const std::string path = ui::BuildFile("tools_probe_record.txt");
    SetEnvironmentVariableA("VELDAR_PROBE_OUT", path.c_str());
    DeleteFileA(path.c_str());
    start();
    ui::WaitUntil([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; },
                  waitMs);
    char text[2048] = "";
    if (FILE* file = fopen(path.c_str(), "rb"))
        fread(text, 1, sizeof text - 1, file), fclose(file);
    DeleteFileA(path.c_str());
    return std::string(text).substr(0, std::string(text).find("show="));
}

// Files made for one case, copies of from or empty, removed when it ends.
struct MadeFiles {
    std::vector<std::string> paths;
    void Make(const std::string& path, const std::string& from = "")
    {
        CopyFileA(from.c_str(), path.c_str(), FALSE) ||
            CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0));
        paths.push_back(path);
    }
    ~MadeFiles()
    {
        for (const std::string& path : paths)
            DeleteFileA(path.c_str());
    }
};

// Clicks a cell of the open system tools window; then it must be gone and the main window
// usable and focused again, unless the click was beyond the tools.
std::string ClickCell(int cell, DWORD waitMs = 30000)
{
    HWND tools = Settings->SystemToolsWindow;
    LPARAM point = MAKELPARAM(kToolCellSize * cell + 35, 9);
    std::string run = ProbeRun([&] { SendMessageA(tools, WM_LBUTTONDOWN, 0, point); }, waitMs);
    ui::WaitUntil([&] { return !IsWindow(tools); }, waitMs);
    bool back = !IsWindow(tools) && IsWindowEnabled(MainWindow) && GetFocus() == MainWindow;
    return run + (back ? "" : "still open");
}

// GDI objects (in millions) and busy blocks on all heaps of the process.
int Footprint()
{
    HANDLE heaps[64];
    int blocks = ui::GdiObjectCount() * 1000000;
    for (DWORD h = 0, n = GetProcessHeaps(64, heaps); h < n && h < 64; ++h)
        for (PROCESS_HEAP_ENTRY entry = {}; HeapWalk(heaps[h], &entry);)
            blocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    return blocks;
}

// Shows the desktop menu with a script of its own whose one step acts on it: a step left over
// from an opening closed by something else cannot stand in for the next. -1: the step never ran.
int OpenMenu(const ui::Action& act)
{
    ui::UiScript script;
    script.On(nullptr, act, ui::kMenuClass);
    int shown = ShowDesktopMenu(MainWindow);
    return script.Done() && script.Failures().empty() ? shown : -1;
}

} // namespace

// NT in the project's prefix; CTest runs this case again in a Windows 98 prefix.
TEST_CASE("system tools: the tools found, in order, from the Windows folder first")
{
    bool nt = GetOsFamily() == WindowsNT;
    char win[MAX_PATH], sys[MAX_PATH];
    GetWindowsDirectoryA(win, MAX_PATH);
    GetSystemDirectoryA(sys, MAX_PATH);
    const std::string w = win + std::string("\\"), s = sys + std::string("\\");
    MadeFiles files;
    for (const char* name : {"CALC.EXE", "MSPAINT.EXE", "SCANDSKW.EXE", "DFRG.MSC", "DEFRAG.EXE"})
        files.Make(s + name);
    files.Make(w + "PBRUSH.EXE");
    files.Make(w + "CALC.EXE", Probe);
    LauncherWindow launcher;
    OpenSystemTools();
    HWND tools = Settings->SystemToolsWindow;
    int count = 0;
    const ToolEntry* entries = SystemToolEntries(&count);
    std::string paths, captions; // the last cell lies beyond the tools
    for (int i = 0; i < 10; ++i) {
        SendMessageA(tools, WM_MOUSEMOVE, 0, MAKELPARAM(kToolCellSize * i + 35, 5));
        paths += (i < count ? entries[i].FilePath : std::string()) + ",";
        captions += ui::TextOf(tools) + ",";
    }
    // No CD player, clipboard viewer or IP configuration.
    CHECK(paths == w + "CALC.EXE," + w + "NOTEPAD.EXE," + s + "WRITE.EXE," +
                       (nt ? s + "MSPAINT.EXE," : w + "PBRUSH.EXE,") + s + "SCANDSKW.EXE," + s +
                       (nt ? "DFRG.MSC," : "DEFRAG.EXE,") + w + "REGEDIT.EXE," + w +
                       "EXPLORER.EXE," + s + "RunDll32.EXE,,");
    CHECK(captions == "電卓,メモ帳,ワードパッド,ペイント,スキャンディスク,デフラグ,"
                      "レジストリ エディタ,エクスプローラー,コントロールパネル,,");
    RECT client;
    GetClientRect(tools, &client);
    CHECK((client.right == 9 * 36 && client.bottom == 36 && !IsWindowEnabled(MainWindow)));
    CHECK(ClickCell(9, 1000) == "still open");
    SendMessageA(tools, WM_KEYDOWN, VK_ESCAPE, 0);
    CHECK(ClickCell(9, 3000) == ""); // gone without starting anything
    OpenSystemTools();               // a click starts the tool through the shell and closes
    CHECK(ClickCell(0).rfind("args=\n", 0) == 0);

    // Explorer gets the current folder quoted; only a throwaway prefix may lose its Explorer.
    if (getenv("VELDAR_THROWAWAY_PREFIX")) {
        const std::string folder = ui::BuildFile("tools a, ソ");
        CreateDirectoryA(folder.c_str(), nullptr);
        MoveFileExA((w + "EXPLORER.EXE").c_str(), (w + "EXPLORER.OLD").c_str(), 0);
        files.Make(w + "EXPLORER.EXE", Probe);
        SetCurrentDirectoryA(folder.c_str());
        OpenSystemTools();
        CHECK(ClickCell(7) == "args=/n,/e,\"" + folder + "\"\ndir=" + folder + "\n");
    }
}

TEST_CASE("desktop menu: its entries in order, its columns, what it opens, what it leaves")
{
    char desktop[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
    MadeFiles files;
    for (const char* name : {"\\Zeta", "\\ABD", "\\abc", "\\probe.exe"})
        files.Make(desktop + std::string(name), name[1] == 'p' ? Probe : "");
    LauncherWindow launcher;
    // Reads the entries ("|" the separator), the last of each column and the first's place;
    // then chooses the entry named pick by keys, as the user would, or dismisses the menu.
    std::vector<std::string> names;
    std::vector<UINT> breaks;
    RECT first = {};
    std::string pick = "probe";
    auto look = [&](HWND window) {
        HMENU menu = ui::MenuOf(window);
        int downs = 1; // the first one selects the first entry
        for (int i = 0, found = 0; i < GetMenuItemCount(menu); ++i) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_DATA;
            GetMenuItemInfoA(menu, i, TRUE, &info);
            if (info.fType & MFT_MENUBREAK)
                breaks.push_back(i - 1);
            auto* entry = reinterpret_cast<DesktopMenuEntry*>(info.dwItemData);
            names.push_back(entry ? entry->name : "|");
            found = found || (entry && names[i].rfind(pick, 0) == 0);
            downs += entry && !found;
        }
        GetMenuItemRect(nullptr, menu, 0, &first);
        for (int i = 0; i < downs; ++i)
            PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(window, WM_KEYDOWN, pick.empty() ? VK_ESCAPE : VK_RETURN, 0);
    };
    CHECK(ProbeRun([&] { CHECK(OpenMenu(look) == 1); }).rfind("args=\n", 0) == 0);
    // Virtual items in the shell's order, then the files sorted without regard to case.
    std::string shown;
    for (size_t i = 0; i < names.size(); ++i)
        shown += names[i] == "Documents" ? "" : names[i].substr(0, i < 2 ? 99 : 5) + ",";
    CHECK(shown == "マイ コンピューター,ごみ箱,|,abc,ABD,probe,Zeta,");

    // Dismissed, it opens nothing; openings leave no icon, context, identifier or name behind,
    // nor do items left out.
    auto leaks = [&](int rounds) {
        int before = 0, ran = 0;
        for (int i = 0; i <= rounds; ++i) {
            ran += OpenMenu(ui::DismissMenu) == 1;
            before = i ? before : Footprint();
        }
        return Footprint() - before + (ran == rounds + 1 ? 0 : 1000000000);
    };
    CHECK(ProbeRun([&] { CHECK(leaks(50) == 0); }, 1000).empty());
    CHECK(!DesktopMenu());

    // 130 files more give 128 entries, in columns of as many measured entries as fit the screen.
    for (int i = 0; i < 130; ++i)
        files.Make(desktop + ("\\f" + std::to_string(1000 + i)));
    pick.clear(), names.clear(), breaks.clear();
    REQUIRE(OpenMenu(look) == 1);
    CHECK(names.size() == 128 + 1);
    std::vector<UINT> expected;
    UINT column = GetSystemMetrics(SM_CYSCREEN) / (first.bottom - first.top);
    for (UINT k = column; k < 128; k += column)
        expected.push_back(k);
    CHECK(breaks == expected);
    CHECK(leaks(3) == 0);
}

TEST_CASE("run-file: the button follows the text, failures keep it, success is remembered")
{
    LauncherWindow launcher;
    MadeFiles files;
    files.Make(ui::BuildFile("document.veldar-none"));
    // "a" and 129 double-byte characters fill 259 bytes; one more is refused, not opened cut.
    std::string fits = "a";
    while (fits.size() < 259)
        fits += "表";
    auto systemText = [](DWORD error) {
        char text[520] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, error, 0, text, sizeof text, nullptr);
        return std::string(text).substr(0, std::string(text).find('\r'));
    };
    const std::string failures[][2] = {
        {fits, systemText(ERROR_FILE_NOT_FOUND)},
        {files.paths[0], systemText(ERROR_NO_ASSOCIATION)},
        {fits.substr(1) + "表", "不正な値です。"},
    };
    const char caption[] = "ファイル名を指定して実行";
    std::string shown[3], offered, enabled;
    ui::UiScript script;
    // Each step finds the text and message of the failure before it, then enters the next.
    for (int i = 0; i <= 3; ++i) {
        script.On(caption, [&, i](HWND dialog) {
            HWND input = GetDlgItem(dialog, IDC_RUN_INPUT);
            auto state = [&] { enabled += IsWindowEnabled(GetDlgItem(dialog, IDOK)) ? "1" : "0"; };
            if (i == 0) { // off when empty, on when typed; text far beyond the field's width
                state();
                for (int k = 0; k < 100; ++k)
                    SendMessageA(input, WM_CHAR, 'a', 0);
                state();
                enabled += std::to_string(ui::ControlText(dialog, IDC_RUN_INPUT).size());
                SetWindowTextA(input, "");
                state();
            } else
                CHECK((ui::ControlText(dialog, IDC_RUN_INPUT) == failures[i - 1][0] &&
                       shown[i - 1].rfind(failures[i - 1][1], 0) == 0));
            SetWindowTextA(input, i < 3 ? failures[i][0].c_str() : Probe.c_str());
            ui::Click(dialog, IDOK);
        });
        if (i < 3)
            script.Answer(IDOK, &shown[i]);
    }
    CHECK(ProbeRun([&] { CHECK(OpenRunFileDialog(launcher.window) == 1); }).rfind("args=\n", 0) ==
          0);
    CHECK(enabled == "011000");

    // What opened is offered at the next opening, also after a restart; Cancel keeps it.
    SaveSettings(launcher.window);
    ZeroMemory(Settings->LastInput, sizeof Settings->LastInput);
    RECT pos;
    LoadSettings(&pos);
    script.On(caption, [&](HWND dialog) {
        offered = ui::ControlText(dialog, IDC_RUN_INPUT);
        ui::Click(dialog, IDCANCEL);
    });
    CHECK(OpenRunFileDialog(launcher.window) == 0);
    CHECK((offered == Probe && Settings->LastInput == Probe));
}

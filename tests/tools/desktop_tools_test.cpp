// The system tools, the desktop menu and the run-file dialog, starting the launch probe.
#include <shlobj.h>

#include "common/os_family.h"
#include "resource.h"
#include "test_support.h"
#include "tools/desktop_menu.h"
#include "tools/run_file_dialog.h"
#include "tools/system_tools.h"

const std::string Probe = ui::BuildFile("launch_probe.exe");

// Files made for one case, copies of from or empty, removed when it ends.
struct MadeFiles : std::vector<std::string> {
    void Make(const std::string& path, const std::string& from = "")
    {
        CopyFileA(from.c_str(), path.c_str(), FALSE) ||
            CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0));
        push_back(path);
    }
    ~MadeFiles()
    {
        for (const std::string& path : *this)
            DeleteFileA(path.c_str());
    }
};

// Clicks a cell of the open system tools window: "args=…\ndir=…\n" of the tool started, if
// any, and "still open" unless the window is gone and the main window usable and focused again.
static std::string ClickCell(int cell, DWORD waitMs = 30000)
{
    HWND tools = Settings->SystemToolsWindow;
    LPARAM point = MAKELPARAM(kToolCellSize * cell + 35, 9);
    std::string run = ui::ProbeRun([&] { SendMessageA(tools, WM_LBUTTONDOWN, 0, point); }, waitMs);
    ui::WaitUntil([&] { return !IsWindow(tools); }, waitMs);
    bool back = !IsWindow(tools) && IsWindowEnabled(MainWindow) && GetFocus() == MainWindow;
    return run.substr(0, run.find("show=")) + (back ? "" : "still open");
}

// Shows the desktop menu with a script of its own whose one step acts on it: a step left over
// from an opening closed by something else cannot stand in for the next. -1: the step never ran.
static int OpenMenu(const ui::Action& act)
{
    ui::UiScript script;
    script.OnMenu(act);
    int shown = ShowDesktopMenu(MainWindow);
    return script.Done() ? shown : -1;
}

// Growth of the GDI objects (in millions) and busy heap blocks over dismissed openings after a
// warm-up one, a billion more when one did not open: icons, contexts, identifiers and names.
static int MenuLeaks(int rounds)
{
    auto footprint = [] {
        HANDLE heaps[64];
        int blocks = ui::GdiObjectCount() * 1000000;
        for (DWORD h = 0, n = GetProcessHeaps(64, heaps); h < n && h < 64; ++h)
            for (PROCESS_HEAP_ENTRY entry = {}; HeapWalk(heaps[h], &entry);)
                blocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
        return blocks;
    };
    int before = 0, ran = 0;
    for (int i = 0; i <= rounds; ++i)
        ran += OpenMenu(ui::DismissMenu) == 1, before = i ? before : footprint();
    return footprint() - before + (ran == rounds + 1 ? 0 : 1000000000);
}

// NT in the project's prefix; CTest runs this case again in a Windows 98 prefix.
TEST_CASE("system tools: the tools found, in order, from the Windows folder first")
{
    bool nt = GetOsFamily() == WindowsNT;
    char win[MAX_PATH], sys[MAX_PATH];
    GetWindowsDirectoryA(win, MAX_PATH), GetSystemDirectoryA(sys, MAX_PATH);
    const std::string w = win + std::string("\\"), s = sys + std::string("\\");
    MadeFiles files;
    for (const char* name : {"CALC.EXE", "MSPAINT.EXE", "SCANDSKW.EXE", "DFRG.MSC", "DEFRAG.EXE"})
        files.Make(s + name);
    files.Make(w + "PBRUSH.EXE"), files.Make(w + "CALC.EXE", Probe);
    LauncherWindow launcher;
    OpenSystemTools();
    HWND tools = Settings->SystemToolsWindow;
    int count = 0;
    const ToolEntry* entries = SystemToolEntries(&count);
    std::string shown; // the last cell lies beyond the tools
    for (int i = 0; i < 10; ++i) {
        SendMessageA(tools, WM_MOUSEMOVE, 0, MAKELPARAM(kToolCellSize * i + 35, 5));
        shown += (i < count ? entries[i].FilePath : std::string()) + "=" + ui::TextOf(tools) + ",";
    }
    // No CD player, clipboard viewer or IP configuration.
    CHECK(shown == w + "CALC.EXE=電卓," + w + "NOTEPAD.EXE=メモ帳," + s +
                       "WRITE.EXE=ワードパッド," + (nt ? s + "MSPAINT.EXE" : w + "PBRUSH.EXE") +
                       "=ペイント," + s + "SCANDSKW.EXE=スキャンディスク," + s +
                       (nt ? "DFRG.MSC" : "DEFRAG.EXE") + "=デフラグ," + w +
                       "REGEDIT.EXE=レジストリ エディタ," + w + "EXPLORER.EXE=エクスプローラー," +
                       s + "RunDll32.EXE=コントロールパネル,=,");
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
        CreateDirectoryA(folder.c_str(), nullptr), SetCurrentDirectoryA(folder.c_str());
        MoveFileExA((w + "EXPLORER.EXE").c_str(), (w + "EXPLORER.OLD").c_str(), 0);
        files.Make(w + "EXPLORER.EXE", Probe), OpenSystemTools();
        CHECK(ClickCell(7) == "args=/n,/e,\"" + folder + "\"\ndir=" + folder + "\n");
        SetCurrentDirectoryA(launcher.startFolder);
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
    // Reads the entries ("|" a separator), column ends and the first's height; keys choose pick.
    std::string shown, breaks, pick = "probe";
    int count = 0, height = 0;
    auto look = [&](HWND window) {
        HMENU menu = ui::MenuOf(window);
        int downs = 1; // the first one selects the first entry
        for (int i = 0, found = 0; i < (count = GetMenuItemCount(menu)); ++i) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info, info.fMask = MIIM_FTYPE | MIIM_DATA;
            GetMenuItemInfoA(menu, i, TRUE, &info);
            auto* entry = reinterpret_cast<DesktopMenuEntry*>(info.dwItemData);
            std::string name = entry ? entry->name : "|";
            breaks += info.fType & MFT_MENUBREAK ? std::to_string(i - 1) + "," : "";
            shown += name == "Documents" ? "" : name.substr(0, name.find('.')) + ",";
            found = found || (entry && name.rfind(pick, 0) == 0), downs += entry && !found;
        }
        RECT first = {};
        GetMenuItemRect(nullptr, menu, 0, &first), height = first.bottom - first.top;
        for (int i = 0; i < downs; ++i)
            PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(window, WM_KEYDOWN, pick.empty() ? VK_ESCAPE : VK_RETURN, 0);
    };
    CHECK(ui::ProbeRun([&] { CHECK(OpenMenu(look) == 1); }, 30000).rfind("args=\n", 0) == 0);
    // Virtual items in the shell's order, then the files sorted without regard to case.
    CHECK(shown == "マイ コンピューター,ごみ箱,|,abc,ABD,probe,Zeta,");

    // 130 files more give 128 entries, in columns of as many measured entries as fit the screen.
    for (int i = 0; i < 130; ++i)
        files.Make(desktop + ("\\f" + std::to_string(1000 + i)));
    breaks.clear(), pick.clear();
    REQUIRE(OpenMenu(look) == 1);
    std::string expected = std::to_string(128 + 1) + ":";
    for (int k = GetSystemMetrics(SM_CYSCREEN) / height, c = k; k < 128; k += c)
        expected += std::to_string(k) + ",";
    CHECK(std::to_string(count) + ":" + breaks == expected);
    // Dismissed, it opens nothing; openings leave nothing behind, nor do items left out.
    CHECK(ui::ProbeRun([&] { CHECK(MenuLeaks(3) == 0); }, 1000).empty());
    CHECK(!DesktopMenu());
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
    // The last text opens the probe; the second opening, after a restart, offers it, takes a
    // command line in quotes and browses from it to notepad, and cancels.
    const std::string quoted = "\"C:\\x.exe\" -a", notepad = "C:\\windows\\notepad.exe";
    const std::string inputs[] = {fits, files[0], fits.substr(1) + "表", Probe, quoted};
    const char caption[] = "ファイル名を指定して実行";
    auto state = [](HWND d) { return std::to_string(!!IsWindowEnabled(GetDlgItem(d, IDOK))); };
    std::string log, messages[3], *message = messages;
    ui::UiScript script;
    script.On(caption, [&](HWND dialog) { // typed far beyond the field's width
        log += state(dialog);
        for (int k = 0; k < 100; ++k)
            SendDlgItemMessageA(dialog, IDC_RUN_INPUT, WM_CHAR, 'a', 0);
    });
    // Each opening shows the text before it (kept after a failure); the button follows the text.
    for (const std::string& input : inputs) {
        script.On(caption, [&](HWND d) {
            log += state(d) + ui::ControlText(d, IDC_RUN_INPUT);
            SetDlgItemTextA(d, IDC_RUN_INPUT, ""), log += state(d) + "|";
            SetDlgItemTextA(d, IDC_RUN_INPUT, input.c_str());
            ui::Click(d, input == quoted ? IDC_RUN_BROWSE : IDOK);
        });
        if (input != quoted && input != Probe)
            script.Answer(IDOK, message++);
    }
    Browse(script, notepad).On(caption, [&](HWND dialog) {
        log += ui::ControlText(dialog, IDC_RUN_INPUT), ui::Click(dialog, IDCANCEL);
    });
    CHECK(ui::ProbeRun([&] { CHECK(OpenRunFileDialog(launcher.window) == 1); }, 30000)
              .find("args=\n") == 0);
    RECT pos;
    SaveSettings(launcher.window), *Settings->LastInput = 0, LoadSettings(&pos);
    CHECK((OpenRunFileDialog(launcher.window) == 0 && Settings->LastInput == Probe));
    CHECK(log == "01" + std::string(100, 'a') + "0|1" + inputs[0] + "0|1" + inputs[1] + "0|1" +
                     inputs[2] + "0|1" + Probe + "0|" + notepad);
    CHECK(messages[0] + messages[1] + messages[2] == ui::SystemText(ERROR_FILE_NOT_FOUND) +
                                                         ui::SystemText(ERROR_NO_ASSOCIATION) +
                                                         "不正な値です。");
}

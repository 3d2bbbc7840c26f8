// The process manager and the properties of a process, on real processes that the cases start.
#include "test_support.h"

#include <commctrl.h>
#include <stdio.h>

#include <set>
#include <string>
#include <vector>

#include "app/commands.h"
#include "common/os_family.h"
#include "resource.h"
#include "tools/process_manager.h"
#include "tools/process_properties.h"

namespace {

const std::string HelperPath = ui::BuildFile("process_helper.exe");

// A helper process, ready for input when constructed and ended with the case.
struct Helper {
    PROCESS_INFORMATION pi = {};
    explicit Helper(const std::string& arguments = "")
    {
        REQUIRE(ui::StartProcess("\"" + HelperPath + "\" " + arguments, &pi));
        CloseHandle(pi.hThread);
        WaitForInputIdle(pi.hProcess, 10000);
    }
    ~Helper()
    {
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hProcess);
    }
    bool Ended() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }
};

std::string Format(const char* format, DWORD a, DWORD b = 0)
{
    char text[300];
    snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string SystemText(DWORD error)
{
    char text[520] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    return text;
}

std::vector<ProcessListEntry*> Lines(HWND dialog)
{
    std::vector<ProcessListEntry*> lines;
    int count = static_cast<int>(SendDlgItemMessageA(dialog, IDC_PROC_LIST, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        lines.push_back(reinterpret_cast<ProcessListEntry*>(
            SendDlgItemMessageA(dialog, IDC_PROC_LIST, LB_GETITEMDATA, i, 0)));
    return lines;
}

int LineOf(HWND dialog, DWORD processId)
{
    std::vector<ProcessListEntry*> lines = Lines(dialog);
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i]->process.th32ProcessID == processId)
            return static_cast<int>(i);
    return -1;
}

std::set<DWORD> SnapshotIds()
{
    std::set<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 record = {};
    record.dwSize = sizeof record;
    for (BOOL more = Process32First(snapshot, &record); more;
         more = Process32Next(snapshot, &record))
        ids.insert(record.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

// Selects the process's line as the user's click does, then presses a button.
void Press(HWND dialog, DWORD processId, int button)
{
    ui::PickList(dialog, IDC_PROC_LIST, LineOf(dialog, processId));
    ui::Click(dialog, button);
}

// The rows of the properties table as "name=value".
std::vector<std::string> Rows(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_PROPS_LIST);
    std::vector<std::string> rows;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        char name[300] = "", value[300] = "";
        ListView_GetItemText(list, i, 0, name, sizeof name);
        ListView_GetItemText(list, i, 1, value, sizeof value);
        rows.push_back(std::string(name) + "=" + value);
    }
    return rows;
}

} // namespace

TEST_CASE("the list holds every process in lstrcmpA order of its path; every process of the "
          "snapshot, two copies of a program side by side")
{
    Helper first, second;
    const bool nt = GetOsFamily() == WindowsNT;
    std::set<DWORD> before = SnapshotIds();
    ui::UiScript script;
    script.On("プロセス", [&](HWND dialog) {
        std::vector<ProcessListEntry*> lines = Lines(dialog);
        std::set<DWORD> listed, now = SnapshotIds();
        for (size_t i = 0; i < lines.size(); ++i) {
            listed.insert(lines[i]->process.th32ProcessID);
            if (i > 0)
                CHECK(lstrcmpA(lines[i - 1]->process.szExeFile, lines[i]->process.szExeFile) <= 0);
        }
        for (DWORD id : before)
            CHECK((listed.count(id) || !now.count(id)));
        int a = LineOf(dialog, first.pi.dwProcessId), b = LineOf(dialog, second.pi.dwProcessId);
        REQUIRE(a >= 0);
        CHECK(abs(a - b) == 1);
        // Full paths on the NT family, the snapshot's names on Windows 9x.
        CHECK(lstrcmpiA(lines[a]->process.szExeFile,
                        nt ? HelperPath.c_str() : "process_helper.exe") == 0);
        ui::Click(dialog, IDCANCEL);
    });
    OpenProcessManager(nullptr);
    CHECK(script.Done());
}

TEST_CASE("kill: No keeps the process, Yes removes its line once it ended; a process that cannot "
          "be opened or whose id now runs another program is not killed")
{
    Helper target, other, renamed;
    std::string question, openError, renamedError;
    ui::UiScript script;
    script
        .On("プロセス",
            [&](HWND dialog) {
                CHECK_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_PROC_KILL)));
                Press(dialog, target.pi.dwProcessId, IDC_PROC_KILL);
            })
        .Answer(IDNO, &question)
        .On("プロセス",
            [&](HWND dialog) {
                CHECK_FALSE(target.Ended());
                Press(dialog, target.pi.dwProcessId, IDC_PROC_KILL);
            })
        .Answer(IDYES)
        .On("プロセス",
            [&](HWND dialog) {
                // The line went only after the process had really ended.
                CHECK(LineOf(dialog, target.pi.dwProcessId) < 0);
                CHECK(target.Ended());
                DWORD code = 0;
                GetExitCodeProcess(target.pi.hProcess, &code);
                CHECK(code == 0xFFFFFFFF);
                // Nothing is selected now: properties opens nothing, else the next step
                // would find this dialog disabled.
                ui::Click(dialog, IDC_PROC_PROPERTIES);
            })
        .On("プロセス",
            [&](HWND dialog) {
                // Process 0 is never opened.
                Lines(dialog)[LineOf(dialog, other.pi.dwProcessId)]->process.th32ProcessID = 0;
                Press(dialog, 0, IDC_PROC_KILL);
            })
        .Answer(IDYES)
        .Answer(IDOK, &openError)
        .On("プロセス",
            [&](HWND dialog) {
                CHECK(LineOf(dialog, 0) >= 0);
                // As if renamed's id had gone to notepad after the listing.
                int line = LineOf(dialog, renamed.pi.dwProcessId);
                lstrcpyA(Lines(dialog)[line]->process.szExeFile, "C:\\windows\\notepad.exe");
                Press(dialog, renamed.pi.dwProcessId, IDC_PROC_KILL);
            })
        .Answer(IDYES)
        .Answer(IDOK, &renamedError)
        .On("プロセス", [&](HWND dialog) {
            CHECK(LineOf(dialog, renamed.pi.dwProcessId) >= 0);
            ui::Click(dialog, IDCANCEL);
        });
    OpenProcessManager(nullptr);
    CHECK(script.Done());
    CHECK(script.Failures().empty());
    CHECK(question == "'" + HelperPath + "' を殺しますか？");
    CHECK(openError == SystemText(ERROR_INVALID_PARAMETER));
    CHECK(renamedError == SystemText(ERROR_NOT_FOUND));
    CHECK_FALSE(renamed.Ended());
    CHECK_FALSE(other.Ended());
}

TEST_CASE("properties: the process and its window, or the process rows alone")
{
    // 200 characters whose cut at 259 bytes would split one.
    std::string caption = "xy";
    for (int i = 0; i < 200; ++i)
        caption += "表";
    Helper windowed(caption), windowless("--no-window");
    HWND window = ui::WaitForProcessWindow(windowed.pi.dwProcessId, "VeldarProcessHelper", 10000);
    REQUIRE(window);
    const DWORD id = windowed.pi.dwProcessId;
    const DWORD handle = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window));
    std::vector<std::string> withWindow, withoutWindow;
    ui::UiScript script;
    script.On("プロセス", [&](HWND dialog) { Press(dialog, id, IDC_PROC_PROPERTIES); })
        .On("プロパティ",
            [&](HWND dialog) {
                withWindow = Rows(dialog);
                ui::Click(dialog, IDCANCEL);
            })
        .On("プロセス",
            [&](HWND dialog) { Press(dialog, windowless.pi.dwProcessId, IDC_PROC_PROPERTIES); })
        .On("プロパティ",
            [&](HWND dialog) {
                withoutWindow = Rows(dialog);
                ui::Click(dialog, IDOK);
            })
        .On("プロセス", [&](HWND dialog) { ui::Click(dialog, IDCANCEL); });
    OpenProcessManager(nullptr);
    CHECK(script.Done());

    REQUIRE(withWindow.size() == 14);
    CHECK(lstrcmpiA(withWindow[0].c_str(), ("ExeFile=" + HelperPath).c_str()) == 0);
    CHECK(withWindow[1] == "ProcessID=" + Format("%08lX (%lu)", id, id));
    CHECK(withWindow[6] == "Caption=" + caption.substr(0, 258));
    CHECK(withWindow[7] == "ClassName=VeldarProcessHelper");
    CHECK(withWindow[8] == "HWND=" + Format("%08lX (%lu)", handle, handle));
    CHECK(withWindow[12] == "Window=(10, 20)-(650, 500)  640 x 480");
    CHECK(withWindow[13].rfind("Client=(0, 0)-", 0) == 0);
    REQUIRE(withoutWindow.size() == 6);
    const char* names[] = {
        "ExeFile=", "ProcessID=", "ModuleID=", "ParentProcessID=", "Threads=", "Priority="};
    for (int i = 0; i < 6; ++i)
        CHECK(withoutWindow[i].rfind(names[i], 0) == 0);

    // Process 0 and a bare name that names no file: six rows, the path empty.
    PROCESSENTRY32 idle = {};
    lstrcpyA(idle.szExeFile, "no such program.exe");
    std::vector<std::string> idleRows;
    ui::UiScript idleScript;
    idleScript.On("プロパティ", [&](HWND dialog) {
        idleRows = Rows(dialog);
        ui::Click(dialog, IDOK);
    });
    OpenProcessProperties(nullptr, &idle);
    REQUIRE(idleRows.size() == 6);
    CHECK(idleRows[0] == "ExeFile=");
    CHECK(idleRows[1] == "ProcessID=00000000 (0)");
}

TEST_CASE("resizing keeps the button row 15 pixels above the bottom and the list filling the rest")
{
    ui::UiScript script;
    script.On("プロセス", [&](HWND dialog) {
        for (SIZE size : {SIZE{700, 500}, SIZE{420, 260}}) {
            SetWindowPos(dialog, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
            RECT client, r;
            GetClientRect(dialog, &client);
            const int order[] = {IDC_PROC_KILL, IDC_PROC_PROPERTIES, IDHELP, IDCANCEL};
            for (int i = 0; i < 4; ++i) {
                GetWindowRect(GetDlgItem(dialog, order[i]), &r);
                MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
                const int w = r.right - r.left, h = r.bottom - r.top;
                CHECK(r.left == 30 + i * (w + 15));
                CHECK(r.bottom == client.bottom - 15);
                GetWindowRect(GetDlgItem(dialog, IDC_PROC_LIST), &r);
                MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
                CHECK(r.left == 0);
                CHECK(r.right == client.right);
                CHECK(r.bottom == client.bottom - h - 30);
            }
        }
        ui::Click(dialog, IDCANCEL);
    });
    OpenProcessManager(nullptr);
    CHECK(script.Done());
}

TEST_CASE("twenty openings with kills leave the GDI and handle counts and the dialog class icon "
          "as they were; an empty list draws no line")
{
    WNDCLASSEXA before = {};
    before.cbSize = sizeof before;
    GetClassInfoExA(nullptr, "#32770", &before);
    int gdi = 0;
    DWORD handles = 0;
    for (int round = 0; round <= 20; ++round) {
        if (round == 1) {
            gdi = ui::GdiObjectCount();
            GetProcessHandleCount(GetCurrentProcess(), &handles);
        }
        Helper helper;
        ui::UiScript script;
        script.On("プロセス", [&](HWND dialog) {
            CHECK(GetClassLongPtrA(dialog, GCLP_HICON) == reinterpret_cast<LONG_PTR>(before.hIcon));
            CHECK(GetClassLongPtrA(dialog, GCLP_HICONSM) ==
                  reinterpret_cast<LONG_PTR>(before.hIconSm));
            CHECK(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0) != 0);
            if (round % 2)
                Press(dialog, helper.pi.dwProcessId, IDC_PROC_KILL);
            else
                ui::Click(dialog, IDCANCEL);
        });
        if (round % 2)
            script.Answer(IDYES).On("プロセス", [](HWND dialog) { ui::Click(dialog, IDCANCEL); });
        OpenProcessManager(nullptr);
        REQUIRE(script.Done());
        CHECK(helper.Ended() == (round % 2 == 1));
    }
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    CHECK(ui::GdiObjectCount() == gdi);
    CHECK(handlesAfter == handles);

    // With every line gone the list still asks for its focus rectangle, with no line to draw.
    ui::UiScript script;
    script.On("プロセス", [](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_PROC_LIST);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 20);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT area = {0, 0, 64, 20};
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        DRAWITEMSTRUCT draw = {ODT_LISTBOX,
                               IDC_PROC_LIST,
                               static_cast<UINT>(-1),
                               ODA_DRAWENTIRE,
                               ODS_FOCUS,
                               list,
                               dc,
                               area,
                               0};
        SendMessageA(dialog, WM_DRAWITEM, IDC_PROC_LIST, reinterpret_cast<LPARAM>(&draw));
        CHECK(GetPixel(dc, 32, 10) == RGB(0, 0, 0));
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        ui::Click(dialog, IDCANCEL);
    });
    OpenProcessManager(nullptr);
    CHECK(script.Done());
}

TEST_CASE("the tools menu entry and Shift+F11 open the process manager over the main window")
{
    LauncherWindow launcher;
    for (bool byMenu : {true, false}) {
        HWND owner = nullptr;
        ui::UiScript script;
        if (byMenu)
            script.On(
                nullptr, [](HWND menu) { ui::ChooseMenuEntry(menu, IDM_PROCESS_MANAGER); },
                ui::kMenuClass);
        script.On("プロセス", [&](HWND dialog) {
            owner = GetWindow(dialog, GW_OWNER);
            ui::Click(dialog, IDCANCEL);
        });
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = byMenu ? 0 : 0x80;
        SetKeyboardState(keys);
        if (byMenu)
            SendMessageA(GetDlgItem(launcher.window, IDC_TOOLS_MENU_BUTTON), BM_CLICK, 0, 0);
        else
            SendMessageA(launcher.window, WM_KEYDOWN, VK_F11, 1);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        CHECK(script.Done());
        CHECK(owner == launcher.window);
    }
}

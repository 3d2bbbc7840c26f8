// The process manager and the properties of a process, on real processes that the cases start.
#include "test_support.h"

#include <commctrl.h>
#include <stdio.h>

#include "common/os_family.h"
#include "resource.h"
#include "tools/process_manager.h"

const std::string HelperPath = ui::BuildFile("process_helper.exe");

// A started helper process, killed when the case ends.
struct Helper {
    PROCESS_INFORMATION pi = {};
    explicit Helper(const std::string& arguments = "")
    {
        REQUIRE(ui::StartProcess("\"" + HelperPath + "\" " + arguments, &pi));
        CloseHandle(pi.hThread);
        // Wine's WaitForInputIdle leaves a handle open: the windowless one alone is awaited so.
        arguments == "--no-window"
            ? void(WaitForInputIdle(pi.hProcess, 10000))
            : void(ui::WaitForProcessWindow(pi.dwProcessId, "Static", 10000));
    }
    ~Helper()
    {
        TerminateProcess(pi.hProcess, 0), WaitForSingleObject(pi.hProcess, 5000); // then unlisted
        CloseHandle(pi.hProcess);
    }
    DWORD Id() const { return pi.dwProcessId; }
    bool Ended() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }
};

// The process of a line; null past the last line.
static PROCESSENTRY32* Line(HWND dialog, int line)
{
    LRESULT entry = SendDlgItemMessageA(dialog, IDC_PROC_LIST, LB_GETITEMDATA, line, 0);
    return entry == LB_ERR ? nullptr : &reinterpret_cast<ProcessListEntry*>(entry)->process;
}

static int LineOf(HWND dialog, DWORD processId)
{
    for (int i = 0; Line(dialog, i); ++i)
        if (Line(dialog, i)->th32ProcessID == processId)
            return i;
    return -1;
}

static void Press(HWND dialog, DWORD processId, int button)
{
    ui::PickList(dialog, IDC_PROC_LIST, LineOf(dialog, processId)), ui::Click(dialog, button);
}

// Open handles of this process (GetProcessHandleCount answers nothing useful under Wine).
static int HandleCount()
{
    int count = 0;
    DWORD flags;
    for (ULONG_PTR handle = 4; handle < 0x4000; handle += 4)
        count += GetHandleInformation(reinterpret_cast<HANDLE>(handle), &flags) != 0;
    return count;
}

// Reads the properties dialog as "name=value" lines and closes it.
static ui::Action ReadRows(std::vector<std::string>* rows)
{
    return [rows](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_PROPS_LIST);
        for (int i = 0; i < ListView_GetItemCount(list); ++i) {
            char name[300] = "", value[300] = "";
            ListView_GetItemText(list, i, 0, name, sizeof name);
            ListView_GetItemText(list, i, 1, value, sizeof value);
            rows->push_back(std::string(name) + "=" + value);
        }
        ui::Click(dialog, IDCANCEL);
    };
}

TEST_CASE("every process in lstrcmpA order; twenty openings with kills "
          "leave the GDI and handle counts and the dialog class icon as they were")
{
    Helper copy;
    WNDCLASSA dialogClass = {};
    GetClassInfoA(nullptr, "#32770", &dialogClass);
    const char* name = GetOsFamily() == WindowsNT ? HelperPath.c_str() : "process_helper.exe";
    int gdi = 0, handles = 0;
    for (int round = 0; round < 22; ++round) {
        if (round == 2) // after a warm-up opening without and one with a kill
            gdi = ui::GdiObjectCount(), handles = HandleCount();
        Helper helper;
        ui::UiScript script;
        script.On("プロセス", [&](HWND dialog) {
            for (int i = 1; round == 0 && Line(dialog, i); ++i)
                CHECK(lstrcmpA(Line(dialog, i - 1)->szExeFile, Line(dialog, i)->szExeFile) <= 0);
            const int line = LineOf(dialog, helper.Id());
            CHECK((GetClassLongPtrA(dialog, GCLP_HICON) == (ULONG_PTR)dialogClass.hIcon &&
                   abs(line - LineOf(dialog, copy.Id())) == 1 &&
                   lstrcmpiA(Line(dialog, line)->szExeFile, name) == 0));
            Press(dialog, helper.Id(), round % 2 ? IDC_PROC_KILL : IDCANCEL);
        });
        if (round % 2)
            script.Answer(IDYES).On("プロセス", [](HWND dialog) { ui::Click(dialog, IDCANCEL); });
        OpenProcessManager(nullptr);
        REQUIRE(script.Done());
        CHECK(helper.Ended() == (round % 2 == 1));
    }
    CHECK((ui::GdiObjectCount() == gdi && HandleCount() == handles));
}

TEST_CASE("properties with and without a window; kill only on Yes and only the same program, "
          "the line removed once the process ended; the layout follows the size")
{
    std::string caption = "xy"; // and 200 characters: a cut at 259 bytes would split one
    while (caption.size() < 402)
        caption += "表";
    Helper target(caption), windowless("--no-window");
    std::vector<std::string> rows, fewRows;
    std::string errors[2];
    ui::UiScript script;
    script.On("プロセス", [&](HWND d) { Press(d, target.Id(), IDC_PROC_PROPERTIES); });
    script.On("プロパティ", ReadRows(&rows));
    script.On("プロセス", [&](HWND d) { Press(d, windowless.Id(), IDC_PROC_PROPERTIES); });
    script.On("プロパティ", ReadRows(&fewRows));
    script.On("プロセス", [&](HWND d) { Press(d, target.Id(), IDC_PROC_KILL); }).Answer(IDNO);
    script.On("プロセス", [&](HWND d) {
        CHECK(!target.Ended());
        Press(d, target.Id(), IDC_PROC_KILL);
    });
    script.Answer(IDYES).On("プロセス", [&](HWND d) {
        CHECK((LineOf(d, target.Id()) < 0 && target.Ended()));
        Line(d, 0)->th32ProcessID = 0, Press(d, 0, IDC_PROC_KILL); // a process never opened
    });
    // As if the helper's id had gone to notepad after the listing.
    script.Answer(IDYES).Answer(IDOK, &errors[0]).On("プロセス", [&](HWND d) {
        CHECK(LineOf(d, 0) >= 0);
        lstrcpyA(Line(d, LineOf(d, windowless.Id()))->szExeFile, "C:\\windows\\notepad.exe");
        Press(d, windowless.Id(), IDC_PROC_KILL);
    });
    script.Answer(IDYES).Answer(IDOK, &errors[1]).On("プロセス", [&](HWND dialog) {
        CHECK(LineOf(dialog, windowless.Id()) >= 0);
        SetWindowPos(dialog, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
        HWND box = GetDlgItem(dialog, IDC_PROC_LIST);
        RECT c, b, l; // client area, close button and list on the screen
        GetClientRect(dialog, &c);
        MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&c), 2);
        GetWindowRect(GetDlgItem(dialog, IDCANCEL), &b), GetWindowRect(box, &l);
        const int w = b.right - b.left, h = b.bottom - b.top;
        CHECK((b.left - c.left == 30 + 3 * (w + 15) && c.bottom - b.bottom == 15 &&
               l.left == c.left && l.top == c.top && l.right == c.right &&
               l.bottom == c.bottom - h - 30));
        // An empty list asked to draw its focus draws nothing.
        SendMessageA(box, LB_RESETCONTENT, 0, 0);
        DRAWITEMSTRUCT draw = {ODT_LISTBOX,    IDC_PROC_LIST,  UINT(-1),
                               ODA_DRAWENTIRE, ODS_FOCUS,      box,
                               GetDC(box),     {0, 0, 64, 20}, 0};
        SendMessageA(dialog, WM_DRAWITEM, IDC_PROC_LIST, reinterpret_cast<LPARAM>(&draw));
        ReleaseDC(box, draw.hDC), ui::Click(dialog, IDCANCEL);
    });
    OpenProcessManager(nullptr);
    REQUIRE((rows.size() == 14 && fewRows.size() == 6));
    char id[40];
    snprintf(id, sizeof id, "ProcessID=%08lX (%lu)", target.Id(), target.Id());
    CHECK(lstrcmpiA(rows[0].c_str(), ("ExeFile=" + HelperPath).c_str()) == 0);
    CHECK(rows[1] + "|" + rows[6] + "|" + rows[12] ==
          id + ("|Caption=" + caption.substr(0, 258)) + "|Window=(10, 20)-(650, 500)  640 x 480");
    CHECK((errors[0] + errors[1] ==
               ui::SystemText(ERROR_INVALID_PARAMETER) + ui::SystemText(ERROR_NOT_FOUND) &&
           !windowless.Ended()));
}

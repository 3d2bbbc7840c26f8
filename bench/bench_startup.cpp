// Start-up figures: time from process start to the main window being shown, for the launcher
// and for a bare one-window program started alternately in the same run, and the launcher
// with 2000 registered items against none.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "store/settings_store.h"
#include "ui_driver.h"

namespace {

const int kRuns = 21;

struct VisibleSearch {
    DWORD pid;
    const char* className;
    bool found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM param)
{
    auto* s = reinterpret_cast<VisibleSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (pid == s->pid && strcmp(name, s->className) == 0 && IsWindowVisible(window)) {
        s->found = true;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from CreateProcess to a visible top-level window of the class; -1 on failure.
double TimeToWindow(const std::string& exe, const char* className)
{
    LARGE_INTEGER freq, start, now;
    QueryPerformanceFrequency(&freq);
    PROCESS_INFORMATION pi;
    QueryPerformanceCounter(&start);
    if (!ui::StartProcess(exe, &pi))
        return -1;
    double ms = -1;
    for (int i = 0; i < 20000; ++i) {
        VisibleSearch s = {pi.dwProcessId, className, false};
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            QueryPerformanceCounter(&now);
            ms = 1000.0 * (now.QuadPart - start.QuadPart) / freq.QuadPart;
            break;
        }
        Sleep(1);
    }
    HWND window = ui::WaitForProcessWindow(pi.dwProcessId, className, 2000);
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ms;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void RegisterItems(int count)
{
    ItemSlot item = {};
    strcpy(item.Caption, "notepad");
    strcpy(item.FilePath, "C:\\windows\\notepad.exe");
    strcpy(item.IconPath, "C:\\windows\\notepad.exe");
    for (int n = 0; n < count; ++n)
        SaveItem(n, &item);
}

// Changes the registry, then gives the wineserver a moment, so that the writes themselves do
// not fall into the measured start.
void Settle(void (*prepare)())
{
    prepare();
    Sleep(700);
}

// Alternates the two programs so that drift in the machine's load hits both alike.
void Compare(const char* label, const std::string& a, const char* classA, const std::string& b,
             const char* classB, void (*prepareA)(), void (*prepareB)(), double target)
{
    std::vector<double> ta, tb;
    for (int i = 0; i < kRuns; ++i) {
        if (prepareA)
            Settle(prepareA);
        ta.push_back(TimeToWindow(a, classA));
        if (prepareB)
            Settle(prepareB);
        tb.push_back(TimeToWindow(b, classB));
    }
    double ma = Median(ta), mb = Median(tb);
    printf("%-44s %8.1f ms  vs %8.1f ms  ratio %.3f  (target <= %.2f, median of %d)\n", label, ma,
           mb, mb > 0 ? ma / mb : 0, target, kRuns);
}

void NoItems()
{
    ui::ResetLauncherRegistry();
}
// Only the start page's ten slots occupied: the same icons to load as with 2000 items, so the
// difference is what the other 1990 items cost.
void StartPageItems()
{
    ui::ResetLauncherRegistry();
    RegisterItems(10);
}

void ManyItems()
{
    ui::ResetLauncherRegistry();
    RegisterItems(2000);
}

} // namespace

int main()
{
    std::string veldar = ui::BuildFile("VELDAR.EXE");
    std::string bare = ui::BuildFile("bare_window.exe");
    // Warm the file cache and the wineserver once for each program.
    TimeToWindow(veldar, "WC_VeldarMain");
    TimeToWindow(bare, "BareWindow");

    Settle(NoItems);
    Compare("start-up: launcher / bare window", veldar, "WC_VeldarMain", bare, "BareWindow",
            nullptr, nullptr, 1.15);
    Compare("start-up: 2000 items / no items", veldar, "WC_VeldarMain", veldar, "WC_VeldarMain",
            ManyItems, NoItems, 1.05);
    Compare("start-up: 2000 items / start page's 10 items", veldar, "WC_VeldarMain", veldar,
            "WC_VeldarMain", ManyItems, StartPageItems, 1.05);
    ui::ResetLauncherRegistry();
    return 0;
}

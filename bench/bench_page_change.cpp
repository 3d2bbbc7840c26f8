// Page change figures: a page change of 20 occupied slots whose icons come from 20 different
// files, against the floor it cannot go below, the same 20 item reads and 20 icon loads in a
// bare loop, measured alternately in the same run; then the same for pages where only the
// first 3 of the 20 slots are occupied.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "resource.h"
#include "store/reg_key.h"
#include "store/settings_store.h"
#include "strip/page_grid.h"
#include "ui_driver.h"

namespace {

const int kIcons = 20;
const int kRuns = 201;
const int kSparse = 3;
const double kTarget = 1.35;

void AddIconFiles(const char* folder, const char* pattern, std::vector<std::string>* files)
{
    char search[MAX_PATH];
    snprintf(search, sizeof search, "%s\\%s", folder, pattern);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(search, &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s\\%s", folder, found.cFileName);
        UINT count = ExtractIconExA(path, -1, nullptr, nullptr, 0);
        if (count != 0 && count != 0xFFFFFFFF)
            files->push_back(path);
    } while (files->size() < kIcons && FindNextFileA(find, &found));
    FindClose(find);
}

// Programs and libraries of the Windows and system folders that hold icons, one file per
// slot. A prefix with fewer such files gets the missing ones as copies under other names.
std::vector<std::string> IconFiles()
{
    char windows[MAX_PATH], system[MAX_PATH], temp[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(system, sizeof system);
    std::vector<std::string> files;
    AddIconFiles(windows, "*.exe", &files);
    AddIconFiles(system, "*.exe", &files);
    AddIconFiles(system, "*.dll", &files);
    GetTempPathA(sizeof temp, temp);
    for (size_t i = 0; !files.empty() && files.size() < kIcons; ++i) {
        char copy[MAX_PATH];
        snprintf(copy, sizeof copy, "%sveldar_bench_icon_%u.exe", temp, static_cast<unsigned>(i));
        if (!CopyFileA(files[i].c_str(), copy, FALSE))
            break;
        files.push_back(copy);
    }
    return files;
}

// Pages 0 and 1 with their first `occupied` slots registered, each slot's icon from another
// file.
void RegisterItems(const std::vector<std::string>& files, int occupied)
{
    ui::ResetLauncherRegistry();
    RegKey key(VELDAR_REG_BASE, VELDAR_REG_SETTINGS, false);
    key.WriteDword("Ico", kIcons);
    for (int slot = 0; slot < 2 * kIcons; ++slot) {
        if (slot % kIcons >= occupied)
            continue;
        ItemSlot item = {};
        const std::string& file = files[slot % files.size()];
        snprintf(item.Caption, sizeof item.Caption, "項目 %d", slot);
        snprintf(item.FilePath, sizeof item.FilePath, "%s", file.c_str());
        snprintf(item.IconPath, sizeof item.IconPath, "%s", file.c_str());
        SaveItem(slot, &item);
    }
}

double Now()
{
    LARGE_INTEGER freq, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&now);
    return 1000.0 * now.QuadPart / freq.QuadPart;
}

// One step of the spinner as the control reports it; the grid goes to the next or previous
// page.
double TimePageChange(HWND window, int delta)
{
    NMUPDOWN change = {};
    change.hdr.hwndFrom = Settings->PageSpinner;
    change.hdr.idFrom = IDC_PAGE_SPINNER;
    change.hdr.code = UDN_DELTAPOS;
    change.iDelta = delta;
    double start = Now();
    SendMessageA(window, WM_NOTIFY, IDC_PAGE_SPINNER, reinterpret_cast<LPARAM>(&change));
    double ms = Now() - start;
    ui::Pump(0);
    return ms;
}

// The reads and icon loads of one page in a bare loop; the icons are freed untimed.
double TimeFloor(int page)
{
    HICON icons[kIcons];
    double start = Now();
    for (int p = 0; p < kIcons; ++p) {
        ItemSlot item;
        icons[p] = LoadItem(page * kIcons + p, &item) ? LoadFileIcon(item.IconPath, item.IconIndex)
                                                      : nullptr;
    }
    double ms = Now() - start;
    for (HICON icon : icons) {
        if (icon)
            DestroyIcon(icon);
    }
    return ms;
}

// The repaint that a page change ends with, measured apart: the 20 buttons invalidated as
// BM_SETIMAGE leaves them, the row painted at once, then UpdateWindow after the title.
double TimeRepaint(HWND window)
{
    for (int p = 0; p < kIcons; ++p)
        InvalidateRect(Settings->ItemButtons[p].Window, nullptr, FALSE);
    double start = Now();
    PaintItemRow(window, kIcons);
    UpdateWindow(window);
    return Now() - start;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The page change and the floor, alternately, each as the median of kRuns. The full pages
// also give the repaint of the whole row and the target.
void Measure(HWND window, const char* label, bool full)
{
    std::vector<double> change, floor, paint;
    for (int i = 0; i < kRuns; ++i) {
        int delta = Settings->CurrentPage == 0 ? 1 : -1;
        change.push_back(TimePageChange(window, delta));
        floor.push_back(TimeFloor(Settings->CurrentPage));
        if (full)
            paint.push_back(TimeRepaint(window));
    }
    double c = Median(change), f = Median(floor), r = Median(paint);
    printf("%-44s %8.3f ms  vs %8.3f ms  ratio %.3f", label, c, f, f > 0 ? c / f : 0);
    if (!full) {
        printf("  (median of %d)\n", kRuns);
        return;
    }
    printf("  (target <= %.2f, median of %d)\n", kTarget, kRuns);
    printf("%-44s %8.3f ms  vs %8.3f ms  ratio %.3f  (of which the repaint %.3f ms)\n",
           "  the same without its repaint / floor", c - r, f, f > 0 ? (c - r) / f : 0, r);
}

} // namespace

int main()
{
    AppInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
    RegisterWindowClasses();
    std::vector<std::string> files = IconFiles();
    if (files.size() < kIcons) {
        printf("page change: only %u files with icons found, need %d\n",
               static_cast<unsigned>(files.size()), kIcons);
        return 1;
    }
    RegisterItems(files, kIcons);
    Settings = static_cast<LauncherSettings*>(calloc(1, sizeof(LauncherSettings)));
    HWND window = CreateMainWindow(SW_SHOWNOACTIVATE);
    if (!window) {
        printf("page change: the main window could not be created\n");
        return 1;
    }
    ui::Pump(50);

    // Warm the registry, the file cache and the icon loader.
    for (int i = 0; i < 5; ++i) {
        TimePageChange(window, 1);
        TimePageChange(window, -1);
        TimeFloor(0);
    }

    Measure(window, "page change of 20 icons / reads + icon loads", true);

    // The items are read anew at every change, so the window shows the new registration.
    RegisterItems(files, kSparse);
    TimePageChange(window, Settings->CurrentPage == 0 ? 1 : -1);
    Measure(window, "page change of 3 icons in 20 buttons / floor", false);

    DestroyWindow(window);
    MainWindow = nullptr;
    free(Settings);
    Settings = nullptr;
    ui::ResetLauncherRegistry();
    for (const std::string& file : files) {
        if (file.find("veldar_bench_icon_") != std::string::npos)
            DeleteFileA(file.c_str());
    }
    return 0;
}

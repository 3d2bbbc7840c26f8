// Free list figures: building the move dialog's list of free slots over 100 pages of 20 (2000
// slots, 10 occupied) against the floor it cannot go below, the same 2000 item reads in a bare
// loop, measured alternately in the same run inside the real dialog.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "app/main_window.h"
#include "dialogs/move_item_dialog.h"
#include "resource.h"
#include "store/reg_key.h"
#include "store/settings_store.h"
#include "ui_driver.h"

namespace {

const int kIcons = 20;
const int kPages = 100;
const int kOccupied = 10;
const int kRuns = 21;
const double kTarget = 1.2;

void RegisterItems()
{
    RegKey key(VELDAR_REG_BASE, VELDAR_REG_SETTINGS, false);
    key.WriteDword("Ico", kIcons);
    key.WriteDword("Page", kPages);
    for (int i = 0; i < kOccupied; ++i) {
        ItemSlot item = {"", "C:\\windows\\notepad.exe", "C:\\windows\\notepad.exe", "", "", 0, 0};
        snprintf(item.Caption, sizeof item.Caption, "項目 %d", i);
        SaveItem(i * 199, &item);
    }
}

double Now()
{
    LARGE_INTEGER freq, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&now);
    return 1000.0 * now.QuadPart / freq.QuadPart;
}

double TimeFreeList(HWND list)
{
    double start = Now();
    FillFreeList(list, 0);
    return Now() - start;
}

int Sink = 0;

double TimeFloor()
{
    double start = Now();
    for (int slot = 0; slot < kIcons * kPages; ++slot) {
        ItemSlot item;
        Sink += LoadItem(slot, &item);
    }
    return Now() - start;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main()
{
    AppInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
    RegisterWindowClasses();
    ui::ResetLauncherRegistry();
    RegisterItems();
    Settings = static_cast<LauncherSettings*>(calloc(1, sizeof(LauncherSettings)));
    HWND window = CreateMainWindow(SW_SHOWNOACTIVATE);
    if (!window) {
        printf("free list: the main window could not be created\n");
        return 1;
    }
    ui::Pump(50);

    std::vector<double> list, floor;
    int lines = 0;
    ui::UiScript script;
    script.On("移動", [&](HWND dialog) {
        HWND box = GetDlgItem(dialog, IDC_MOVE_FREE_LIST);
        for (int i = 0; i < 3; ++i) {
            TimeFreeList(box);
            TimeFloor();
        }
        for (int i = 0; i < kRuns; ++i) {
            list.push_back(TimeFreeList(box));
            floor.push_back(TimeFloor());
        }
        lines = static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0));
        ui::Click(dialog, IDCANCEL);
    });
    script.SetStepTimeout(60000);
    MoveItem(window, 0);
    double l = Median(list), f = Median(floor);
    printf("%-44s %8.3f ms  vs %8.3f ms  ratio %.3f  (target <= %.2f, median of %d; %d lines)\n",
           "free list of 2000 slots / 2000 item reads", l, f, f > 0 ? l / f : 0, kTarget, kRuns,
           lines);

    DestroyWindow(window);
    MainWindow = nullptr;
    free(Settings);
    Settings = nullptr;
    ui::ResetLauncherRegistry();
    return 0;
}

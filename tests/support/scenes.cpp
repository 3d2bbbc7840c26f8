// `make screenshots`: opens the launcher's windows one after another, as a user would see
// them, and writes each to a bitmap file in the folder given as the first argument.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "app/main_window.h"
#include "common/about_box.h"
#include "common/help.h"
#include "dialogs/item_dialog.h"
#include "dialogs/move_item_dialog.h"
#include "dialogs/options_dialog.h"
#include "dialogs/page_jump_dialog.h"
#include "resource.h"
#include "session/countdown.h"
#include "session/end_session.h"
#include "session/reservation.h"
#include "store/settings_store.h"
#include "tools/desktop_menu.h"
#include "tools/process_manager.h"
#include "tools/run_file_dialog.h"
#include "tools/system_tools.h"
#include "ui_driver.h"

namespace {

std::string OutDir;

// Copies what the screen shows of the window into a 24-bit BMP file.
bool Capture(HWND window, const char* name)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ui::Pump(150);
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    DWORD stride = ((w * 3) + 3) & ~3u;
    DWORD size = stride * h;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    std::string path = OutDir + "\\" + name + ".bmp";
    FILE* f = fopen(path.c_str(), "wb");
    bool ok = false;
    if (f) {
        info.bmiHeader.biSizeImage = size;
        ok = fwrite(&file, sizeof file, 1, f) == 1 &&
             fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
             fwrite(bits, size, 1, f) == 1;
        fclose(f);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
    return ok;
}

void RegisterSampleItems()
{
    struct Sample {
        const char* caption;
        const char* file;
        const char* icon;
        int index;
    } samples[] = {
        {"メモ帳", "C:\\windows\\notepad.exe", "C:\\windows\\notepad.exe", 0},
        {"レジストリ エディター", "C:\\windows\\regedit.exe", "C:\\windows\\regedit.exe", 0},
        {"ワードパッド", "C:\\windows\\system32\\write.exe", "C:\\windows\\system32\\write.exe", 0},
        {"フォルダー", "C:\\windows", "C:\\windows\\system32\\shell32.dll", 4},
        {"ドライブ", "C:\\", "C:\\windows\\system32\\shell32.dll", 8},
        {"ヘルプ", "C:\\windows\\winhelp.exe", "C:\\windows\\winhelp.exe", 0},
    };
    int slot = 0;
    for (const Sample& s : samples) {
        ItemSlot item = {};
        strcpy(item.Caption, s.caption);
        strcpy(item.FilePath, s.file);
        strcpy(item.IconPath, s.icon);
        item.IconIndex = s.index;
        SaveItem(slot++, &item);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: scenes OUTDIR\n");
        return 2;
    }
    OutDir = argv[1];
    AppInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
    RegisterWindowClasses();
    ui::ResetLauncherRegistry();
    RegisterSampleItems();

    Settings = static_cast<LauncherSettings*>(calloc(1, sizeof(LauncherSettings)));
    HWND main = CreateMainWindow(SW_SHOWNORMAL);
    SetWindowPos(main, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ui::Pump(300);
    int failures = Capture(main, "strip") ? 0 : 1;

    // The register/modify dialog on the first item, then its icon chooser.
    {
        ui::UiScript script;
        script
            .On("登録／変更",
                [&](HWND dialog) {
                    failures += Capture(dialog, "item_dialog") ? 0 : 1;
                    ui::SetControlText(dialog, IDC_ITEM_ICON_FILE,
                                       "C:\\windows\\system32\\shell32.dll");
                    ui::Click(dialog, IDC_ITEM_BROWSE_ICON);
                })
            .On("アイコン",
                [&](HWND chooser) {
                    failures += Capture(chooser, "icon_chooser") ? 0 : 1;
                    ui::Click(chooser, IDCANCEL);
                })
            .On("登録／変更", [](HWND dialog) { ui::Click(dialog, IDCANCEL); });
        OpenItemDialog(main, 0);
        failures += script.Done() && script.Failures().empty() ? 0 : 1;
    }

    OpenSystemTools();
    ui::Pump(300);
    failures += Capture(Settings->SystemToolsWindow, "system_tools") ? 0 : 1;
    DestroyWindow(Settings->SystemToolsWindow);
    SetCursorPos(60, 100);
    ui::UiScript tools;
    tools.On(
        nullptr,
        [&](HWND menu) {
            failures += Capture(menu, "desktop_menu") ? 0 : 1;
            ui::DismissMenu(menu);
        },
        ui::kMenuClass);
    tools.On("ファイル名を指定して実行", [&](HWND dialog) {
        ui::SetControlText(dialog, IDC_RUN_INPUT, "C:\\windows\\notepad.exe");
        failures += Capture(dialog, "run_file") ? 0 : 1;
        ui::Click(dialog, IDCANCEL);
    });
    ShowDesktopMenu(main);
    OpenRunFileDialog(main);
    failures += tools.Done() ? 0 : 1;

    // The session dialogs, the restart face with the box of Windows 9x; nothing is armed.
    for (int command : {IDM_EXIT_WINDOWS, IDM_RESTART, IDM_LOG_OFF}) {
        ui::UiScript confirm;
        confirm.On("確認", [&](HWND dialog) {
            ShowWindow(GetDlgItem(dialog, IDC_CONFIRM_FAST), command == IDM_RESTART);
            failures += Capture(dialog, ("confirm_" + std::to_string(command)).c_str()) ? 0 : 1;
            ui::Click(dialog, IDC_CONFIRM_NO);
        });
        EndWindowsSession(main, command);
    }
    ReservationBlock& reservation = Settings->ExitReservation;
    reservation = {1, 30, 1, 1800, 1, 23, 30, 0, {}, 0, 0, 0, {}};
    ui::UiScript reserve; // the only enabled window: main is disabled under it, help not open
    reserve.On(nullptr, [&](HWND dialog) {
        failures += Capture(dialog, "reservation") ? 0 : 1;
        ui::Click(dialog, IDCANCEL);
    });
    OpenReservation(main, 0);
    reservation.Armed = 1; // no timer runs: the countdown opens once, to be captured
    reservation.TimeSeconds = 25;
    reservation.ArmedTick = GetTickCount();
    UpdateCountdown(main);
    failures += Capture(Settings->CountdownWindow, "countdown") ? 0 : 1;
    StopReservation(main);

    ui::UiScript processes;
    processes
        .On("プロセス",
            [&](HWND dialog) {
                ui::PickList(dialog, IDC_PROC_LIST, 1);
                failures += Capture(dialog, "process_manager") ? 0 : 1;
                ui::Click(dialog, IDC_PROC_PROPERTIES);
            })
        .On("プロパティ",
            [&](HWND dialog) {
                failures += Capture(dialog, "process_properties") ? 0 : 1;
                ui::Click(dialog, IDOK);
            })
        .On("プロセス", [](HWND dialog) { ui::Click(dialog, IDCANCEL); });
    OpenProcessManager(main);
    failures += processes.Done() && processes.Failures().empty() ? 0 : 1;

    ui::UiScript about;
    about.On("バージョン情報", [&](HWND box) {
        failures += Capture(box, "about") ? 0 : 1;
        ui::Click(box, IDOK);
    });
    ShowAboutBox(main);
    ShowHelp(0, 0); // with its table of contents; the main window closes it as it goes
    failures += Capture(FindWindowA("HH Parent", nullptr), "help") ? 0 : 1;

    // The options, page jump and move dialogs, each cancelled after its picture.
    ui::UiScript dialogs;
    for (auto [caption, name] :
         {std::pair("オプション", "options"), {"ページ移動", "page_jump"}, {"移動", "move_item"}})
        dialogs.On(caption, [&failures, name = name](HWND dialog) {
            failures += Capture(dialog, name) ? 0 : 1, ui::Click(dialog, IDCANCEL);
        });
    ShowOptions(main), JumpToPage(main), MoveItem(main, 0);
    failures += dialogs.Done() && dialogs.Failures().empty() ? 0 : 1;

    DestroyWindow(main);
    free(Settings);
    Settings = nullptr;
    ui::ResetLauncherRegistry();
    return failures;
}

// `make screenshots`: opens the launcher's windows one after another, as a user would see
// them, and writes each to a bitmap file in the folder given as the first argument.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>

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

#define IN_WINDOWS(file) "C:\\windows\\" file
#define NOTEPAD_EXE IN_WINDOWS("notepad.exe")
#define SHELL32_DLL IN_WINDOWS("system32\\shell32.dll")

namespace {

std::string OutDir;
HWND Main = nullptr;
int Failures = 0;

// Copies what the screen shows of the window into a 24-bit BMP file.
void Capture(HWND window, const std::string& name)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ui::Pump(150);
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    DWORD size = ((w * 3 + 3) & ~3u) * h,
          offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPINFOHEADER info = {sizeof info, w, h, 1, 24, BI_RGB, size, 0, 0, 0, 0};
    BITMAPFILEHEADER file = {0x4D42, offset + size, 0, 0, offset};
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    std::string path = OutDir + "\\" + name + ".bmp";
    FILE* f = fopen(path.c_str(), "wb");
    bool ok = f && fwrite(&file, sizeof file, 1, f) && fwrite(&info, sizeof info, 1, f) &&
              fwrite(bits, size, 1, f);
    if (f)
        fclose(f);
    DeleteObject(bitmap), DeleteDC(memory), ReleaseDC(nullptr, screen);
    printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
    Failures += !ok;
}

// A step that readies the window, captures it as name and leaves it with button (0: a menu).
ui::Action Shoot(std::string name, int button, ui::Action ready = nullptr)
{
    return [=](HWND window) {
        if (ready)
            ready(window);
        Capture(window, name);
        button ? ui::Click(window, button) : ui::DismissMenu(window);
    };
}

void Confirm(ui::UiScript& script, int command)
{
    auto fast = [command](HWND d) {
        ShowWindow(GetDlgItem(d, IDC_CONFIRM_FAST), command == IDM_RESTART);
    };
    script.On("確認", Shoot("confirm_" + std::to_string(command), IDC_CONFIRM_NO, fast));
    EndWindowsSession(Main, command);
}

// The modal windows, each opened under the script that shoots it; the restart face with the box
// of Windows 9x, the reservation as the only enabled window (main is disabled under it).
void (*const kScenes[])(ui::UiScript&) = {
    [](ui::UiScript& s) {
        auto browse = [](HWND dialog) {
            Capture(dialog, "item_dialog");
            ui::SetControlText(dialog, IDC_ITEM_ICON_FILE, SHELL32_DLL);
            ui::Click(dialog, IDC_ITEM_BROWSE_ICON);
        };
        s.On("登録／変更", browse).On("アイコン", Shoot("icon_chooser", IDCANCEL));
        s.On("登録／変更", [](HWND dialog) { ui::Click(dialog, IDCANCEL); });
        OpenItemDialog(Main, 0);
    },
    [](ui::UiScript& s) {
        s.On(nullptr, Shoot("desktop_menu", 0), ui::kMenuClass);
        SetCursorPos(60, 100), ShowDesktopMenu(Main);
    },
    [](ui::UiScript& s) {
        auto input = [](HWND d) { ui::SetControlText(d, IDC_RUN_INPUT, NOTEPAD_EXE); };
        s.On("ファイル名を指定して実行", Shoot("run_file", IDCANCEL, input));
        OpenRunFileDialog(Main);
    },
    [](ui::UiScript& s) { Confirm(s, IDM_EXIT_WINDOWS); },
    [](ui::UiScript& s) { Confirm(s, IDM_RESTART); },
    [](ui::UiScript& s) { Confirm(s, IDM_LOG_OFF); },
    [](ui::UiScript& s) {
        Settings->ExitReservation = {1, 30, 1, 1800, 1, 23, 30, 0, {}, 0, 0, 0, {}}; // not armed
        s.On(nullptr, Shoot("reservation", IDCANCEL)), OpenReservation(Main, 0);
    },
    [](ui::UiScript& s) {
        auto pick = [](HWND dialog) { ui::PickList(dialog, IDC_PROC_LIST, 1); };
        s.On("プロセス", Shoot("process_manager", IDC_PROC_PROPERTIES, pick));
        s.On("プロパティ", Shoot("process_properties", IDOK));
        s.On("プロセス", [](HWND dialog) { ui::Click(dialog, IDCANCEL); });
        OpenProcessManager(Main);
    },
    [](ui::UiScript& s) { s.On("バージョン情報", Shoot("about", IDOK)), ShowAboutBox(Main); },
    [](ui::UiScript& s) { s.On("オプション", Shoot("options", IDCANCEL)), ShowOptions(Main); },
    [](ui::UiScript& s) { s.On("ページ移動", Shoot("page_jump", IDCANCEL)), JumpToPage(Main); },
    [](ui::UiScript& s) { s.On("移動", Shoot("move_item", IDCANCEL)), MoveItem(Main, 0); },
};

// Items of the strip: programs, a folder and a drive, with icons of their own or of the shell.
const ItemSlot kSamples[] = {
    {"メモ帳", NOTEPAD_EXE, NOTEPAD_EXE, "", "", 0, 0},
    {"レジストリ エディター", IN_WINDOWS("regedit.exe"), IN_WINDOWS("regedit.exe"), "", "", 0, 0},
    {"ワードパッド", IN_WINDOWS("system32\\write.exe"), IN_WINDOWS("system32\\write.exe"), "", "",
     0, 0},
    {"フォルダー", "C:\\windows", SHELL32_DLL, "", "", 4, 0},
    {"ドライブ", "C:\\", SHELL32_DLL, "", "", 8, 0},
    {"ヘルプ", IN_WINDOWS("winhelp.exe"), IN_WINDOWS("winhelp.exe"), "", "", 0, 0},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return fprintf(stderr, "usage: scenes OUTDIR\n"), 2;
    OutDir = argv[1];
    AppInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
    RegisterWindowClasses();
    ui::ResetLauncherRegistry();
    for (int slot = 0; slot < 6; ++slot)
        SaveItem(slot, &kSamples[slot]);
    Settings = static_cast<LauncherSettings*>(calloc(1, sizeof(LauncherSettings)));
    Main = CreateMainWindow(SW_SHOWNORMAL);
    SetWindowPos(Main, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ui::Pump(300);
    Capture(Main, "strip");
    OpenSystemTools();
    ui::Pump(300);
    Capture(Settings->SystemToolsWindow, "system_tools");
    DestroyWindow(Settings->SystemToolsWindow);

    for (auto scene : kScenes) {
        ui::UiScript script;
        scene(script);
        for (const std::string& failure : script.Failures())
            fprintf(stderr, "%s\n", failure.c_str());
        Failures += !script.Done() || !script.Failures().empty();
    }
    ReservationBlock& reservation = Settings->ExitReservation;
    reservation.Armed = 1; // no timer runs: the countdown opens once, to be captured
    reservation.TimeSeconds = 25;
    reservation.ArmedTick = GetTickCount();
    UpdateCountdown(Main);
    Capture(Settings->CountdownWindow, "countdown");
    StopReservation(Main);
    ShowHelp(0, 0); // with its table of contents; the main window closes it as it goes
    Capture(FindWindowA("HH Parent", nullptr), "help");

    DestroyWindow(Main);
    free(Settings);
    Settings = nullptr;
    ui::ResetLauncherRegistry();
    return Failures;
}

// The main window's commands, menus and keys, driven as the user drives them.
#include "test_support.h"

#include "app/commands.h"
#include "dialogs/icon_chooser.h"
#include "resource.h"
#include "strip/page_grid.h"
#include "tools/process_properties.h"

TEST_CASE("keys without Ctrl or Shift do nothing; real key presses of Ctrl+X close the launcher")
{
    LauncherWindow launcher;
    HWND window = launcher.window;
    SetForegroundWindow(window), SetFocus(window);
    std::vector<HWND> before = ui::ThreadWindows();
    for (int key : {static_cast<int>('X'), VK_F11, VK_F12})
        SendMessageA(window, WM_KEYDOWN, key, 1);
    ui::DrainMessages();
    CHECK((ui::ThreadWindows() == before && GetFocus() == window));
    for (int i = 0; i < 4; ++i) // Ctrl down, X down, X up, Ctrl up
        keybd_event(i % 3 ? 'X' : VK_CONTROL, 0, i < 2 ? 0 : KEYEVENTF_KEYUP, 0);
    CHECK(ui::WaitUntil([&] { return !IsWindow(window); }, 5000));
    ui::Pump(50); // the key releases
}

TEST_CASE("menu buttons show their menus and give the focus back; a command beyond the page's "
          "buttons launches nothing; the launcher menu's exit closes")
{
    LauncherWindow launcher;
    const struct {
        int button, armed;
        const char* reservation;
    } cases[] = {{IDC_TOOLS_MENU_BUTTON, 0, "Windowsの終了予約(&V)..."},
                 {IDC_TOOLS_MENU_BUTTON, 1, "Windowsの終了予約の取り消し(&V)"},
                 {IDC_LAUNCHER_MENU_BUTTON, 0, ""},
                 {IDC_ITEM_BUTTON_FIRST + 3, 0, nullptr}}; // a free item: no menu, no box
    for (const auto& c : cases) {
        CAPTURE(c.button);
        Settings->ExitReservation.Armed = c.armed;
        SetFocus(launcher.window);
        std::string text;
        ui::UiScript script;
        if (c.reservation)
            script.OnMenu([&](HWND menu) {
                text = ui::MenuEntryText(menu, IDM_RESERVATION), ui::DismissMenu(menu);
            });
        SendMessageA(GetDlgItem(launcher.window, c.button), BM_CLICK, 0, 0);
        CHECK((script.Done() && script.Failures().empty() && GetFocus() == launcher.window));
        CHECK(text == (c.reservation ? c.reservation : ""));
    }
    // Items whose launch fails at once with a box; position 10 of page 0 is no button.
    ItemSlot item = MakeItem("broken", "C:\\no such folder\\no such program.exe");
    SaveItem(9, &item), SaveItem(10, &item);
    ui::UiScript script;
    script.Answer(IDOK).OnMenu([](HWND menu) { ui::ChooseMenuEntry(menu, IDM_QUIT); });
    for (int id : {10, -1, 9})
        SendMessageA(launcher.window, WM_COMMAND, IDC_ITEM_BUTTON_FIRST + id, 0);
    CHECK(script.StepsRun() == 1);
    ui::Settle();
    SendMessageA(GetDlgItem(launcher.window, IDC_LAUNCHER_MENU_BUTTON), BM_CLICK, 0, 0);
    CHECK((script.Failures().empty() && !IsWindow(launcher.window)));
}

TEST_CASE("a dialog that cannot be made is reported with the system's text, never silently")
{
    LauncherWindow launcher;
    const HINSTANCE program = AppInstance, foreign = GetModuleHandleA("kernel32.dll");
    FindResourceA(foreign, MAKEINTRESOURCEA(IDD_ABOUT), RT_DIALOG); // it has none of ours
    const std::string expected = ui::SystemText(GetLastError());
    PROCESSENTRY32 process = {sizeof process, 0, 0, 0, 0, 0, 0, 0, 0, ""};
    char path[MAX_PATH] = "";
    // After the commands of the menus, 1: the icon chooser, 0: the properties of a process.
    for (int command : {IDM_EXIT_WINDOWS, IDM_RESERVATION, IDM_PROCESS_MANAGER, IDM_RUN_FILE,
                        IDM_ABOUT, IDM_ITEM_REGISTER, 1, 0}) {
        CAPTURE(command);
        ui::Settle();
        std::string shown;
        int chosen = -1; // the icon chooser's answer, which must be no choice
        ui::UiScript script;
        auto choose = [&](HWND menu) { AppInstance = foreign, ui::ChooseMenuEntry(menu, command); };
        if (command > 1) // the menu is loaded; what it opens cannot be
            script.OnMenu(choose);
        script.Answer(IDOK, &shown);
        int button = command == IDM_ABOUT ? IDC_LAUNCHER_MENU_BUTTON : IDC_TOOLS_MENU_BUTTON;
        if (command == IDM_ITEM_REGISTER)
            SendMessageA(launcher.window, WM_ITEMMENU, 0, 0);
        else if (command > 1)
            SendMessageA(GetDlgItem(launcher.window, button), BM_CLICK, 0, 0);
        else if (command)
            AppInstance = foreign, chosen = ChooseIcon(launcher.window, 3, path);
        else
            AppInstance = foreign, OpenProcessProperties(launcher.window, &process);
        AppInstance = program;
        CHECK((script.Done() && shown == expected && shown != ui::SystemText(ERROR_SUCCESS) &&
               chosen == -1));
    }
}

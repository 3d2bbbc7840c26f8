// The main window's commands, menus and keys, driven as the user drives them.
#include "test_support.h"

#include <string>
#include <vector>

#include "app/commands.h"
#include "resource.h"

namespace {

void PressButton(HWND window, int id)
{
    SendMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0);
}

// An item whose launch fails at once with an error box, so a launch that must not happen
// shows up without waiting.
void WriteBrokenItems()
{
    ItemSlot item = {};
    lstrcpynA(item.Caption, "broken", sizeof item.Caption);
    lstrcpynA(item.FilePath, "C:\\no such folder\\no such program.exe", sizeof item.FilePath);
    for (int slot = 0; slot < 20; ++slot)
        SaveItem(slot, &item);
}

} // namespace

TEST_CASE("Ctrl+X and the launcher menu's exit close the launcher; keys without Ctrl or Shift "
          "do nothing")
{
    LauncherWindow launcher;
    HWND window = launcher.window;
    SetFocus(window);

    SUBCASE("keys without their modifier")
    {
        std::vector<HWND> before = ui::ThreadWindows();
        for (int key : {static_cast<int>('X'), VK_F11, VK_F12})
            SendMessageA(window, WM_KEYDOWN, key, 1);
        ui::DrainMessages();
        CHECK(IsWindow(window));
        CHECK(ui::ThreadWindows() == before);
        CHECK(GetFocus() == window);
    }
    SUBCASE("real key presses of Ctrl+X reach the main window through its focus")
    {
        SetForegroundWindow(window);
        SetFocus(window);
        INPUT keys[4] = {};
        const WORD codes[4] = {VK_CONTROL, 'X', 'X', VK_CONTROL};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = codes[i];
            keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
        }
        REQUIRE(SendInput(4, keys, sizeof(INPUT)) == 4);
        CHECK(ui::WaitUntil([&] { return !IsWindow(window); }, 10000));
    }
    SUBCASE("the launcher menu's exit entry")
    {
        ui::UiScript script;
        script.On(
            nullptr, [](HWND menu) { ui::ChooseMenuEntry(menu, IDM_QUIT); }, ui::kMenuClass);
        PressButton(window, IDC_LAUNCHER_MENU_BUTTON);
        CHECK(script.Done());
        CHECK_FALSE(IsWindow(window));
    }
}

TEST_CASE("after a click on an item or menu button the main window has the focus again")
{
    LauncherWindow launcher;
    for (int button :
         {IDC_ITEM_BUTTON_FIRST + 3, IDC_TOOLS_MENU_BUTTON, IDC_LAUNCHER_MENU_BUTTON}) {
        CAPTURE(button);
        SetFocus(launcher.window);
        // The item is free; a menu is dismissed.
        ui::UiScript script;
        if (button != IDC_ITEM_BUTTON_FIRST + 3)
            script.On(nullptr, ui::DismissMenu, ui::kMenuClass);
        PressButton(launcher.window, button);
        CHECK(script.Done());
        CHECK(IsWindow(launcher.window));
        CHECK(GetFocus() == launcher.window);
    }
}

TEST_CASE("the tools menu offers the reservation or its cancellation")
{
    LauncherWindow launcher;
    for (int armed : {0, 1}) {
        CAPTURE(armed);
        Settings->ExitReservation.Armed = armed;
        std::string text;
        ui::UiScript script;
        script.On(
            nullptr,
            [&](HWND menu) {
                text = ui::MenuEntryText(menu, IDM_RESERVATION);
                ui::DismissMenu(menu);
            },
            ui::kMenuClass);
        PressButton(launcher.window, IDC_TOOLS_MENU_BUTTON);
        CHECK(script.Done());
        CHECK(text == (armed ? "Windowsの終了予約の取り消し(&V)" : "Windowsの終了予約(&V)..."));
    }
}

TEST_CASE("a command id beyond the page's buttons launches nothing")
{
    LauncherWindow launcher(WriteBrokenItems);
    ui::UiScript script;
    script.Answer(IDOK).Answer(IDOK);
    // Position 10 of page 0 would be slot 10, which holds an item.
    SendMessageA(launcher.window, WM_COMMAND, IDC_ITEM_BUTTON_FIRST + 10, 0);
    SendMessageA(launcher.window, WM_COMMAND, IDC_ITEM_BUTTON_FIRST - 1, 0);
    CHECK(script.StepsRun() == 0);
    // The same item inside the page is launched and its failure reported.
    SendMessageA(launcher.window, WM_COMMAND, IDC_ITEM_BUTTON_FIRST + 9, 0);
    CHECK(script.StepsRun() == 1);
}

// The main window's commands, menus and keys, driven as the user drives them.
#include "test_support.h"

#include <string.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/commands.h"
#include "resource.h"

namespace {

// Holds modifier keys down in this thread's keyboard state, as GetKeyState sees them while a
// key message is handled, and lets them go again.
struct HeldKeys {
    BYTE kept[256];
    explicit HeldKeys(std::initializer_list<int> keys)
    {
        GetKeyboardState(kept);
        BYTE state[256];
        memcpy(state, kept, sizeof state);
        for (int key : keys)
            state[key] |= 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(kept); }
};

// A key press as it reaches the focused main window, and whatever it posted handled.
void PressKey(HWND window, WPARAM key)
{
    SendMessageA(window, WM_KEYDOWN, key, 1);
    ui::DrainMessages();
}

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

TEST_CASE("Ctrl+X closes the launcher; other keys without their modifier do nothing")
{
    LauncherWindow launcher;
    HWND window = launcher.window;
    SetFocus(window);

    SUBCASE("keys without their modifier")
    {
        std::vector<HWND> before = ui::ThreadWindows();
        PressKey(window, 'X');
        PressKey(window, VK_F11);
        PressKey(window, VK_F12);
        CHECK(IsWindow(window));
        CHECK(ui::ThreadWindows() == before);
        CHECK(GetFocus() == window);
    }
    SUBCASE("Ctrl+X, also with Shift held")
    {
        bool withShift = false;
        SUBCASE("Ctrl alone")
        {
        }
        SUBCASE("Ctrl and Shift")
        {
            withShift = true;
        }
        HeldKeys ctrl({VK_CONTROL});
        HeldKeys shift(withShift ? std::initializer_list<int>{VK_SHIFT}
                                 : std::initializer_list<int>{});
        REQUIRE((GetKeyState(VK_CONTROL) & 0x8000) != 0);
        // The close is posted: the window still exists when the key message returns.
        SendMessageA(window, WM_KEYDOWN, 'X', 1);
        CHECK(IsWindow(window));
        ui::DrainMessages();
        CHECK_FALSE(IsWindow(window));
    }
    SUBCASE("real key presses reach the main window through its focus")
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
}

TEST_CASE("after a click on an item or menu button the main window has the focus again")
{
    LauncherWindow launcher;
    HWND window = launcher.window;
    SetFocus(window);

    SUBCASE("a free item button")
    {
        PressButton(window, IDC_ITEM_BUTTON_FIRST + 3);
        CHECK(GetFocus() == window);
    }
    SUBCASE("a menu button whose menu was dismissed")
    {
        int button = 0;
        SUBCASE("the tools menu")
        {
            button = IDC_TOOLS_MENU_BUTTON;
        }
        SUBCASE("the launcher menu")
        {
            button = IDC_LAUNCHER_MENU_BUTTON;
        }
        ui::UiScript script;
        script.On(nullptr, ui::DismissMenu, ui::kMenuClass);
        PressButton(window, button);
        CHECK(script.Done());
        CHECK(script.Failures().empty());
        CHECK(IsWindow(window));
        CHECK(GetFocus() == window);
    }
}

TEST_CASE("the tools menu offers the reservation or its cancellation")
{
    LauncherWindow launcher;
    int armed = 0;
    SUBCASE("no reservation armed")
    {
        armed = 0;
    }
    SUBCASE("a reservation armed")
    {
        armed = 1;
    }
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

TEST_CASE("the launcher menu's exit entry closes the window")
{
    LauncherWindow launcher;
    ui::UiScript script;
    script.On(
        nullptr, [](HWND menu) { ui::ChooseMenuEntry(menu, IDM_QUIT); }, ui::kMenuClass);
    PressButton(launcher.window, IDC_LAUNCHER_MENU_BUTTON);
    CHECK(script.Done());
    CHECK_FALSE(IsWindow(launcher.window));
}

TEST_CASE("a command id beyond the page's buttons launches nothing")
{
    LauncherWindow launcher(WriteBrokenItems);
    {
        ui::UiScript script;
        script.Answer(IDOK).Answer(IDOK);
        // Position 10 of page 0 would be slot 10, which holds an item.
        SendMessageA(launcher.window, WM_COMMAND, IDC_ITEM_BUTTON_FIRST + 10, 0);
        SendMessageA(launcher.window, WM_COMMAND, IDC_ITEM_BUTTON_FIRST - 1, 0);
        CHECK(script.StepsRun() == 0);
    }
    // The same item inside the page is launched and its failure reported.
    ui::UiScript script;
    script.Answer(IDOK);
    SendMessageA(launcher.window, WM_COMMAND, IDC_ITEM_BUTTON_FIRST + 9, 0);
    CHECK(script.StepsRun() == 1);
    CHECK(GetFocus() == launcher.window);
}

// Commands, menus and keys of the main window. The menus are tracked with TPM_RETURNCMD, so a
// chosen entry sends no WM_COMMAND: the code that showed the menu carries the command out.
#include "app/commands.h"

#include <shellapi.h>

#include "app/item_launch.h"
#include "app/popup_menu.h"
#include "common/about_box.h"
#include "common/app_state.h"
#include "common/help.h"
#include "common/report_error.h"
#include "dialogs/options_dialog.h"
#include "dialogs/page_jump_dialog.h"
#include "resource.h"
#include "session/end_session.h"
#include "session/reservation.h"
#include "store/settings_store.h"
#include "strip/page_grid.h"
#include "tools/desktop_menu.h"
#include "tools/process_manager.h"
#include "tools/run_file_dialog.h"
#include "tools/system_tools.h"

namespace {

bool IsHeld(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

void OpenHomePage(HWND window)
{
    char address[MAX_PATH];
    if (LoadStringA(AppInstance, IDS_HOME_PAGE, address, sizeof address) == 0)
        address[0] = '\0';
    HINSTANCE result = ShellExecuteA(window, "open", address, nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        ReportShellFailure(result);
}

// One command of the tools or launcher menu, or of a function key.
void RunCommand(HWND window, int id)
{
    switch (id) {
    case IDM_HOME_PAGE: OpenHomePage(window); break;
    case IDM_QUIT: SendMessageA(window, WM_CLOSE, 0, 0); break;
    case IDM_SYSTEM_TOOLS: OpenSystemTools(); break;
    case IDM_DESKTOP_MENU: ShowDesktopMenu(window); break;
    case IDM_RUN_FILE: OpenRunFileDialog(window); break;
    case IDM_HELP: ShowHelp(0, 0); break;
    case IDM_ABOUT: ShowAboutBox(MainWindow); break;
    case IDM_PAGE_JUMP: JumpToPage(window); break;
    case IDM_OPTIONS: ShowOptions(window); break;
    case IDM_PROCESS_MANAGER: OpenProcessManager(MainWindow); break;
    case IDM_EXIT_WINDOWS:
    case IDM_LOG_OFF:
    case IDM_RESTART: EndWindowsSession(window, id); break;
    case IDM_RESERVATION: OpenReservation(window, 0); break;
    }
}

} // namespace

void HandleCommand(HWND window, WPARAM wParam)
{
    int id = LOWORD(wParam);
    if (id == IDC_TOOLS_MENU_BUTTON) {
        RunCommand(window, ShowPopupMenu(window, IDR_TOOLS_MENU));
    } else if (id == IDC_LAUNCHER_MENU_BUTTON) {
        RunCommand(window, ShowPopupMenu(window, IDR_LAUNCHER_MENU));
    } else {
        int position = id - IDC_ITEM_BUTTON_FIRST;
        if (position >= 0 && position < Settings->IconsPerPage)
            LaunchItem(window, position);
    }
    SetFocus(MainWindow);
}

void HandleKeyDown(HWND window, WPARAM key)
{
    switch (key) {
    case 'X':
        // Posted, not sent: the window closes after the key message has been handled.
        if (IsHeld(VK_CONTROL))
            PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case VK_F1: RunCommand(window, IDM_HELP); break;
    case VK_F6: RunCommand(window, IDM_DESKTOP_MENU); break;
    case VK_F11:
        if (IsHeld(VK_SHIFT))
            RunCommand(window, IDM_PROCESS_MANAGER);
        break;
    case VK_F12:
        if (IsHeld(VK_SHIFT))
            RunCommand(window, IDM_SYSTEM_TOOLS);
        break;
    }
}

void EnableItemMenuEntries(HWND window, HMENU menu)
{
    if (!menu)
        return;
    // The item menu opens at the pointer, which lies on the right-clicked button; the tools
    // and launcher menus open over the menu buttons, right of every item column.
    POINT pointer = {};
    GetCursorPos(&pointer);
    ScreenToClient(window, &pointer);
    int column = pointer.x / kButtonSize;
    const LauncherSettings* s = Settings;
    if (column < 0 || column >= s->IconsPerPage)
        return;
    ItemSlot item;
    UINT state =
        LoadItem(s->CurrentPage * s->IconsPerPage + column, &item) ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, IDM_ITEM_LAUNCH, MF_BYCOMMAND | state);
    EnableMenuItem(menu, IDM_ITEM_PROPERTIES, MF_BYCOMMAND | state);
    EnableMenuItem(menu, IDM_ITEM_MOVE, MF_BYCOMMAND | state);
}

// The launcher main window: a narrow strip without maximise box whose size always follows the
// icon page grid. Everything it shows is built by the grid when the window is created.
#include "app/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/commands.h"
#include "app/item_launch.h"
#include "common/help.h"
#include "resource.h"
#include "session/countdown.h"
#include "session/reservation.h"
#include "store/settings_store.h"
#include "strip/page_grid.h"
#include "tools/desktop_menu.h"
#include "tools/system_tools.h"

int AnotherInstanceFound = 0;

namespace {

template <typename T> void DeleteAndNull(T& handle)
{
    if (handle) {
        DeleteObject(handle);
        handle = nullptr;
    }
}

void DestroyAndNull(HWND& window)
{
    if (window) {
        DestroyWindow(window);
        window = nullptr;
    }
}

// True when the top-left corner of a stored position can be used: not negative, and on a
// monitor that still exists (a window saved on a removed monitor would open out of sight).
bool IsUsablePosition(const RECT& pos)
{
    if (pos.left < 0 || pos.top < 0)
        return false;
    POINT corner = {pos.left, pos.top};
    return MonitorFromPoint(corner, MONITOR_DEFAULTTONULL) != nullptr;
}

// Set once the end of the session or the destruction released the window's content. Until the
// window is gone, no handler may touch what was released.
bool TornDown = false;

LRESULT OnCreate(HWND window)
{
    TornDown = false;
    if (!CreateMainControls(window))
        return -1;
    DragAcceptFiles(window, TRUE);
    return 0;
}

LRESULT OnDestroy(HWND window)
{
    DragAcceptFiles(window, FALSE);
    TearDownMainWindow(window);
    PostQuitMessage(0);
    return 0;
}

LRESULT OnEndSession(HWND window, WPARAM ending)
{
    if (ending)
        TearDownMainWindow(window);
    return 0;
}

LRESULT OnNotify(HWND window, WPARAM controlId, NMHDR* header)
{
    if (controlId == IDC_PAGE_SPINNER)
        return StepPage(window, header);
    if (TooltipManager* tooltip = ItemTooltip())
        tooltip->HandleNeedText(header);
    return 0;
}

} // namespace

bool RegisterWindowClasses()
{
    WNDCLASSEXA main = {};
    main.cbSize = sizeof main;
    main.style = CS_HREDRAW | CS_VREDRAW;
    main.lpfnWndProc = MainWindowProc;
    main.hInstance = AppInstance;
    main.hIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP));
    main.hIconSm = static_cast<HICON>(LoadImageA(AppInstance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    main.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    main.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    main.lpszClassName = VELDAR_MAIN_CLASS;
    if (!RegisterClassExA(&main))
        return false;

    WNDCLASSEXA tools = {};
    tools.cbSize = sizeof tools;
    tools.style = CS_HREDRAW | CS_VREDRAW;
    tools.lpfnWndProc = SystemToolsWindowProc;
    tools.hInstance = AppInstance;
    tools.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    tools.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    tools.lpszClassName = VELDAR_TOOLS_CLASS;
    return RegisterClassExA(&tools) != 0;
}

HWND CreateMainWindow(int showCommand)
{
    RECT pos = {};
    bool havePos = LoadSettings(&pos);
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    if (havePos && !AnotherInstanceFound && IsUsablePosition(pos)) {
        x = pos.left;
        y = pos.top;
    }
    MainWindow = CreateWindowExA(0, VELDAR_MAIN_CLASS, VELDAR_WINDOW_NAME, WS_OVERLAPPEDWINDOW, x,
                                 y, 0, 0, nullptr, nullptr, AppInstance, nullptr);
    if (!MainWindow)
        return nullptr;
    LONG style = GetWindowLongA(MainWindow, GWL_STYLE);
    SetWindowLongA(MainWindow, GWL_STYLE, style & ~WS_MAXIMIZEBOX);
    ShowWindow(MainWindow, showCommand);
    UpdateWindow(MainWindow);
    return MainWindow;
}

void TearDownMainWindow(HWND window)
{
    LauncherSettings* s = Settings;
    if (!s)
        return;
    TornDown = true;
    SaveSettings(window);
    FreeDesktopMenu();
    StopReservation(window);
    DeleteAndNull(s->ChooserButtonBitmap);
    DeleteAndNull(s->MenuButtonBitmap);
    if (s->ToolCursor) {
        DestroyCursor(s->ToolCursor);
        s->ToolCursor = nullptr;
    }
    ReleasePageIcons(s->IconsPerPage);
    DestroyItemButtons(s->IconsPerPage);
    DestroyAndNull(s->PageSpinner);
    DestroyAndNull(s->ToolsMenuButton);
    DestroyAndNull(s->LauncherMenuButton);
    DestroyAndNull(s->SystemToolsWindow);
    CloseHelp();
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // After the end of the session only closing is left; a size change, drop or timer that
    // still arrives must not rebuild from released state.
    if (TornDown && message != WM_CREATE && message != WM_DESTROY && message != WM_CLOSE) {
        if (message == WM_DROPFILES)
            DragFinish(reinterpret_cast<HDROP>(wParam));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: return OnDestroy(window);
    case WM_SIZE: LayoutMainWindow(window, Settings->IconsPerPage); return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_ENDSESSION: return OnEndSession(window, wParam);
    case WM_NOTIFY: return OnNotify(window, wParam, reinterpret_cast<NMHDR*>(lParam));
    case WM_KEYDOWN: HandleKeyDown(window, wParam); return 0;
    case WM_COMMAND: HandleCommand(window, wParam); return 0;
    case WM_INITMENU: EnableItemMenuEntries(window, reinterpret_cast<HMENU>(wParam)); return 0;
    case WM_DROPFILES: HandleDroppedFiles(window, reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_MEASUREITEM:
        return MeasureDesktopMenuItem(window, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM: return DrawDesktopMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_ITEMMENU: ShowItemMenu(window, static_cast<int>(wParam)); return 0;
    case WM_TIMER: OnReservationTick(window); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

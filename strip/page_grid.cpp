// The icon page grid. Position p of page g shows item slot g * IconsPerPage + p; a page change
// reloads icons only, the buttons themselves stay.
#include "strip/page_grid.h"

#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>

#include <new>

#include "common/app_state.h"
#include "common/report_error.h"
#include "resource.h"
#include "store/settings_store.h"

namespace {

const int kSpinnerWidth = 19;
const int kMenuButtonSize = 19;

// Made and destroyed with the item buttons; a page change only replaces its tools. Under Wine
// the tooltip is a top-level X window, and making one anew was about a sixth of a page change.
TooltipManager* PageTooltip = nullptr;

// An item button as the BUTTON class paints it: the push-button frame, the icon centred (a pixel
// down and to the right while pushed) and the focus rectangle. Every icon of the grid comes from
// LoadFileIcon, which gives the system's icon size.
void PaintItemButton(HWND button, HDC dc)
{
    RECT r;
    GetClientRect(button, &r);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    LRESULT state = SendMessageA(button, BM_GETSTATE, 0, 0);
    int pushed = (state & BST_PUSHED) ? 1 : 0;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    if (LRESULT icon = SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)) {
        int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
        DrawStateA(dc, nullptr, nullptr, icon, 0, (r.right - cx) / 2 + pushed,
                   (r.bottom - cy) / 2 + pushed, cx, cy,
                   DST_ICON | (IsWindowEnabled(button) ? DSS_NORMAL : DSS_DISABLED));
    }
    // Windows leaves the focus rectangle out while keyboard cues are hidden.
    if ((state & BST_FOCUS) && !(SendMessageA(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        InflateRect(&r, -2, -2);
        DrawFocusRect(dc, &r);
    }
}

HWND CreateMenuButton(HWND window, int id)
{
    return CreateWindowExA(
        0, "BUTTON", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_BITMAP | BS_CENTER, 0, 0, 0,
        0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), AppInstance, nullptr);
}

} // namespace

int CreateMainControls(HWND window)
{
    LauncherSettings* s = Settings;
    s->PageSpinner = CreateUpDownControl(WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window,
                                         IDC_PAGE_SPINNER, AppInstance, nullptr, 100, 0, 0);
    if (!s->PageSpinner)
        return ReportError(kLastError, nullptr);
    s->ToolsMenuButton = CreateMenuButton(window, IDC_TOOLS_MENU_BUTTON);
    if (!s->ToolsMenuButton)
        return ReportError(kLastError, nullptr);
    s->LauncherMenuButton = CreateMenuButton(window, IDC_LAUNCHER_MENU_BUTTON);
    if (!s->LauncherMenuButton)
        return ReportError(kLastError, nullptr);

    // The silver around the triangles becomes the system's button face colour at load, so the
    // pictures sit on the face of the buttons that show them instead of on a grey square.
    s->ChooserButtonBitmap = static_cast<HBITMAP>(LoadImageA(
        AppInstance, MAKEINTRESOURCEA(IDB_CHOOSER_BUTTON), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    s->MenuButtonBitmap = static_cast<HBITMAP>(LoadImageA(
        AppInstance, MAKEINTRESOURCEA(IDB_MENU_BUTTON), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    s->ToolCursor = static_cast<HCURSOR>(
        LoadImageA(AppInstance, MAKEINTRESOURCEA(IDCUR_TOOL), IMAGE_CURSOR, 0, 0, 0));

    s->CurrentPage = s->StartPage;
    SendMessageA(s->ToolsMenuButton, BM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(s->MenuButtonBitmap));
    SendMessageA(s->LauncherMenuButton, BM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(s->MenuButtonBitmap));
    if (!CreateItemButtons(window, s->IconsPerPage))
        return 0;
    LoadPageIcons(s->IconsPerPage);
    UpdateMainTitle(window);
    return 1;
}

void LayoutMainWindow(HWND window, int n)
{
    const LauncherSettings* s = Settings;
    RECT r;
    MoveWindow(s->PageSpinner, kButtonSize * n, 0, kSpinnerWidth, kButtonSize, TRUE);
    GetWindowRect(s->PageSpinner, &r);
    int w = r.right - r.left;
    MoveWindow(s->ToolsMenuButton, kButtonSize * n + w, 0, kMenuButtonSize, kMenuButtonSize, TRUE);
    MoveWindow(s->LauncherMenuButton, kButtonSize * n + w, kMenuButtonSize, kMenuButtonSize,
               kMenuButtonSize, TRUE);
    GetWindowRect(s->ToolsMenuButton, &r);
    int b = r.right - r.left;

    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    int width = (frame.right - frame.left) - (client.right - client.left) + kButtonSize * n + w + b;
    int height = (frame.bottom - frame.top) - (client.bottom - client.top) + kButtonSize;
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

int CreateItemButtons(HWND window, int n)
{
    LauncherSettings* s = Settings;
    s->ItemButtons = static_cast<ItemButton*>(calloc(s->IconsPerPage, sizeof(ItemButton)));
    // calloc sets no Windows error: the last one may well be the success of an earlier call.
    if (!s->ItemButtons) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return ReportError(kLastError, nullptr);
    }
    PageTooltip = new (std::nothrow) TooltipManager(AppInstance, window);
    for (int p = 0; p < n; ++p) {
        HWND button = CreateWindowExA(
            0, "BUTTON", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_ICON | BS_CENTER,
            kButtonSize * p, 0, kButtonSize, kButtonSize, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ITEM_BUTTON_FIRST + p)), AppInstance,
            nullptr);
        if (!button)
            return ReportError(kLastError, nullptr);
        s->ItemButtons[p].Window = button;
        if (!s->ItemButtons[0].BaseProc) {
            s->ItemButtons[0].BaseProc =
                reinterpret_cast<WNDPROC>(GetWindowLongPtrA(button, GWLP_WNDPROC));
            if (!s->ItemButtons[0].BaseProc)
                return ReportError(kLastError, nullptr);
        }
        SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ItemButtonProc));
    }
    LayoutMainWindow(window, n);
    return 1;
}

void DestroyItemButtons(int n)
{
    LauncherSettings* s = Settings;
    if (PageTooltip) {
        PageTooltip->Destroy();
        delete PageTooltip;
        PageTooltip = nullptr;
    }
    if (!s->ItemButtons)
        return;
    for (int p = 0; p < n; ++p) {
        ItemButton& entry = s->ItemButtons[p];
        if (entry.Window) {
            SetWindowLongPtrA(entry.Window, GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(s->ItemButtons[0].BaseProc));
            DestroyWindow(entry.Window);
            entry.Window = nullptr;
        }
    }
    free(s->ItemButtons);
    s->ItemButtons = nullptr;
}

void LoadPageIcons(int n)
{
    LauncherSettings* s = Settings;
    if (!s->ItemButtons)
        return;
    for (int p = 0; p < n; ++p) {
        ItemSlot item;
        ItemButton& entry = s->ItemButtons[p];
        if (LoadItem(s->CurrentPage * n + p, &item))
            entry.Icon = LoadFileIcon(item.IconPath, item.IconIndex);
        // A button that shows no icon and gets none is left alone: a new image would only
        // have it painted again as it is.
        if (entry.Icon || SendMessageA(entry.Window, BM_GETIMAGE, IMAGE_ICON, 0))
            SendMessageA(entry.Window, BM_SETIMAGE, IMAGE_ICON,
                         reinterpret_cast<LPARAM>(entry.Icon));
        // An empty slot is registered too, without text, so that it shows no tip.
        if (PageTooltip)
            PageTooltip->AddTool(IDC_ITEM_BUTTON_FIRST + p, item.Caption, entry.Window);
    }
}

void ReleasePageIcons(int n)
{
    LauncherSettings* s = Settings;
    if (s->ItemButtons) {
        for (int p = 0; p < n; ++p) {
            ItemButton& entry = s->ItemButtons[p];
            if (entry.Icon) {
                DestroyIcon(entry.Icon);
                entry.Icon = nullptr;
            }
        }
    }
    if (PageTooltip)
        PageTooltip->RemoveAllTools();
}

void UpdateMainTitle(HWND window)
{
    char name[32];
    if (LoadStringA(AppInstance, IDS_APP_NAME, name, sizeof name) == 0)
        name[0] = '\0';
    char title[64];
    snprintf(title, sizeof title, "%s - %d", name, Settings->CurrentPage + 1);
    SetWindowTextA(window, title);
    UpdateWindow(window);
}

void PaintItemRow(HWND window, int n)
{
    const LauncherSettings* s = Settings;
    if (!s->ItemButtons)
        return;
    // Left to the system, every button gets a WM_PAINT of its own, and the class sizes the icon
    // at every paint by asking for copies of its bitmaps: under Wine eleven server round trips a
    // button, most of what a page change of 20 icons cost beyond its item reads and icon loads.
    // The window's DC reaches the buttons too, for the window does not clip its children.
    HDC dc = GetDC(window);
    for (int p = 0; p < n; ++p) {
        if (!s->ItemButtons[p].Window)
            continue;
        int saved = SaveDC(dc);
        SetViewportOrgEx(dc, kButtonSize * p, 0, nullptr);
        PaintItemButton(s->ItemButtons[p].Window, dc);
        RestoreDC(dc, saved);
    }
    ReleaseDC(window, dc);
    RECT row = {0, 0, kButtonSize * n, kButtonSize};
    RedrawWindow(window, &row, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
}

void ShowCurrentPage(HWND window)
{
    HCURSOR kept = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    ReleasePageIcons(Settings->IconsPerPage);
    LoadPageIcons(Settings->IconsPerPage);
    PaintItemRow(window, Settings->IconsPerPage);
    UpdateMainTitle(window);
    SetCursor(kept);
}

LRESULT StepPage(HWND window, NMHDR* notification)
{
    LauncherSettings* s = Settings;
    if (!notification || notification->hwndFrom != s->PageSpinner ||
        notification->code != static_cast<UINT>(UDN_DELTAPOS))
        return 0;
    const NMUPDOWN* change = reinterpret_cast<const NMUPDOWN*>(notification);
    int kept = s->CurrentPage;
    int page = change->iDelta > 0 ? kept + 1 : kept - 1;
    if (page < 0)
        page = 0;
    if (page > s->MaxPages - 1)
        page = s->MaxPages - 1;
    s->CurrentPage = page;
    if (page != kept)
        ShowCurrentPage(window);
    return 0;
}

void RebuildItemGrid(HWND window, int oldCount, int newCount)
{
    ReleasePageIcons(oldCount);
    DestroyItemButtons(oldCount);
    CreateItemButtons(window, newCount);
    LoadPageIcons(newCount);
    UpdateMainTitle(window);
}

int SetItemTooltip(int controlId, const char* caption)
{
    if (!PageTooltip)
        return 0;
    if (caption && *caption) {
        if (!PageTooltip->SetToolText(controlId, caption))
            PageTooltip->AddTool(controlId, caption);
    } else {
        PageTooltip->RemoveTool(controlId);
    }
    return 1;
}

TooltipManager* ItemTooltip()
{
    return PageTooltip;
}

LRESULT CALLBACK ItemButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LauncherSettings* s = Settings;
    if (!s || !s->ItemButtons)
        return DefWindowProcA(button, message, wParam, lParam);
    if (message == WM_RBUTTONDOWN) {
        int position = -1;
        for (int p = 0; p < s->IconsPerPage; ++p) {
            if (s->ItemButtons[p].Window == button) {
                position = p;
                break;
            }
        }
        // Posted: the menu opens after this message returned, so a command that rebuilds the
        // grid (a move) does not destroy the button while its procedure still runs.
        PostMessageA(GetParent(button), WM_ITEMMENU, static_cast<WPARAM>(position), lParam);
    }
    return CallWindowProcA(s->ItemButtons[0].BaseProc, button, message, wParam, lParam);
}

HICON LoadFileIcon(const char* path, int index)
{
    if (!path || !*path)
        return nullptr;
    // ExtractIconA answers 1, not an icon, for a file that holds no icons (a document), and
    // the number of icons in the file for index -1. Neither is an icon: such an item shows
    // its file's shell icon instead.
    if (index != -1) {
        HICON icon = ExtractIconA(AppInstance, path, static_cast<UINT>(index));
        if (icon && icon != reinterpret_cast<HICON>(1))
            return icon;
    }
    SHFILEINFOA info = {};
    if (SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_ICON))
        return info.hIcon;
    return nullptr;
}

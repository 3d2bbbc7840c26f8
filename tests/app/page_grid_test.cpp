// The icon page grid in the real main window: its geometry, paging with the spinner's arrows,
// icons and tooltips of the slots, rebuilding for another count, the file icon lookup, and
// that none of it leaves handles behind.
#include "test_support.h"

#include <commctrl.h>
#include <stdio.h>

#include <string>

#include "app/page_grid.h"
#include "resource.h"
#include "store/reg_key.h"

namespace {

const char kNotepad[] = "C:\\windows\\notepad.exe";
const char kShell32[] = "C:\\windows\\system32\\shell32.dll";
// A document: it holds no icon of its own.
const char kDocument[] = "C:\\windows\\win.ini";

void WriteSetting(const char* name, DWORD value)
{
    REQUIRE(RegKey(VELDAR_REG_BASE, VELDAR_REG_SETTINGS, false).WriteDword(name, value));
}

void PutItem(int slot, const char* caption, const char* iconPath, int iconIndex = 0)
{
    ItemSlot item = {};
    snprintf(item.Caption, sizeof item.Caption, "%s", caption);
    snprintf(item.FilePath, sizeof item.FilePath, "%s", iconPath);
    snprintf(item.IconPath, sizeof item.IconPath, "%s", iconPath);
    item.IconIndex = iconIndex;
    SaveItem(slot, &item);
}

// Slots 0..count-1 hold "項目 <slot>" with icons from a few different files, and of a
// document.
void PutNumberedItems(int count)
{
    const char* files[] = {kNotepad, kDocument, kShell32};
    for (int slot = 0; slot < count; ++slot) {
        char caption[32];
        snprintf(caption, sizeof caption, "項目 %d", slot);
        PutItem(slot, caption, files[slot % 3], slot % 3 == 2 ? slot : 0);
    }
}

// "x,y wxh" of a child in its parent's client area, or of a window's own client area.
std::string Box(int x, int y, int width, int height)
{
    char text[48];
    snprintf(text, sizeof text, "%d,%d %dx%d", x, y, width, height);
    return text;
}

std::string PlaceOf(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return Box(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

std::string ClientOf(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    return Box(0, 0, r.right, r.bottom);
}

// A press and release on the upper or lower arrow, as the mouse delivers them.
void ClickSpinner(bool up)
{
    RECT r;
    GetClientRect(Settings->PageSpinner, &r);
    LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
    PostMessageA(Settings->PageSpinner, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(Settings->PageSpinner, WM_LBUTTONUP, 0, at);
    ui::Pump(0);
}

HWND Button(HWND window, int position)
{
    return GetDlgItem(window, IDC_ITEM_BUTTON_FIRST + position);
}

HICON ButtonIcon(HWND window, int position)
{
    return reinterpret_cast<HICON>(
        SendMessageA(Button(window, position), BM_GETIMAGE, IMAGE_ICON, 0));
}

std::string TipText(HWND window, int position)
{
    REQUIRE(ItemTooltip());
    return ui::TooltipText(ItemTooltip()->TooltipWindow(), Button(window, position));
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// What a page change or rebuild could leave behind, in one line that a failure prints.
std::string Census(HWND window)
{
    int children = 0, windows = 0;
    EnumChildWindows(window, CountWindow, reinterpret_cast<LPARAM>(&children));
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    char text[160];
    snprintf(text, sizeof text, "gdi %d, children %d, windows %d, records %d, hooks %d",
             ui::GdiObjectCount(), children, windows, LiveTooltipRecords(), LiveTooltipHooks());
    return text;
}

void Rebuild(HWND window, int from, int to)
{
    Settings->IconsPerPage = to;
    RebuildItemGrid(window, from, to);
}

} // namespace

TEST_CASE("the main window is as wide as its row and 38 pixels high, whatever is tried")
{
    static int icons;
    for (int n : {3, 10, 20}) {
        CAPTURE(n);
        icons = n;
        LauncherWindow launcher([] { WriteSetting("Ico", icons); });
        HWND w = launcher.window;
        // 152, 418 and 798 pixels wide.
        CHECK(ClientOf(w) == Box(0, 0, 38 * n + 38, 38));
        for (int p = 0; p < n; ++p)
            CHECK(PlaceOf(Button(w, p)) == Box(38 * p, 0, 38, 38));
        CHECK(Button(w, n) == nullptr);
        CHECK(PlaceOf(Settings->PageSpinner) == Box(38 * n, 0, 19, 38));
        CHECK(PlaceOf(Settings->ToolsMenuButton) == Box(38 * n + 19, 0, 19, 19));
        CHECK(PlaceOf(Settings->LauncherMenuButton) == Box(38 * n + 19, 19, 19, 19));

        // A resize from the frame arrives as a plain size change, and is undone at once.
        SetWindowPos(w, nullptr, 0, 0, 640, 200, SWP_NOMOVE | SWP_NOZORDER);
        CHECK(ClientOf(w) == Box(0, 0, 38 * n + 38, 38));
    }
}

TEST_CASE("item buttons show their slot's icon and caption, page by page with the spinner")
{
    // Three pages of ten: slot 0 on the first, 11 on the second.
    LauncherWindow launcher([] {
        WriteSetting("Page", 3);
        PutItem(0, "メモ帳", kNotepad);
        PutItem(11, "シェル", kShell32, 4);
    });
    HWND w = launcher.window;
    CHECK(ui::TextOf(w) == "Veldar - 1");
    CHECK(ButtonIcon(w, 0) != nullptr);
    CHECK(ButtonIcon(w, 1) == nullptr);
    CHECK(TipText(w, 0) == "メモ帳");
    CHECK(TipText(w, 1) == "");

    SUBCASE("up shows the next page, down the previous, on the same buttons; not past the ends")
    {
        HWND first = Button(w, 0);
        HWND tooltip = ItemTooltip()->TooltipWindow();
        HHOOK hook = ItemTooltip()->Hook();
        // Past either end the page is not even refreshed.
        ClickSpinner(false);
        CHECK(Settings->CurrentPage == 0);
        CHECK(ItemTooltip()->TooltipWindow() == tooltip);

        ClickSpinner(true);
        CHECK(ui::TextOf(w) == "Veldar - 2");
        CHECK_FALSE(IsWindow(tooltip));
        CHECK_FALSE(UnhookWindowsHookEx(hook));
        CHECK(LiveTooltipHooks() == 1);
        CHECK(ButtonIcon(w, 0) == nullptr);
        CHECK(TipText(w, 0) == "");
        CHECK(ButtonIcon(w, 1) != nullptr);
        CHECK(TipText(w, 1) == "シェル");
        ClickSpinner(false);
        CHECK(ui::TextOf(w) == "Veldar - 1");
        CHECK(TipText(w, 0) == "メモ帳");
        CHECK(Button(w, 0) == first);

        ClickSpinner(true);
        ClickSpinner(true);
        tooltip = ItemTooltip()->TooltipWindow();
        ClickSpinner(true);
        CHECK(Settings->CurrentPage == 2);
        CHECK(ItemTooltip()->TooltipWindow() == tooltip);
        CHECK(ui::TextOf(w) == "Veldar - 3");
    }
    SUBCASE("a changed, cleared or new caption shows at the next request")
    {
        HWND tooltip = ItemTooltip()->TooltipWindow();
        LRESULT tools = SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0);
        CHECK(SetItemTooltip(IDC_ITEM_BUTTON_FIRST, "新しい名前") == 1);
        CHECK(TipText(w, 0) == "新しい名前");
        // The text is asked for at every showing, so a change needs no new registration.
        CHECK(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0) == tools);
        CHECK(SetItemTooltip(IDC_ITEM_BUTTON_FIRST, "") == 1);
        CHECK(TipText(w, 0) == "");
        CHECK(SetItemTooltip(IDC_ITEM_BUTTON_FIRST + 1, "空きに登録") == 1);
        CHECK(TipText(w, 1) == "空きに登録");
    }
}

TEST_CASE("a start page beyond the last page is shown as stored; either arrow goes to the last")
{
    for (bool up : {true, false}) {
        CAPTURE(up);
        LauncherWindow launcher([] {
            WriteSetting("Page", 5);
            WriteSetting("Start", 7);
        });
        CHECK(ui::TextOf(launcher.window) == "Veldar - 8");
        ClickSpinner(up);
        CHECK(ui::TextOf(launcher.window) == "Veldar - 5");
    }
}

TEST_CASE("a rebuild regroups the slots; page changes and rebuilds leave no handle behind")
{
    LauncherWindow launcher([] {
        WriteSetting("Start", 1);
        PutNumberedItems(20);
    });
    HWND w = launcher.window;
    CHECK(TipText(w, 0) == "項目 10");
    Rebuild(w, 10, 5);
    for (int p = 0; p < 5; ++p) {
        CHECK(TipText(w, p) == "項目 " + std::to_string(5 + p));
        CHECK(ButtonIcon(w, p) != nullptr);
    }
    CHECK(Button(w, 5) == nullptr);
    CHECK(ClientOf(w) == Box(0, 0, 228, 38));
    CHECK(ui::TextOf(w) == "Veldar - 2");

    // The first rounds warm the system's caches of DCs and regions.
    Rebuild(w, 5, 10);
    ClickSpinner(true);
    ClickSpinner(false);
    ui::Pump(0);
    REQUIRE(ui::GdiObjectCount() > 0);
    std::string before = Census(w);
    for (int i = 0; i < 100; ++i) {
        ClickSpinner(true);
        ClickSpinner(false);
    }
    for (int i = 0; i < 25; ++i) {
        Rebuild(w, 10, 5);
        Rebuild(w, 5, 10);
    }
    ui::Pump(0);
    CHECK(Census(w) == before);
    CHECK(LiveTooltipRecords() == 10);
    CHECK(LiveTooltipHooks() == 1);

    DestroyWindow(w);
    CHECK(ItemTooltip() == nullptr);
    CHECK(LiveTooltipRecords() == 0);
    CHECK(LiveTooltipHooks() == 0);
}

TEST_CASE("LoadFileIcon gives the icon inside the file, else the file's shell icon")
{
    // A document holds no icon (ExtractIcon answers 1), and index -1 asks for the number of
    // icons in the file: both, like an index past the last icon, give the shell icon.
    const struct {
        const char* path;
        int index;
        bool icon;
    } cases[] = {{kShell32, 3, true},
                 {kShell32, 5000, true},
                 {kDocument, 0, true},
                 {kShell32, -1, true},
                 {"C:\\no\\such\\file.exe", 0, false},
                 {"", 0, false},
                 {nullptr, 0, false}};
    for (const auto& c : cases) {
        CAPTURE(c.path);
        CAPTURE(c.index);
        HICON icon = LoadFileIcon(c.path, c.index);
        // Only a real icon can be destroyed.
        CHECK((c.icon ? DestroyIcon(icon) != FALSE : icon == nullptr));
    }
}

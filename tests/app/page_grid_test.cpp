// The icon page grid in the real main window: its geometry, paging with the spinner's arrows,
// icons and tooltips of the slots, rebuilding for another count, the file icon lookup, and
// that none of it leaves handles behind.
#include "test_support.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/page_grid.h"
#include "resource.h"
#include "store/reg_key.h"

namespace {

const char kNotepad[] = "C:\\windows\\notepad.exe";
const char kRegedit[] = "C:\\windows\\regedit.exe";
const char kShell32[] = "C:\\windows\\system32\\shell32.dll";

void WriteSetting(const char* name, DWORD value)
{
    RegKey key(VELDAR_REG_BASE, VELDAR_REG_SETTINGS, false);
    REQUIRE(key.WriteDword(name, value));
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

// Slots 0..count-1 hold "項目 <slot>" with icons from a few different files.
void PutNumberedItems(int count)
{
    const char* files[] = {kNotepad, kRegedit, kShell32};
    for (int slot = 0; slot < count; ++slot) {
        char caption[32];
        snprintf(caption, sizeof caption, "項目 %d", slot);
        PutItem(slot, caption, files[slot % 3], slot % 3 == 2 ? slot : 0);
    }
}

void CheckPlace(HWND child, int x, int y, int width, int height)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    CHECK(r.left == x);
    CHECK(r.top == y);
    CHECK(r.right - r.left == width);
    CHECK(r.bottom - r.top == height);
}

SIZE ClientSize(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// A press and release on the upper or lower arrow, as the mouse delivers them.
void ClickSpinner(bool up)
{
    HWND spinner = Settings->PageSpinner;
    RECT r;
    GetClientRect(spinner, &r);
    LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
    PostMessageA(spinner, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(spinner, WM_LBUTTONUP, 0, at);
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

// What the tooltip window gets from the main window when it asks for the text of a button.
std::string TipText(HWND window, int position)
{
    REQUIRE(ItemTooltip());
    char text[1024] = "";
    TTTOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.hwnd = window;
    info.uId = reinterpret_cast<UINT_PTR>(Button(window, position));
    info.lpszText = text;
    SendMessageA(ItemTooltip()->TooltipWindow(), TTM_GETTEXTA, sizeof text,
                 reinterpret_cast<LPARAM>(&info));
    return text;
}

int RegisteredTools()
{
    return static_cast<int>(SendMessageA(ItemTooltip()->TooltipWindow(), TTM_GETTOOLCOUNT, 0, 0));
}

std::vector<HWND> Buttons(HWND window)
{
    std::vector<HWND> buttons;
    for (int p = 0; p < Settings->IconsPerPage; ++p)
        buttons.push_back(Button(window, p));
    return buttons;
}

bool IsRealIcon(HICON icon)
{
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

// Live GDI objects of this process, from the handle table that the process shares with the
// system (GetGuiResources reports nothing under Wine). Stock objects are left out.
int LiveGdiObjects()
{
    const BYTE* peb;
    __asm__("movl %%fs:0x30, %0" : "=r"(peb));
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + 0x94);
    if (!table)
        return -1;
    const int kEntries = 0x10000, kEntrySize = 24;
    int count = 0;
    for (int i = 0; i < kEntries; ++i) {
        const BYTE* entry = table + i * kEntrySize;
        WORD unique = *reinterpret_cast<const WORD*>(entry + 12);
        if (entry[14] != 0 && !(unique & 0x80))
            ++count;
    }
    return count;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

struct Census {
    int gdi, children, threadWindows, records, hooks;
    bool operator==(const Census& o) const
    {
        return gdi == o.gdi && children == o.children && threadWindows == o.threadWindows &&
               records == o.records && hooks == o.hooks;
    }
};

doctest::String toString(const Census& c)
{
    char text[160];
    snprintf(text, sizeof text, "{gdi %d, children %d, windows %d, records %d, hooks %d}", c.gdi,
             c.children, c.threadWindows, c.records, c.hooks);
    return text;
}

Census Count(HWND window)
{
    Census c = {LiveGdiObjects(), 0, 0, LiveTooltipRecords(), LiveTooltipHooks()};
    EnumChildWindows(window, CountWindow, reinterpret_cast<LPARAM>(&c.children));
    EnumThreadWindows(GetCurrentThreadId(), CountWindow,
                      reinterpret_cast<LPARAM>(&c.threadWindows));
    return c;
}

std::string TextFile()
{
    char path[MAX_PATH];
    GetTempPathA(sizeof path, path);
    strncat(path, "veldar_note.txt", sizeof path - strlen(path) - 1);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(file, "note", 4, &written, nullptr);
    CloseHandle(file);
    return path;
}

} // namespace

TEST_CASE("the main window is as wide as its row and 38 pixels high, whatever is tried")
{
    struct Shape {
        int icons;
        void (*prepare)();
        int width;
    };
    const Shape shapes[] = {
        {3, [] { WriteSetting("Ico", 3); }, 152},
        {10, nullptr, 418},
        {20, [] { WriteSetting("Ico", 20); }, 798},
    };
    for (const Shape& shape : shapes) {
        CAPTURE(shape.icons);
        LauncherWindow launcher(shape.prepare);
        HWND w = launcher.window;
        int n = shape.icons;
        SIZE client = ClientSize(w);
        CHECK(client.cx == shape.width);
        CHECK(client.cy == 38);
        for (int p = 0; p < n; ++p)
            CheckPlace(Button(w, p), 38 * p, 0, 38, 38);
        CHECK(Button(w, n) == nullptr);
        CheckPlace(GetDlgItem(w, IDC_PAGE_SPINNER), 38 * n, 0, 19, 38);
        CheckPlace(GetDlgItem(w, IDC_TOOLS_MENU_BUTTON), 38 * n + 19, 0, 19, 19);
        CheckPlace(GetDlgItem(w, IDC_LAUNCHER_MENU_BUTTON), 38 * n + 19, 19, 19, 19);

        // A resize from the frame arrives as a plain size change, and is undone at once.
        SetWindowPos(w, nullptr, 0, 0, 640, 200, SWP_NOMOVE | SWP_NOZORDER);
        client = ClientSize(w);
        CHECK(client.cx == shape.width);
        CHECK(client.cy == 38);
    }
}

TEST_CASE("the spinner's arrows step one page at a time, clamped at both ends")
{
    LauncherWindow launcher([] {
        WriteSetting("Page", 3);
        PutItem(0, "メモ帳", kNotepad);
        PutItem(10, "レジストリ", kRegedit);
        PutItem(20, "シェル", kShell32, 4);
    });
    HWND w = launcher.window;
    std::vector<HWND> buttons = Buttons(w);
    CHECK(ui::TextOf(w) == "Veldar - 1");
    CHECK(TipText(w, 0) == "メモ帳");

    SUBCASE("up shows the next page, down the previous, on the same buttons")
    {
        ClickSpinner(true);
        CHECK(Settings->CurrentPage == 1);
        CHECK(ui::TextOf(w) == "Veldar - 2");
        CHECK(TipText(w, 0) == "レジストリ");
        CHECK(Buttons(w) == buttons);
        ClickSpinner(false);
        CHECK(ui::TextOf(w) == "Veldar - 1");
        CHECK(TipText(w, 0) == "メモ帳");
        CHECK(Buttons(w) == buttons);
    }
    SUBCASE("past either end nothing is refreshed")
    {
        HWND tooltip = ItemTooltip()->TooltipWindow();
        HICON icon = ButtonIcon(w, 0);
        ClickSpinner(false);
        CHECK(Settings->CurrentPage == 0);
        CHECK(ui::TextOf(w) == "Veldar - 1");
        CHECK(ItemTooltip()->TooltipWindow() == tooltip);
        CHECK(ButtonIcon(w, 0) == icon);

        ClickSpinner(true);
        ClickSpinner(true);
        CHECK(ui::TextOf(w) == "Veldar - 3");
        tooltip = ItemTooltip()->TooltipWindow();
        icon = ButtonIcon(w, 0);
        ClickSpinner(true);
        CHECK(Settings->CurrentPage == 2);
        CHECK(ui::TextOf(w) == "Veldar - 3");
        CHECK(ItemTooltip()->TooltipWindow() == tooltip);
        CHECK(ButtonIcon(w, 0) == icon);
    }
}

TEST_CASE("a start page beyond the last page is shown as stored; the first step goes to the last")
{
    LauncherWindow launcher([] {
        WriteSetting("Page", 5);
        WriteSetting("Start", 7);
    });
    HWND w = launcher.window;
    CHECK(ui::TextOf(w) == "Veldar - 8");
    bool up = true;
    SUBCASE("upper arrow")
    {
        up = true;
    }
    SUBCASE("lower arrow")
    {
        up = false;
    }
    ClickSpinner(up);
    CHECK(Settings->CurrentPage == 4);
    CHECK(ui::TextOf(w) == "Veldar - 5");
}

TEST_CASE("item buttons show the icon and the caption of their slot, empty slots nothing")
{
    LauncherWindow launcher([] {
        PutItem(0, "メモ帳", kNotepad);
        PutItem(2, "シェル", kShell32, 3);
        PutItem(11, "レジストリ", kRegedit);
    });
    HWND w = launcher.window;
    CHECK(ButtonIcon(w, 0) != nullptr);
    CHECK(ButtonIcon(w, 0) == Settings->ItemButtons[0].Icon);
    CHECK(ButtonIcon(w, 2) != nullptr);
    CHECK(ButtonIcon(w, 1) == nullptr);
    CHECK(Settings->ItemButtons[1].Icon == nullptr);
    CHECK(TipText(w, 0) == "メモ帳");
    CHECK(TipText(w, 2) == "シェル");
    CHECK(TipText(w, 1) == "");

    SUBCASE("a page change replaces the tooltip window and its hook")
    {
        HWND oldTooltip = ItemTooltip()->TooltipWindow();
        HHOOK oldHook = ItemTooltip()->Hook();
        ClickSpinner(true);
        CHECK_FALSE(IsWindow(oldTooltip));
        CHECK_FALSE(UnhookWindowsHookEx(oldHook));
        CHECK(LiveTooltipHooks() == 1);
        CHECK(LiveTooltipRecords() == Settings->IconsPerPage);
        CHECK(ButtonIcon(w, 0) == nullptr);
        CHECK(TipText(w, 0) == "");
        CHECK(ButtonIcon(w, 1) != nullptr);
        CHECK(TipText(w, 1) == "レジストリ");
    }
    SUBCASE("a changed caption shows at the next request, without a new registration")
    {
        int tools = RegisteredTools();
        CHECK(SetItemTooltip(IDC_ITEM_BUTTON_FIRST, "新しい名前") == 1);
        CHECK(TipText(w, 0) == "新しい名前");
        CHECK(RegisteredTools() == tools);
    }
    SUBCASE("a cleared slot gives no text, and an item registered there its new caption")
    {
        CHECK(SetItemTooltip(IDC_ITEM_BUTTON_FIRST, "") == 1);
        CHECK(TipText(w, 0) == "");
        CHECK(SetItemTooltip(IDC_ITEM_BUTTON_FIRST, "次の項目") == 1);
        CHECK(TipText(w, 0) == "次の項目");
        CHECK(SetItemTooltip(IDC_ITEM_BUTTON_FIRST + 1, "空きに登録") == 1);
        CHECK(TipText(w, 1) == "空きに登録");
    }
    SUBCASE("without a tooltip there is nothing to set and nothing answers")
    {
        ReleasePageIcons(Settings->IconsPerPage);
        CHECK(ItemTooltip() == nullptr);
        CHECK(SetItemTooltip(IDC_ITEM_BUTTON_FIRST, "x") == 0);
        NMTTDISPINFOA request = {};
        request.hdr.idFrom = reinterpret_cast<UINT_PTR>(Button(w, 0));
        request.hdr.code = TTN_GETDISPINFOA;
        CHECK(SendMessageA(w, WM_NOTIFY, request.hdr.idFrom, reinterpret_cast<LPARAM>(&request)) ==
              0);
        CHECK(request.lpszText == nullptr);
    }
}

TEST_CASE("fewer icons per page regroup the slots and narrow the window")
{
    LauncherWindow launcher([] {
        WriteSetting("Start", 1);
        PutNumberedItems(20);
    });
    HWND w = launcher.window;
    CHECK(TipText(w, 0) == "項目 10");
    int width = ClientSize(w).cx;

    Settings->IconsPerPage = 5;
    RebuildItemGrid(w, 10, 5);
    for (int p = 0; p < 5; ++p) {
        char caption[32];
        snprintf(caption, sizeof caption, "項目 %d", 5 + p);
        CHECK(TipText(w, p) == caption);
        CHECK(ButtonIcon(w, p) != nullptr);
    }
    CHECK(Button(w, 5) == nullptr);
    CHECK(ClientSize(w).cx == width - 190);
    CHECK(ui::TextOf(w) == "Veldar - 2");
    CheckPlace(GetDlgItem(w, IDC_PAGE_SPINNER), 190, 0, 19, 38);
}

TEST_CASE("page changes and rebuilds leave no icon, GDI object, window, record or hook behind")
{
    LauncherWindow launcher([] {
        PutNumberedItems(20);
        PutItem(4, "メモ", TextFile().c_str());
    });
    HWND w = launcher.window;
    // The first rounds warm the system's caches of DCs and regions.
    ClickSpinner(true);
    ClickSpinner(false);
    Settings->IconsPerPage = 5;
    RebuildItemGrid(w, 10, 5);
    Settings->IconsPerPage = 10;
    RebuildItemGrid(w, 5, 10);
    ui::Pump(0);
    Census before = Count(w);
    REQUIRE(before.gdi > 0);

    for (int i = 0; i < 100; ++i) {
        ClickSpinner(true);
        ClickSpinner(false);
    }
    for (int i = 0; i < 25; ++i) {
        Settings->IconsPerPage = 5;
        RebuildItemGrid(w, 10, 5);
        Settings->IconsPerPage = 10;
        RebuildItemGrid(w, 5, 10);
    }
    ui::Pump(0);
    CHECK(Count(w) == before);
    CHECK(before.records == 10);
    CHECK(before.hooks == 1);

    DestroyWindow(w);
    CHECK(ItemTooltip() == nullptr);
    CHECK(LiveTooltipRecords() == 0);
    CHECK(LiveTooltipHooks() == 0);
}

TEST_CASE("LoadFileIcon gives the icon inside the file, else the file's shell icon")
{
    FreshSettings fresh;
    SUBCASE("no path asks nothing")
    {
        CHECK(LoadFileIcon(nullptr, 0) == nullptr);
        CHECK(LoadFileIcon("", 0) == nullptr);
    }
    SUBCASE("an icon by index, and the shell icon past the last index")
    {
        HICON icon = LoadFileIcon(kShell32, 3);
        CHECK(IsRealIcon(icon));
        DestroyIcon(icon);
        icon = LoadFileIcon(kShell32, 5000);
        CHECK(IsRealIcon(icon));
        DestroyIcon(icon);
    }
    SUBCASE("a document, which holds no icon, gives its shell icon")
    {
        HICON icon = LoadFileIcon(TextFile().c_str(), 0);
        CHECK(icon != reinterpret_cast<HICON>(1));
        CHECK(IsRealIcon(icon));
        DestroyIcon(icon);
    }
    SUBCASE("index -1, which asks for the number of icons, gives the shell icon")
    {
        HICON icon = LoadFileIcon(kShell32, -1);
        CHECK(IsRealIcon(icon));
        DestroyIcon(icon);
    }
    SUBCASE("a missing file gives null")
    {
        CHECK(LoadFileIcon("C:\\no\\such\\file.exe", 0) == nullptr);
    }
}

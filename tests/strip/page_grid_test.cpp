// The icon page grid in the real main window: paging, icons and tips, rebuilds, no leaks.
#include "test_support.h"

#include "resource.h"
#include "strip/page_grid.h"

const char kShell32[] = "C:\\windows\\system32\\shell32.dll";
const char kDocument[] = "C:\\windows\\win.ini"; // holds no icon of its own

// A press and release on the upper or lower arrow, as the mouse delivers them.
static void ClickSpinner(bool up)
{
    RECT r;
    GetClientRect(Settings->PageSpinner, &r);
    LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
    PostMessageA(Settings->PageSpinner, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(Settings->PageSpinner, WM_LBUTTONUP, 0, at);
    ui::DrainMessages();
}

// "x,y wxh" of a child in the main window's client area; of the client area itself for null.
static std::string Box(HWND child)
{
    RECT r;
    child ? GetWindowRect(child, &r) : GetClientRect(MainWindow, &r);
    MapWindowPoints(child ? nullptr : MainWindow, MainWindow, reinterpret_cast<POINT*>(&r), 2);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// What a page change or rebuild could leave behind, in one line that a failure prints.
static std::string Census()
{
    return std::to_string(ui::GdiObjectCount()) + " gdi " +
           std::to_string(ui::WindowCount(MainWindow)) + " windows " +
           std::to_string(LiveTooltipRecords() * 100 + LiveTooltipHooks()) + " records*100+hooks";
}

// Whether the row, painted over black, shows the button as the class renders it (WM_PRINTCLIENT).
static bool PaintedAsTheClass(HWND button)
{
    HDC screen = GetDC(button), memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, CreateCompatibleBitmap(screen, kButtonSize, kButtonSize));
    SendMessageA(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    PatBlt(screen, 0, 0, kButtonSize, kButtonSize, BLACKNESS);
    PaintItemRow(MainWindow, Settings->IconsPerPage);
    bool same = true;
    for (int i = 0; i < kButtonSize * kButtonSize; ++i)
        same &= GetPixel(screen, i % kButtonSize, i / kButtonSize) ==
                GetPixel(memory, i % kButtonSize, i / kButtonSize);
    DeleteObject(SelectObject(memory, old)), DeleteDC(memory), ReleaseDC(button, screen);
    return same;
}

static void Rebuild(int from, int to)
{
    Settings->IconsPerPage = to;
    RebuildItemGrid(MainWindow, from, to);
}

TEST_CASE("the spinner pages through the slots on the same buttons, from a start page beyond "
          "the last to the first and not past either end")
{
    LauncherWindow launcher([] {
        WriteSetting("Page", 3), WriteSetting("Start", 7); // the first step goes to the last page
        ItemSlot notepad = MakeItem("メモ帳", "C:\\windows\\notepad.exe");
        ItemSlot shell = MakeItem("シェル", kShell32, "", "", 0, 4);
        SaveItem(0, &notepad), SaveItem(11, &shell);
    });
    REQUIRE(ItemTooltip());
    HWND button = Settings->ItemButtons[0].Window, tooltip = ItemTooltip()->TooltipWindow();
    std::string seen = ui::TextOf(MainWindow);
    for (bool up : {false, false, false, false, true, true, true}) {
        ClickSpinner(up);
        seen += " | " + ui::TextOf(MainWindow) + " " + Shown(0) + Shown(1);
    }
    CHECK(seen == "Veldar - 8 | Veldar - 3 -- | Veldar - 2 -シェル | Veldar - 1 メモ帳- | "
                  "Veldar - 1 メモ帳- | Veldar - 2 -シェル | Veldar - 3 -- | Veldar - 3 --");
    // One tooltip window and hook serve every page, with the tools of the page shown. A new
    // caption needs no new registration: the text is asked for at every showing.
    CHECK((Settings->ItemButtons[0].Window == button && ItemTooltip()->TooltipWindow() == tooltip &&
           LiveTooltipHooks() == 1));
    CHECK((SetItemTooltip(IDC_ITEM_BUTTON_FIRST + 3, "新しい名前") == 1 &&
           ui::TooltipText(tooltip, Settings->ItemButtons[3].Window) == "新しい名前" &&
           SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0) == Settings->IconsPerPage));
}

TEST_CASE("a rebuild regroups the slots and sizes the row; page changes and rebuilds leak "
          "nothing; a file without the icon asked for shows its shell icon")
{
    LauncherWindow launcher([] {
        WriteSetting("Start", 1);
        const char* files[] = {"C:\\windows\\notepad.exe", kDocument, kShell32};
        for (int slot = 0; slot < 20; ++slot) {
            ItemSlot item =
                MakeItem(std::to_string(slot).c_str(), files[slot % 3], "", "", 0, slot);
            SaveItem(slot, &item);
        }
    });
    CHECK(Shown(0) + Shown(9) == "1019");
    REQUIRE(ItemTooltip());
    // A page change paints its row as the BUTTON class paints each button, pushed and focused too.
    HWND first = Settings->ItemButtons[0].Window, tooltip = ItemTooltip()->TooltipWindow();
    CHECK(PaintedAsTheClass(first));
    SetFocus(first), SendMessageA(first, BM_SETSTATE, TRUE, 0);
    CHECK((GetFocus() == first && PaintedAsTheClass(first)));
    Rebuild(10, 5);
    // Whatever size the frame is given, the client area stays the row.
    SetWindowPos(MainWindow, nullptr, 0, 0, 640, 200, SWP_NOMOVE | SWP_NOZORDER);
    CHECK(Shown(0) + Shown(1) + Shown(2) + Shown(3) + Shown(4) + " " + ui::TextOf(MainWindow) +
              " " + Box(nullptr) + " " + Box(Settings->ItemButtons[4].Window) + " " +
              Box(Settings->PageSpinner) + " " + Box(Settings->ToolsMenuButton) + " " +
              Box(Settings->LauncherMenuButton) ==
          "56789 Veldar - 2 0,0 228x38 152,0 38x38 190,0 19x38 209,0 19x19 209,19 19x19");
    CHECK((GetDlgItem(MainWindow, IDC_ITEM_BUTTON_FIRST + 5) == nullptr && !IsWindow(tooltip)));

    // The first round warms the system's caches of DCs and regions.
    Rebuild(5, 10);
    ClickSpinner(true), ClickSpinner(false);
    std::string before = Census();
    for (int i = 0; i < 200; ++i)
        ClickSpinner(i % 2 == 0);
    Rebuild(10, 5), Rebuild(5, 10);
    CHECK(Census() == before);
    // An item-button array the allocator refuses is reported as a lack of memory, not with the
    // text of the last error, here a success.
    std::string text;
    ui::UiScript script;
    script.Answer(IDOK, &text);
    SetLastError(ERROR_SUCCESS), Rebuild(10, -1);
    CHECK(text == ui::SystemText(ERROR_NOT_ENOUGH_MEMORY));
    DestroyWindow(MainWindow);
    CHECK((ItemTooltip() == nullptr && LiveTooltipRecords() + LiveTooltipHooks() == 0));

    // A missing index, a document and index -1 (a count, not an icon) give the shell icon.
    const char* paths[] = {kShell32,           kShell32, kDocument, kShell32,
                           "C:\\no\\such.exe", "",       nullptr};
    const int indexes[] = {3, 5000, 0, -1, 0, 0, 0};
    for (int i = 0; i < 7; ++i) {
        HICON icon = LoadFileIcon(paths[i], indexes[i]);
        CHECK((i < 4 ? DestroyIcon(icon) != FALSE : icon == nullptr));
    }
}

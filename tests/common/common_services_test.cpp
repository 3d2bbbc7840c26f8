// Error boxes, the platform family and window placement, on Wine's real windows.
#include "test_support.h"

#include "common/os_family.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "resource.h"

TEST_CASE("error boxes show the given text, the system's text or the program's string")
{
    const struct {
        int code;
        const char* text;
        DWORD lastError;
        std::string shown;
    } cases[] = {{IDS_ERR_BAD_VALUE, "ディスクがいっぱいです", 0, "ディスクがいっぱいです"},
                 {IDS_ERR_BAD_VALUE, "", 0, "不正な値です。"},
                 {IDS_ERR_REQUIRED, nullptr, 0, "必要な項目が入力されていません。"},
                 {31999, nullptr, 0, "Unknown Error. (31999)"},
                 {kLastError, nullptr, ERROR_FILE_NOT_FOUND, ui::SystemText(ERROR_FILE_NOT_FOUND)},
                 {kLastError, nullptr, 0x2BADBEEF, "Unknown Error. (732806895)"}};
    for (const auto& c : cases) {
        std::string seen, controls;
        ui::UiScript script; // every box has a caption, the error icon and only OK
        script.On(nullptr, [&](HWND box) {
            for (int id : {1088, IDOK, IDCANCEL, IDYES, IDNO})
                controls += GetDlgItem(box, id) ? std::to_string(id) + " " : "";
            seen = ui::TextOf(box).empty() ? "no caption" : ui::MessageText(box);
            ui::Click(box, IDOK);
        });
        SetLastError(c.lastError);
        CHECK(ReportError(c.code, c.text) == 0);
        CHECK(controls + seen.substr(0, c.shown.size()) == "1088 1 " + c.shown);
    }
}

TEST_CASE("the platform family is the one the prefix is set to")
{
    const char* expected = getenv("VELDAR_EXPECT_OS_FAMILY");
    CHECK(GetOsFamily() == (expected ? atoi(expected) : WindowsNT));
}

TEST_CASE("windows are placed on their reference and kept inside its monitor's work area")
{
    // The test display has a primary monitor and a larger second one that both start at 0,0;
    // a reference beyond the primary's right and bottom stands mostly on the second monitor.
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const int r = GetSystemMetrics(SM_CXVIRTUALSCREEN), b = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    REQUIRE((r > area.right && b > area.bottom));
    const struct {
        int refX, refY, width, offsetX, offsetY, x, y;
    } cases[] = {
        {100, 100, 300, 0, 0, 150, 150},                // centred on the 400 × 300 reference
        {100, 100, 300, 20, 35, 120, 135},              // at an offset from its corner
        {r - 100, b - 50, 300, 0, 0, r - 300, b - 200}, // pushed back from the second's edges
        {-100, -100, 300, 0, 0, 0, 0},                  // pushed back from the left and top
        {600, 0, area.right + 176, 0, 0, -176, 50},     // wider than the area: starts before it
    };
    for (const auto& c : cases) {
        HWND reference = Popup(c.refX, c.refY, 400, 300);
        HWND window = Popup(0, 0, c.width, 200);
        PlaceWindow(window, reference, c.offsetX, c.offsetY);
        RECT placed;
        GetWindowRect(window, &placed);
        CHECK((placed.left == c.x && placed.top == c.y));
        DestroyWindow(window), DestroyWindow(reference);
    }
}

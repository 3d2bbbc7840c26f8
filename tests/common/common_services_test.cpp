// Error boxes, the platform family and window placement, on Wine's real windows.
#include "test_support.h"

#include <stdlib.h>

#include <string>

#include "common/os_family.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "resource.h"

namespace {

struct BoxSeen {
    std::string text, caption;
    bool errorIcon = false, okButton = false, otherButtons = false;
};

// Runs ReportError and reads the box it shows, then presses OK.
BoxSeen ShowError(int code, const char* text)
{
    BoxSeen seen;
    ui::UiScript script;
    script.On(
        nullptr,
        [&seen](HWND box) {
            seen.text = ui::MessageText(box);
            seen.caption = ui::TextOf(box);
            seen.errorIcon = GetDlgItem(box, 1088) != nullptr;
            seen.okButton = GetDlgItem(box, IDOK) != nullptr;
            seen.otherButtons =
                GetDlgItem(box, IDCANCEL) || GetDlgItem(box, IDYES) || GetDlgItem(box, IDNO);
            ui::Click(box, IDOK);
        },
        "#32770");
    CHECK(ReportError(code, text) == 0);
    CHECK(script.Done());
    CHECK(script.Failures().empty());
    return seen;
}

HWND MakeWindow(int x, int y, int w, int h)
{
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, x, y, w, h, nullptr, nullptr, nullptr,
                           nullptr);
}

POINT TopLeft(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return {r.left, r.top};
}

} // namespace

TEST_CASE("error boxes show the given text, the system's text or the program's string")
{
    SUBCASE("a given text wins over the code")
    {
        BoxSeen seen = ShowError(IDS_ERR_BAD_VALUE, "ディスクがいっぱいです");
        CHECK(seen.text == "ディスクがいっぱいです");
        CHECK(seen.errorIcon);
        CHECK(seen.okButton);
        CHECK_FALSE(seen.otherButtons);
        CHECK(seen.caption != "Veldar");
        CHECK_FALSE(seen.caption.empty());
    }
    SUBCASE("an empty text counts as none")
    {
        CHECK(ShowError(IDS_ERR_BAD_VALUE, "").text == "不正な値です。");
    }
    SUBCASE("code -1 shows the system's text for the last error")
    {
        char expected[520] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       ERROR_FILE_NOT_FOUND, 0, expected, sizeof expected, nullptr);
        REQUIRE(expected[0] != '\0');
        SetLastError(ERROR_FILE_NOT_FOUND);
        BoxSeen seen = ShowError(kLastError, nullptr);
        // The static drops a trailing line break of the system text.
        std::string want = expected;
        while (!want.empty() && (want.back() == '\n' || want.back() == '\r'))
            want.pop_back();
        CHECK(seen.text.substr(0, want.size()) == want);
    }
    SUBCASE("an error code the system has no text for still gives a terminated text")
    {
        SetLastError(0x2BADBEEF);
        CHECK(ShowError(kLastError, nullptr).text == "Unknown Error. (732806895)");
    }
    SUBCASE("strings of the program, and a missing one")
    {
        CHECK(ShowError(IDS_ERR_BAD_VALUE, nullptr).text == "不正な値です。");
        CHECK(ShowError(IDS_ERR_REQUIRED, nullptr).text == "必要な項目が入力されていません。");
        CHECK(ShowError(31999, nullptr).text == "Unknown Error. (31999)");
    }
}

TEST_CASE("an input error names the missing field, then focuses the control")
{
    HWND dialog = CreateWindowExA(0, "#32770", "test", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    REQUIRE(dialog);
    HWND first = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, dialog,
                                 reinterpret_cast<HMENU>(101), nullptr, nullptr);
    HWND second = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 30, 50, 20, dialog,
                                  reinterpret_cast<HMENU>(102), nullptr, nullptr);
    SetForegroundWindow(dialog);
    SetFocus(first);

    std::string text;
    HWND focusWhileShown = nullptr;
    ui::UiScript script;
    script.On(
        nullptr,
        [&](HWND box) {
            text = ui::MessageText(box);
            focusWhileShown = GetFocus();
            ui::Click(box, IDOK);
        },
        "#32770");
    CHECK(ReportInputError(dialog, 102, 0) == 0);
    CHECK(text == "必要な項目が入力されていません。");
    CHECK(focusWhileShown != second);
    CHECK(GetFocus() == second);
    DestroyWindow(dialog);
}

TEST_CASE("the platform family is the one the prefix is set to")
{
    const char* expected = getenv("VELDAR_EXPECT_OS_FAMILY");
    int want = expected ? atoi(expected) : WindowsNT;
    CHECK(GetOsFamily() == want);
}

TEST_CASE("windows are placed on their reference and kept on the screen")
{
    HDC dc = GetDC(nullptr);
    int sw = GetDeviceCaps(dc, HORZRES), sh = GetDeviceCaps(dc, VERTRES);
    ReleaseDC(nullptr, dc);

    HWND reference = MakeWindow(100, 100, 400, 300);
    HWND window = MakeWindow(0, 0, 300, 200);
    REQUIRE(reference);
    REQUIRE(window);

    SUBCASE("centred")
    {
        PlaceWindow(window, reference, 0, 0);
        CHECK(TopLeft(window).x == 150);
        CHECK(TopLeft(window).y == 150);
    }
    SUBCASE("at an offset from the reference's corner")
    {
        PlaceWindow(window, reference, 20, 35);
        CHECK(TopLeft(window).x == 120);
        CHECK(TopLeft(window).y == 135);
    }
    SUBCASE("pushed back from the right and bottom edges")
    {
        SetWindowPos(reference, nullptr, sw - 100, sh - 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        PlaceWindow(window, reference, 0, 0);
        CHECK(TopLeft(window).x == sw - 300);
        CHECK(TopLeft(window).y == sh - 200);
    }
    SUBCASE("kept off negative coordinates")
    {
        SetWindowPos(reference, nullptr, -100, -100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        PlaceWindow(window, reference, 0, 0);
        CHECK(TopLeft(window).x == 0);
        CHECK(TopLeft(window).y == 0);
    }
    SUBCASE("a window wider than the screen ends at a negative x")
    {
        HWND wide = MakeWindow(0, 0, sw + 176, 100);
        RECT r;
        GetWindowRect(wide, &r);
        REQUIRE(r.right - r.left == sw + 176);
        SetWindowPos(reference, nullptr, 600, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        PlaceWindow(wide, reference, 0, 0);
        CHECK(TopLeft(wide).x == -176);
        DestroyWindow(wide);
    }
    SUBCASE("no reference means the desktop")
    {
        PlaceWindow(window, nullptr, 0, 0);
        CHECK(TopLeft(window).x == (sw - 300) / 2);
        CHECK(TopLeft(window).y == (sh - 200) / 2);
    }
    DestroyWindow(window);
    DestroyWindow(reference);
}

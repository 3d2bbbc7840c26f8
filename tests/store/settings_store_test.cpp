// The registry store against Wine's real registry: names, types, defaults, limits, damage.
#include "test_support.h"

#include <shlwapi.h>
#include <string.h>

#include <initializer_list>
#include <string>

namespace {

const char kSettings[] = "Software\\VARNO\\VELDAR";
const char kItems[] = "Software\\VARNO\\VELDAR\\ITEM";

// "type:bytes" of a stored value, "" when it is missing.
std::string Raw(const char* path, const char* name)
{
    char data[1024];
    DWORD type = 0, size = sizeof data;
    if (SHGetValueA(HKEY_CURRENT_USER, path, name, &type, data, &size) != ERROR_SUCCESS)
        return "";
    return std::to_string(type) + ":" + std::string(data, size);
}

void Write(const char* path, const char* name, DWORD type, const void* data, DWORD size)
{
    REQUIRE(SHSetValueA(HKEY_CURRENT_USER, path, name, type, data, size) == ERROR_SUCCESS);
}

std::string Dword(DWORD value)
{
    return "4:" + std::string(reinterpret_cast<const char*>(&value), 4);
}

std::string Numbers(std::initializer_list<long long> values)
{
    std::string text;
    for (long long v : values)
        text += std::to_string(v) + " ";
    return text;
}

} // namespace

TEST_CASE_FIXTURE(FreshSettings,
                  "settings load defaults, then round-trip with exact names and types")
{
    RECT pos = {};
    CHECK_FALSE(LoadSettings(&pos));
    CHECK(Numbers({Settings->IconsPerPage, Settings->MaxPages, Settings->StartPage}) == "10 20 0 ");
    Settings->IconsPerPage = 15;
    Settings->MaxPages = 40;
    Settings->StartPage = 3;
    Settings->ReserveAtStart = 1;
    Settings->ReserveNoConfirm = 2;
    strcpy(Settings->LastInput, "C:\\windows\\notepad.exe");
    Settings->ExitReservation.DelaySeconds = 600;
    Settings->ExitReservation.Reserved2[19] = 0x5A; // opaque bytes survive
    Settings->ExitReservation.Armed = 1;
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 120, 130, 200, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    CHECK(SaveSettings(window));
    DestroyWindow(window);

    CHECK(Raw(kSettings, "Ver") == std::string("1:0.17", 7));
    CHECK(Raw(kSettings, "InpDo") == std::string("1:C:\\windows\\notepad.exe", 25));
    const char* names[] = {"Ico", "Page", "Start", "Reserve", "NoConf"};
    const DWORD values[] = {15, 40, 3, 1, 2};
    for (int i = 0; i < 5; ++i)
        CHECK(Raw(kSettings, names[i]) == Dword(values[i]));
    const RECT stored = {120, 130, 320, 180};
    CHECK(Raw(kSettings, "Pos") == "3:" + std::string(reinterpret_cast<const char*>(&stored), 16));
    std::string exit = Raw(kSettings, "Exit");
    CHECK(exit.size() == 2 + 64);
    CHECK(exit.substr(2 + 36, 4) == std::string("\1\0\0\0", 4)); // stored armed

    memset(Settings, 0, sizeof *Settings);
    CHECK(LoadSettings(&pos));
    CHECK(memcmp(&pos, &stored, sizeof pos) == 0);
    const LauncherSettings& l = *Settings;
    CHECK(Numbers({l.IconsPerPage, l.MaxPages, l.StartPage, l.ReserveAtStart, l.ReserveNoConfirm,
                   l.ExitReservation.DelaySeconds, l.ExitReservation.Reserved2[19],
                   l.ExitReservation.Armed}) == "15 40 3 1 2 600 90 0 "); // loaded disarmed
    CHECK(std::string(Settings->LastInput) == "C:\\windows\\notepad.exe");
}

TEST_CASE_FIXTURE(FreshSettings, "stored counts outside their ranges load as the defaults")
{
    const struct {
        DWORD ico, page, start;
        int32_t wantIco, wantPage, wantStart;
    } cases[] = {
        {0, 0, 0, 10, 20, 0},
        {50, 100, 150, 50, 100, 150}, // a start past the last page stays
        {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 10, 20, 0},
        {101, 1001, 999, 10, 20, 999},
        {100, 1000, 1000, 100, 1000, 0}, // a start of 1000 or more would overflow slot numbers
        {1, 1, 0x7FFFFFFF, 1, 1, 0},
    };
    for (const auto& c : cases) {
        CAPTURE(c.start);
        Write(kSettings, "Ico", REG_DWORD, &c.ico, 4);
        Write(kSettings, "Page", REG_DWORD, &c.page, 4);
        Write(kSettings, "Start", REG_DWORD, &c.start, 4);
        RECT pos;
        LoadSettings(&pos);
        CHECK(Numbers({Settings->IconsPerPage, Settings->MaxPages, Settings->StartPage}) ==
              Numbers({c.wantIco, c.wantPage, c.wantStart}));
    }
}

TEST_CASE_FIXTURE(FreshSettings, "damaged stored values never yield unstored or unterminated data")
{
    char bytes[80];
    memset(bytes, 0x11, sizeof bytes);
    Write(kSettings, "Pos", REG_BINARY, bytes, 15);
    Write(kSettings, "Exit", REG_BINARY, bytes, 65);
    Write(kSettings, "Ico", REG_DWORD, "\x0C", 1);
    Write(kSettings, "Page", REG_BINARY, "\x07\x00", 2);
    Write(kSettings, "Start", REG_BINARY, "\x05\0\0\0\0\0\0\0", 8); // too long: unreadable
    Write(kSettings, "InpDo", REG_BINARY, "notepad", 7);
    memset(Settings, 0x77, sizeof *Settings);
    RECT pos;
    CHECK_FALSE(LoadSettings(&pos));
    ReservationBlock zero = {};
    CHECK(memcmp(&Settings->ExitReservation, &zero, sizeof zero) == 0);
    CHECK(Numbers({Settings->IconsPerPage, Settings->MaxPages, Settings->StartPage}) == "12 7 0 ");
    CHECK(std::string(Settings->LastInput) == "notepad");
    Write(kSettings, "InpDo", REG_SZ, "", 1);
    LoadSettings(&pos);
    CHECK(Settings->LastInput[0] == '\0');

    // Text without its NUL, a DWORD read as text, and text cut at 259 bytes, never inside a
    // double-byte character: 258 single bytes and "表" keep the 258.
    Write(kItems, "Cap_4", REG_SZ, "abc", 3);
    Write(kItems, "Exe_4", REG_DWORD, "ABCD", 4);
    ItemSlot item;
    memset(&item, 'Q', sizeof item);
    CHECK(LoadItem(4, &item));
    CHECK(std::string(item.Caption) + "|" + item.FilePath + "|" + item.IconPath == "abc|ABCD|");
    std::string caption(300, 'x'), mixed = std::string(258, 'y') + "表";
    Write(kItems, "Cap_0", REG_SZ, caption.c_str(), 301);
    Write(kItems, "Cap_1", REG_SZ, mixed.c_str(), 261);
    CHECK((LoadItem(0, &item) && std::string(item.Caption) == caption.substr(0, 259)));
    CHECK((LoadItem(1, &item) && strlen(item.Caption) == 258));
}

TEST_CASE_FIXTURE(FreshSettings, "items round-trip under their value names; free slots read empty")
{
    ItemSlot item =
        MakeItem("メモ帳", "C:\\windows\\notepad.exe", "/a \"b c\"", "C:\\windows", 2, 3);
    lstrcpynA(item.IconPath, "C:\\windows\\system32\\shell32.dll", sizeof item.IconPath);
    CHECK(SaveItem(7, &item));
    CHECK(SaveItem(1234, &item));
    const char* names[] = {"Cap_7", "Exe_7", "Ico_7", "Dir_7", "Cmd_7"};
    const char* texts[] = {item.Caption, item.FilePath, item.IconPath, item.WorkDir,
                           item.Arguments};
    for (int i = 0; i < 5; ++i)
        CHECK(Raw(kItems, names[i]) == "1:" + std::string(texts[i], strlen(texts[i]) + 1));
    CHECK(Raw(kItems, "Num_7") == Dword(3));
    CHECK(Raw(kItems, "Boot_7") == Dword(2));
    CHECK(Raw(kItems, "Cap_07") == "");
    ItemSlot back;
    CHECK(LoadItem(1234, &back));
    CHECK(memcmp(&back, &item, sizeof item) == 0);

    // Freeing writes all seven values empty; a slot with a file but no caption is free.
    ItemSlot empty = {};
    SaveItem(7, &empty);
    for (const char* name : names)
        CHECK(Raw(kItems, name) == std::string("1:\0", 3));
    CHECK(Raw(kItems, "Num_7") + Raw(kItems, "Boot_7") == Dword(0) + Dword(0));
    Write(kItems, "Exe_3", REG_SZ, "C:\\x.exe", 9);
    memset(&back, 'Q', sizeof back);
    CHECK_FALSE(LoadItem(3, &back));
    CHECK(memcmp(&back, &empty, sizeof back) == 0);
}

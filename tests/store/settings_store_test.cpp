// The registry store against Wine's real registry: names, types, defaults, limits, damage.
#include "test_support.h"

#include <shlwapi.h>
#include <string.h>

#include <initializer_list>
#include <string>

namespace {

const char kSettings[] = "Software\\VARNO\\VELDAR";
const char kItems[] = "Software\\VARNO\\VELDAR\\ITEM";

// "type:bytes|" of each stored value, "|" for a missing one.
std::string Raw(const char* path, std::initializer_list<const char*> names)
{
    std::string text;
    for (const char* name : names) {
        char data[1024];
        DWORD type = 0, size = sizeof data;
        if (SHGetValueA(HKEY_CURRENT_USER, path, name, &type, data, &size) == ERROR_SUCCESS)
            text += std::to_string(type) + ":" + std::string(data, size);
        text += "|";
    }
    return text;
}

void Write(const char* path, const char* name, DWORD type, const void* data, DWORD size)
{
    REQUIRE(SHSetValueA(HKEY_CURRENT_USER, path, name, type, data, size) == ERROR_SUCCESS);
}

std::string Dword(DWORD value)
{
    return "4:" + std::string(reinterpret_cast<const char*>(&value), 4) + "|";
}

template <class... T> std::string Nums(T... values)
{
    return ((std::to_string(values) + " ") + ...);
}

std::string Counts()
{
    return Nums(Settings->IconsPerPage, Settings->MaxPages, Settings->StartPage);
}

} // namespace

TEST_CASE_FIXTURE(FreshSettings,
                  "settings load defaults, then round-trip with exact names and types")
{
    RECT pos = {};
    CHECK_FALSE(LoadSettings(&pos));
    CHECK(Counts() == "10 20 0 ");
    LauncherSettings& l = *Settings;
    l.IconsPerPage = 15, l.MaxPages = 40, l.StartPage = 3, l.ReserveAtStart = 1;
    l.ReserveNoConfirm = 2, l.ExitReservation.DelaySeconds = 600, l.ExitReservation.Armed = 1;
    l.ExitReservation.Reserved2[19] = 0x5A; // opaque bytes survive
    strcpy(l.LastInput, "C:\\windows\\notepad.exe");
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 120, 130, 200, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    CHECK(SaveSettings(window));
    DestroyWindow(window);
    const RECT stored = {120, 130, 320, 180};
    CHECK(Raw(kSettings, {"Ver", "InpDo", "Ico", "Page", "Start", "Reserve", "NoConf", "Pos"}) ==
          std::string("1:0.17\0|1:C:\\windows\\notepad.exe\0|", 34) + Dword(15) + Dword(40) +
              Dword(3) + Dword(1) + Dword(2) +
              "3:" + std::string(reinterpret_cast<const char*>(&stored), 16) + "|");
    std::string exit = Raw(kSettings, {"Exit"});
    CHECK(exit.size() == 2 + 64 + 1);
    CHECK(exit.substr(2 + 36, 4) == std::string("\1\0\0\0", 4)); // stored armed

    memset(Settings, 0, sizeof *Settings);
    CHECK(LoadSettings(&pos));
    CHECK(memcmp(&pos, &stored, sizeof pos) == 0);
    CHECK(Counts() +
              Nums(l.ReserveAtStart, l.ReserveNoConfirm, l.ExitReservation.DelaySeconds,
                   l.ExitReservation.Reserved2[19], l.ExitReservation.Armed) +
              l.LastInput ==
          "15 40 3 1 2 600 90 0 C:\\windows\\notepad.exe"); // loaded disarmed
}

TEST_CASE_FIXTURE(FreshSettings, "stored counts outside their ranges load as the defaults")
{
    // A start past the last page stays; one of 1000 or more would overflow slot numbers.
    // Stored "Ico", "Page", "Start", then what they load as.
    const DWORD cases[] = {0,   0,    0,    10,  20,   0, 50,  100,  150,        50, 100, 150,
                           ~0u, ~0u,  ~0u,  10,  20,   0, 101, 1001, 999,        10, 20,  999,
                           100, 1000, 1000, 100, 1000, 0, 1,   1,    0x7FFFFFFF, 1,  1,   0};
    const char* names[] = {"Ico", "Page", "Start"};
    for (const DWORD* c = cases; c < cases + 36; c += 6) {
        for (int i = 0; i < 3; ++i)
            Write(kSettings, names[i], REG_DWORD, &c[i], 4);
        RECT pos;
        LoadSettings(&pos);
        CHECK(Counts() == Nums(c[3], c[4], c[5]));
    }
}

TEST_CASE_FIXTURE(
    FreshSettings,
    "damaged stored values never yield unstored or unterminated data; items round-trip "
    "under their value names and free slots read empty")
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
    CHECK(Counts() + Settings->LastInput == "12 7 0 notepad");
    Write(kSettings, "InpDo", REG_SZ, "", 1);
    LoadSettings(&pos);
    CHECK(Settings->LastInput[0] == '\0');

    // Text without its NUL, a DWORD read as text, and text cut at 259 bytes, never inside a
    // double-byte character: 258 single bytes and "表" keep the 258.
    Write(kItems, "Cap_4", REG_SZ, "abc", 3);
    Write(kItems, "Exe_4", REG_DWORD, "ABCD", 4);
    ItemSlot item, back, empty = {};
    memset(&item, 'Q', sizeof item);
    CHECK(LoadItem(4, &item));
    CHECK(std::string(item.Caption) + "|" + item.FilePath + "|" + item.IconPath == "abc|ABCD|");
    std::string caption(300, 'x'), mixed = std::string(258, 'y') + "表";
    Write(kItems, "Cap_0", REG_SZ, caption.c_str(), 301);
    Write(kItems, "Cap_1", REG_SZ, mixed.c_str(), 261);
    CHECK((LoadItem(0, &item) && std::string(item.Caption) == caption.substr(0, 259)));
    CHECK((LoadItem(1, &item) && strlen(item.Caption) == 258));

    // Items round-trip under their value names; free slots read empty.
    item = MakeItem("メモ帳", "C:\\windows\\notepad.exe", "/a \"b c\"", "C:\\windows", 2, 3);
    lstrcpynA(item.IconPath, "C:\\windows\\system32\\shell32.dll", sizeof item.IconPath);
    CHECK(SaveItem(7, &item) + SaveItem(1234, &item) == 2);
    auto texts = [](const ItemSlot& i) {
        std::string all;
        for (const char* t : {i.Caption, i.FilePath, i.IconPath, i.WorkDir, i.Arguments})
            all += "1:" + std::string(t, strlen(t) + 1) + "|";
        return all;
    };
    const auto names = {"Cap_7", "Exe_7", "Ico_7", "Dir_7", "Cmd_7", "Num_7", "Boot_7", "Cap_07"};
    CHECK(Raw(kItems, names) == texts(item) + Dword(3) + Dword(2) + "|");
    CHECK(LoadItem(1234, &back));
    CHECK(memcmp(&back, &item, sizeof item) == 0);
    // Freeing writes all seven values empty; a slot with a file but no caption is free.
    SaveItem(7, &empty);
    CHECK(Raw(kItems, names) == texts(empty) + Dword(0) + Dword(0) + "|");
    Write(kItems, "Exe_3", REG_SZ, "C:\\x.exe", 9);
    memset(&back, 'Q', sizeof back);
    CHECK_FALSE(LoadItem(3, &back));
    CHECK(memcmp(&back, &empty, sizeof back) == 0);
}

// The registry store against Wine's real registry: names, types, defaults, limits, damage.
#include "test_support.h"

#include <string.h>

const char kSettings[] = "Software\\VARNO\\VELDAR";
const char kItems[] = "Software\\VARNO\\VELDAR\\ITEM";

// The bytes with each NUL shown as "~".
static std::string Bytes(const void* data, size_t size)
{
    std::string text(static_cast<const char*>(data), size);
    for (char& c : text)
        c = c ? c : '~';
    return text;
}

// "type:bytes|" of each stored value, "|" for a missing one.
static std::string Raw(const char* path, std::initializer_list<const char*> names)
{
    std::string text;
    for (const char* name : names) {
        char data[1024];
        DWORD type = 0, size = sizeof data;
        if (SHGetValueA(HKEY_CURRENT_USER, path, name, &type, data, &size) == ERROR_SUCCESS)
            text += std::to_string(type) + ":" + Bytes(data, size);
        text += "|";
    }
    return text;
}

static void Write(const char* path, const char* name, DWORD type, const void* data, DWORD size)
{
    REQUIRE(SHSetValueA(HKEY_CURRENT_USER, path, name, type, data, size) == ERROR_SUCCESS);
}

static std::string Dword(DWORD value)
{
    return "4:" + Bytes(&value, 4) + "|";
}

// What LoadSettings returned and left: "result ico page start|last input".
static std::string Loaded(RECT* pos)
{
    const LauncherSettings& s = *Settings;
    const bool found = LoadSettings(pos);
    return std::to_string(found) + " " + std::to_string(s.IconsPerPage) + " " +
           std::to_string(s.MaxPages) + " " + std::to_string(s.StartPage) + "|" + s.LastInput;
}

TEST_CASE_FIXTURE(FreshSettings, "settings and items round-trip with exact names and types; "
                                 "stored values out of range or damaged load as defaults")
{
    RECT pos = {};
    CHECK(Loaded(&pos) == "0 10 20 0|");
    LauncherSettings& l = *Settings;
    l.IconsPerPage = 15, l.MaxPages = 40, l.StartPage = 3, l.ReserveAtStart = 1;
    l.ReserveNoConfirm = 2, l.ExitReservation.DelaySeconds = 600, l.ExitReservation.Armed = 1;
    l.ExitReservation.Reserved2[19] = 0x5A; // opaque bytes survive
    strcpy(l.LastInput, "C:\\windows\\notepad.exe");
    HWND window = Popup(120, 130, 200, 50);
    CHECK(SaveSettings(window));
    DestroyWindow(window);
    const RECT stored = {120, 130, 320, 180};
    CHECK(Raw(kSettings,
              {"Ver", "InpDo", "Ico", "Page", "Start", "Reserve", "NoConf", "Pos", "Exit"}) ==
          "1:0.17~|1:C:\\windows\\notepad.exe~|" + Dword(15) + Dword(40) + Dword(3) + Dword(1) +
              Dword(2) + "3:" + Bytes(&stored, 16) + "|3:" + Bytes(&l.ExitReservation, 64) + "|");

    memset(Settings, 0, sizeof *Settings);
    const std::string loaded = Loaded(&pos);
    CHECK(loaded + std::to_string(l.ReserveAtStart) + std::to_string(l.ReserveNoConfirm) +
              std::to_string(l.ExitReservation.DelaySeconds + l.ExitReservation.Armed) +
              std::to_string(l.ExitReservation.Reserved2[19]) ==
          "1 15 40 3|C:\\windows\\notepad.exe1260090"); // loaded disarmed
    CHECK(EqualRect(&pos, &stored));

    // Stored "Ico", "Page", "Start", then as loaded; a "Start" of 1000 up would overflow slots.
    const DWORD cases[] = {0,   0,    0,    10,  20,   0, 50,  100,  150,        50, 100, 150,
                           ~0u, ~0u,  ~0u,  10,  20,   0, 101, 1001, 999,        10, 20,  999,
                           100, 1000, 1000, 100, 1000, 0, 1,   1,    0x7FFFFFFF, 1,  1,   0};
    const char* names[] = {"Ico", "Page", "Start"};
    for (const DWORD* c = cases; c < cases + 36; c += 6) {
        for (int i = 0; i < 3; ++i)
            Write(kSettings, names[i], REG_DWORD, &c[i], 4);
        CHECK(Loaded(&pos) == "1 " + std::to_string(c[3]) + " " + std::to_string(c[4]) + " " +
                                  std::to_string(c[5]) + "|C:\\windows\\notepad.exe");
    }

    // Damaged values never yield unstored or unterminated data.
    char bytes[80];
    memset(bytes, 0x11, sizeof bytes);
    Write(kSettings, "Pos", REG_BINARY, bytes, 15), Write(kSettings, "Exit", REG_BINARY, bytes, 65);
    Write(kSettings, "Ico", REG_DWORD, "\x0C", 1);
    Write(kSettings, "Page", REG_BINARY, "\x07\x00", 2);
    Write(kSettings, "Start", REG_BINARY, "\x05\0\0\0\0\0\0\0", 8); // too long: unreadable
    Write(kSettings, "InpDo", REG_BINARY, "notepad", 7);
    memset(Settings, 0x77, sizeof *Settings);
    ReservationBlock zero = {};
    CHECK(Loaded(&pos) == "0 12 7 0|notepad");
    CHECK(memcmp(&Settings->ExitReservation, &zero, sizeof zero) == 0);
    Write(kSettings, "InpDo", REG_SZ, "", 1);
    CHECK(Loaded(&pos) == "0 12 7 0|");

    // Text without its NUL, a DWORD as text, and a cut at 259 bytes never inside "表".
    Write(kItems, "Cap_4", REG_SZ, "abc", 3), Write(kItems, "Exe_4", REG_DWORD, "ABCD", 4);
    std::string caption(300, 'x'), mixed = std::string(258, 'y') + "表";
    Write(kItems, "Cap_0", REG_SZ, caption.c_str(), 301);
    Write(kItems, "Cap_1", REG_SZ, mixed.c_str(), 261);
    ItemSlot item, back, empty = {};
    memset(&item, 'Q', sizeof item);
    CHECK(LoadItem(4, &item));
    CHECK(std::string(item.Caption) + "|" + item.FilePath + "|" + item.IconPath == "abc|ABCD|");
    CHECK((LoadItem(0, &item) && std::string(item.Caption) == caption.substr(0, 259)));
    CHECK((LoadItem(1, &item) && strlen(item.Caption) == 258));

    // Freeing writes all seven values empty; a slot with a file but no caption is free.
    item = MakeItem("メモ帳", "C:\\windows\\notepad.exe", "/a \"b c\"", "C:\\windows", 2, 3);
    lstrcpynA(item.IconPath, "C:\\windows\\system32\\shell32.dll", sizeof item.IconPath);
    CHECK(SaveItem(7, &item) + SaveItem(1234, &item) == 2);
    const auto slot7 = {"Cap_7", "Exe_7", "Ico_7", "Dir_7", "Cmd_7", "Num_7", "Boot_7", "Cap_07"};
    CHECK(Raw(kItems, slot7) ==
          "1:メモ帳~|1:C:\\windows\\notepad.exe~|1:C:\\windows\\system32\\shell32.dll~|"
          "1:C:\\windows~|1:/a \"b c\"~|" +
              Dword(3) + Dword(2) + "|");
    CHECK((LoadItem(1234, &back) && memcmp(&back, &item, sizeof item) == 0));
    SaveItem(7, &empty);
    CHECK(Raw(kItems, slot7) == "1:~|1:~|1:~|1:~|1:~|" + Dword(0) + Dword(0) + "|");
    Write(kItems, "Exe_3", REG_SZ, "C:\\x.exe", 9);
    memset(&back, 'Q', sizeof back);
    CHECK((!LoadItem(3, &back) && memcmp(&back, &empty, sizeof back) == 0));
}

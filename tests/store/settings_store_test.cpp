// The registry store against Wine's real registry: layout, defaults, limits and damaged values.
#include "test_support.h"

#include <string.h>

#include <string>

#include "store/reg_key.h"

namespace {

const char kSettingsPath[] = "Software\\VARNO\\VELDAR";
const char kItemsPath[] = "Software\\VARNO\\VELDAR\\ITEM";

struct RawValue {
    bool exists = false;
    DWORD type = 0;
    std::string data;
};

RawValue ReadRaw(const char* path, const char* name)
{
    RawValue v;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return v;
    char buffer[4096];
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(buffer), &size) ==
        ERROR_SUCCESS) {
        v.exists = true;
        v.data.assign(buffer, size);
    }
    RegCloseKey(key);
    return v;
}

void WriteRaw(const char* path, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    REQUIRE(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) == ERROR_SUCCESS);
    REQUIRE(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) ==
            ERROR_SUCCESS);
    RegCloseKey(key);
}

void WriteDword(const char* path, const char* name, DWORD value)
{
    WriteRaw(path, name, REG_DWORD, &value, sizeof value);
}

bool KeyExists(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

DWORD AsDword(const RawValue& v)
{
    DWORD d = 0;
    memcpy(&d, v.data.data(), v.data.size() < 4 ? v.data.size() : 4);
    return d;
}

ItemSlot MakeItem(const char* caption, const char* file)
{
    ItemSlot item = {};
    strcpy(item.Caption, caption);
    strcpy(item.FilePath, file);
    strcpy(item.IconPath, "C:\\windows\\system32\\shell32.dll");
    strcpy(item.WorkDir, "C:\\windows");
    strcpy(item.Arguments, "/a \"b c\"");
    item.IconIndex = 3;
    item.ShowState = 2;
    return item;
}

} // namespace

TEST_CASE_FIXTURE(FreshSettings, "first start with no keys loads the defaults")
{
    RECT pos = {1, 2, 3, 4};
    CHECK_FALSE(LoadSettings(&pos));
    CHECK(Settings->IconsPerPage == 10);
    CHECK(Settings->MaxPages == 20);
    CHECK(Settings->StartPage == 0);
    CHECK(Settings->ReserveAtStart == 0);
    CHECK(Settings->ReserveNoConfirm == 0);
    CHECK(Settings->LastInput[0] == '\0');
    ReservationBlock zero = {};
    CHECK(memcmp(&Settings->ExitReservation, &zero, sizeof zero) == 0);
    CHECK(KeyExists(kSettingsPath));
    CHECK_FALSE(KeyExists(kItemsPath));

    ItemSlot item;
    CHECK_FALSE(LoadItem(0, &item));
    CHECK(KeyExists(kItemsPath));
}

TEST_CASE_FIXTURE(FreshSettings, "settings round-trip through the registry with exact types")
{
    Settings->IconsPerPage = 15;
    Settings->MaxPages = 40;
    Settings->StartPage = 3;
    Settings->ReserveAtStart = 1;
    Settings->ReserveNoConfirm = 1;
    strcpy(Settings->LastInput, "C:\\windows\\notepad.exe");
    Settings->ExitReservation.DelayEnabled = 1;
    Settings->ExitReservation.DelaySeconds = 600;
    Settings->ExitReservation.TimeHour = 22;
    Settings->ExitReservation.Reserved2[19] = 0x5A; // opaque bytes survive
    Settings->ExitReservation.Armed = 1;

    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 120, 130, 200, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    REQUIRE(window);
    CHECK(SaveSettings(window));
    DestroyWindow(window);

    RawValue ver = ReadRaw(kSettingsPath, "Ver");
    CHECK(ver.type == REG_SZ);
    CHECK(ver.data == std::string("0.17", 5));
    RawValue input = ReadRaw(kSettingsPath, "InpDo");
    CHECK(input.type == REG_SZ);
    CHECK(input.data.size() == strlen("C:\\windows\\notepad.exe") + 1);
    for (const char* name : {"Ico", "Page", "Start", "Reserve", "NoConf"}) {
        RawValue v = ReadRaw(kSettingsPath, name);
        CAPTURE(name);
        CHECK(v.type == REG_DWORD);
        CHECK(v.data.size() == 4);
    }
    RawValue exitBlock = ReadRaw(kSettingsPath, "Exit");
    CHECK(exitBlock.type == REG_BINARY);
    CHECK(exitBlock.data.size() == 64);
    RawValue pos = ReadRaw(kSettingsPath, "Pos");
    CHECK(pos.type == REG_BINARY);
    REQUIRE(pos.data.size() == 16);
    RECT stored;
    memcpy(&stored, pos.data.data(), 16);
    CHECK(stored.left == 120);
    CHECK(stored.top == 130);
    CHECK(stored.right == 320);
    CHECK(stored.bottom == 180);

    memset(Settings, 0, sizeof *Settings);
    RECT loaded = {};
    CHECK(LoadSettings(&loaded));
    CHECK(loaded.left == 120);
    CHECK(loaded.bottom == 180);
    CHECK(Settings->IconsPerPage == 15);
    CHECK(Settings->MaxPages == 40);
    CHECK(Settings->StartPage == 3);
    CHECK(Settings->ReserveAtStart == 1);
    CHECK(Settings->ReserveNoConfirm == 1);
    CHECK(std::string(Settings->LastInput) == "C:\\windows\\notepad.exe");
    CHECK(Settings->ExitReservation.DelaySeconds == 600);
    CHECK(Settings->ExitReservation.TimeHour == 22);
    CHECK(Settings->ExitReservation.Reserved2[19] == 0x5A);
    // Stored armed, loaded disarmed.
    CHECK(AsDword({true, 0, exitBlock.data.substr(36, 4)}) == 1);
    CHECK(Settings->ExitReservation.Armed == 0);
}

TEST_CASE_FIXTURE(FreshSettings, "stored counts outside their ranges load as the defaults")
{
    struct Case {
        DWORD ico, page, start;
        int32_t wantIco, wantPage, wantStart;
    };
    const Case cases[] = {
        // Zero, in range (a start past the last page stays), negative, too many, the limits.
        {0, 0, 0, 10, 20, 0},
        {50, 100, 150, 50, 100, 150},
        {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 10, 20, 0},
        {101, 1001, 5, 10, 20, 5},
        {100, 1000, 0x7FFFFFFF, 100, 1000, 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        CAPTURE(c.ico);
        WriteDword(kSettingsPath, "Ico", c.ico);
        WriteDword(kSettingsPath, "Page", c.page);
        WriteDword(kSettingsPath, "Start", c.start);
        RECT pos;
        LoadSettings(&pos);
        CHECK(Settings->IconsPerPage == c.wantIco);
        CHECK(Settings->MaxPages == c.wantPage);
        CHECK(Settings->StartPage == c.wantStart);
    }
}

TEST_CASE_FIXTURE(FreshSettings, "damaged stored values never yield unstored or unterminated data")
{
    RECT pos;
    SUBCASE("Pos and Exit of the wrong size fail to read")
    {
        char bytes[80];
        memset(bytes, 0x11, sizeof bytes);
        for (DWORD size : {15u, 17u, 0u}) {
            CAPTURE(size);
            WriteRaw(kSettingsPath, "Pos", REG_BINARY, bytes, size);
            WriteRaw(kSettingsPath, "Exit", REG_BINARY, bytes, size == 15 ? 63 : 65);
            memset(&Settings->ExitReservation, 0x77, sizeof Settings->ExitReservation);
            CHECK_FALSE(LoadSettings(&pos));
            ReservationBlock zero = {};
            CHECK(memcmp(&Settings->ExitReservation, &zero, sizeof zero) == 0);
        }
    }
    SUBCASE("a DWORD stored in fewer than four bytes reads only those bytes")
    {
        const BYTE two[2] = {12, 0};
        WriteRaw(kSettingsPath, "Ico", REG_DWORD, two, 2);
        const BYTE one[1] = {7};
        WriteRaw(kSettingsPath, "Page", REG_BINARY, one, 1);
        const BYTE eight[8] = {5, 0, 0, 0, 0, 0, 0, 0};
        WriteRaw(kSettingsPath, "Start", REG_BINARY, eight, 8);
        LoadSettings(&pos);
        CHECK(Settings->IconsPerPage == 12);
        CHECK(Settings->MaxPages == 7);
        CHECK(Settings->StartPage == 0); // longer than four bytes: unreadable
    }
    SUBCASE("text stored without its NUL or as another type is terminated")
    {
        memset(Settings->LastInput, 'Z', sizeof Settings->LastInput);
        WriteRaw(kSettingsPath, "InpDo", REG_BINARY, "notepad", 7);
        LoadSettings(&pos);
        CHECK(std::string(Settings->LastInput) == "notepad");

        ItemSlot item;
        WriteRaw(kItemsPath, "Cap_4", REG_SZ, "abc", 3);
        WriteRaw(kItemsPath, "Exe_4", REG_DWORD, "\x41\x42\x43\x44", 4);
        memset(&item, 'Q', sizeof item);
        CHECK(LoadItem(4, &item));
        CHECK(std::string(item.Caption) == "abc");
        CHECK(std::string(item.FilePath) == "ABCD");
    }
    SUBCASE("an empty InpDo gives an empty last input")
    {
        WriteRaw(kSettingsPath, "InpDo", REG_SZ, "", 1);
        strcpy(Settings->LastInput, "old");
        LoadSettings(&pos);
        CHECK(Settings->LastInput[0] == '\0');
    }
}

TEST_CASE_FIXTURE(FreshSettings, "items round-trip under their value names")
{
    ItemSlot item = MakeItem("メモ帳", "C:\\windows\\notepad.exe");
    CHECK(SaveItem(7, &item));
    CHECK(SaveItem(1234, &item));
    CHECK(ReadRaw(kItemsPath, "Cap_7").exists);
    CHECK(ReadRaw(kItemsPath, "Cap_1234").exists);
    CHECK_FALSE(ReadRaw(kItemsPath, "Cap_07").exists);

    const char* strings[] = {"Cap_7", "Exe_7", "Ico_7", "Dir_7", "Cmd_7"};
    const char* texts[] = {item.Caption, item.FilePath, item.IconPath, item.WorkDir,
                           item.Arguments};
    for (int i = 0; i < 5; ++i) {
        RawValue v = ReadRaw(kItemsPath, strings[i]);
        CAPTURE(strings[i]);
        CHECK(v.type == REG_SZ);
        CHECK(v.data == std::string(texts[i], strlen(texts[i]) + 1));
    }
    RawValue num = ReadRaw(kItemsPath, "Num_7");
    CHECK(num.type == REG_DWORD);
    CHECK(num.data.size() == 4);
    CHECK(AsDword(num) == 3);
    CHECK(AsDword(ReadRaw(kItemsPath, "Boot_7")) == 2);

    ItemSlot back;
    CHECK(LoadItem(1234, &back));
    CHECK(memcmp(&back, &item, sizeof item) == 0);
}

TEST_CASE_FIXTURE(FreshSettings, "free slots read all-empty and are freed without deleting")
{
    SUBCASE("a slot with a file but no caption is free")
    {
        WriteRaw(kItemsPath, "Exe_3", REG_SZ, "C:\\x.exe", 9);
        WriteDword(kItemsPath, "Num_3", 5);
        ItemSlot item;
        memset(&item, 'Q', sizeof item);
        CHECK_FALSE(LoadItem(3, &item));
        ItemSlot zero = {};
        CHECK(memcmp(&item, &zero, sizeof zero) == 0);
    }
    SUBCASE("saving an all-zero record writes all seven values")
    {
        ItemSlot item = MakeItem("a", "b");
        SaveItem(9, &item);
        ItemSlot zero = {};
        SaveItem(9, &zero);
        for (const char* name : {"Cap_9", "Exe_9", "Ico_9", "Dir_9", "Cmd_9"}) {
            RawValue v = ReadRaw(kItemsPath, name);
            CAPTURE(name);
            CHECK(v.type == REG_SZ);
            CHECK(v.data == std::string(1, '\0'));
        }
        CHECK(ReadRaw(kItemsPath, "Num_9").data == std::string(4, '\0'));
        CHECK(ReadRaw(kItemsPath, "Boot_9").data == std::string(4, '\0'));
        ItemSlot back;
        CHECK_FALSE(LoadItem(9, &back));
    }
}

TEST_CASE_FIXTURE(FreshSettings, "long text is cut to 259 characters on reading")
{
    std::string caption(300, 'x');
    WriteRaw(kItemsPath, "Cap_0", REG_SZ, caption.c_str(), 301);
    ItemSlot item;
    CHECK(LoadItem(0, &item));
    CHECK(std::string(item.Caption) == caption.substr(0, 259));

    // A cut never leaves half of a double-byte character behind: 258 single bytes and then
    // "表" (two bytes) keep only the 258.
    std::string mixed(258, 'y');
    mixed += "\x95\x5C"; // 表 in code page 932
    WriteRaw(kItemsPath, "Cap_1", REG_SZ, mixed.c_str(), static_cast<DWORD>(mixed.size() + 1));
    CHECK(LoadItem(1, &item));
    CHECK(strlen(item.Caption) == 258);
}

TEST_CASE("a registry key holder closes on scope exit and when closed twice")
{
    ui::ResetLauncherRegistry();
    HKEY handle;
    {
        RegKey key("Software\\VARNO", "VELDAR", false);
        handle = key.Handle();
        REQUIRE(handle);
        key.Close();
        CHECK(key.Handle() == nullptr);
        key.Close();
    }
    RegKey missing("Software\\VARNO", "NoSuchKey", true);
    CHECK(missing.Handle() == nullptr);
    CHECK_FALSE(missing.WriteDword("x", 1));
    CHECK(missing.ReadDword("x") == 0);
    char text[8] = "keep";
    CHECK(missing.ReadString("x", text, sizeof text) == 0);
    CHECK(text[0] == '\0');
    CHECK_FALSE(KeyExists("Software\\VARNO\\NoSuchKey"));
}

// Loading and saving the launcher settings and the item slots.
//
// Settings are read once at start-up and written once at teardown. Items are never cached:
// every reader goes to the registry, every change is written through at once, and no value is
// ever deleted (a freed slot keeps its seven values, empty).
#include "store/settings_store.h"

#include <stdio.h>
#include <string.h>

#include "store/reg_key.h"
#include "veldar_version.h"

namespace {

const int32_t kDefaultIconsPerPage = 10;
const int32_t kDefaultMaxPages = 20;
// Beyond these a count makes the grid allocation or the slot arithmetic go wrong; they are
// far above what the options dialog offers.
const int32_t kMostIconsPerPage = 100;
const int32_t kMostPages = 1000;

// "%s_%d": the value name of one field of slot n, such as Cap_7.
void SlotValueName(char* name, size_t size, const char* stem, int slot)
{
    snprintf(name, size, "%s_%d", stem, slot);
}

} // namespace

bool LoadSettings(RECT* pos)
{
    LauncherSettings* s = Settings;
    RegKey key(VELDAR_REG_BASE, VELDAR_REG_SETTINGS, false);

    if (key.ReadString("InpDo", s->LastInput, sizeof s->LastInput) == 0)
        s->LastInput[0] = '\0';

    s->IconsPerPage = static_cast<int32_t>(key.ReadDword("Ico"));
    if (s->IconsPerPage < 1 || s->IconsPerPage > kMostIconsPerPage)
        s->IconsPerPage = kDefaultIconsPerPage;
    s->MaxPages = static_cast<int32_t>(key.ReadDword("Page"));
    if (s->MaxPages < 1 || s->MaxPages > kMostPages)
        s->MaxPages = kDefaultMaxPages;
    s->StartPage = static_cast<int32_t>(key.ReadDword("Start"));
    // A start page at or above the most pages there can be is damage, not a choice: with it
    // page × icons + position could leave the range of slot numbers.
    if (s->StartPage < 0 || s->StartPage >= kMostPages)
        s->StartPage = 0;
    s->ReserveAtStart = static_cast<int32_t>(key.ReadDword("Reserve"));
    s->ReserveNoConfirm = static_cast<int32_t>(key.ReadDword("NoConf"));

    if (!key.ReadBinary("Exit", &s->ExitReservation, sizeof s->ExitReservation))
        memset(&s->ExitReservation, 0, sizeof s->ExitReservation);
    // A reservation is never running right after loading; whether one is armed at start-up
    // is decided afterwards.
    s->ExitReservation.Armed = 0;

    RECT stored;
    if (!key.ReadBinary("Pos", &stored, sizeof stored))
        return false;
    *pos = stored;
    return true;
}

bool SaveSettings(HWND mainWindow)
{
    const LauncherSettings* s = Settings;
    RegKey key(VELDAR_REG_BASE, VELDAR_REG_SETTINGS, false);
    key.WriteString("Ver", VELDAR_VERSION, false);
    key.WriteString("InpDo", s->LastInput, false);
    key.WriteDword("Ico", static_cast<DWORD>(s->IconsPerPage));
    key.WriteDword("Page", static_cast<DWORD>(s->MaxPages));
    key.WriteDword("Start", static_cast<DWORD>(s->StartPage));
    key.WriteDword("Reserve", static_cast<DWORD>(s->ReserveAtStart));
    key.WriteDword("NoConf", static_cast<DWORD>(s->ReserveNoConfirm));
    SaveReservation();

    RECT rect;
    if (!GetWindowRect(mainWindow, &rect))
        return false;
    return key.WriteBinary("Pos", &rect, sizeof rect);
}

bool SaveReservation()
{
    RegKey key(VELDAR_REG_BASE, VELDAR_REG_SETTINGS, false);
    return key.WriteBinary("Exit", &Settings->ExitReservation, sizeof Settings->ExitReservation);
}

bool LoadItem(int slot, ItemSlot* item)
{
    memset(item, 0, sizeof *item);
    RegKey key(VELDAR_REG_BASE, VELDAR_REG_ITEMS, false);
    char name[32];

    SlotValueName(name, sizeof name, "Cap", slot);
    if (key.ReadString(name, item->Caption, sizeof item->Caption) == 0) {
        // Whatever the other values hold, a slot without a caption is free and reads empty.
        memset(item, 0, sizeof *item);
        return false;
    }
    SlotValueName(name, sizeof name, "Exe", slot);
    key.ReadString(name, item->FilePath, sizeof item->FilePath);
    SlotValueName(name, sizeof name, "Ico", slot);
    key.ReadString(name, item->IconPath, sizeof item->IconPath);
    SlotValueName(name, sizeof name, "Dir", slot);
    key.ReadString(name, item->WorkDir, sizeof item->WorkDir);
    SlotValueName(name, sizeof name, "Cmd", slot);
    key.ReadString(name, item->Arguments, sizeof item->Arguments);
    SlotValueName(name, sizeof name, "Num", slot);
    item->IconIndex = static_cast<int32_t>(key.ReadDword(name));
    SlotValueName(name, sizeof name, "Boot", slot);
    item->ShowState = static_cast<int32_t>(key.ReadDword(name));
    return true;
}

bool SaveItem(int slot, const ItemSlot* item)
{
    RegKey key(VELDAR_REG_BASE, VELDAR_REG_ITEMS, false);
    char name[32];
    SlotValueName(name, sizeof name, "Cap", slot);
    key.WriteString(name, item->Caption, false);
    SlotValueName(name, sizeof name, "Exe", slot);
    key.WriteString(name, item->FilePath, false);
    SlotValueName(name, sizeof name, "Ico", slot);
    key.WriteString(name, item->IconPath, false);
    SlotValueName(name, sizeof name, "Dir", slot);
    key.WriteString(name, item->WorkDir, false);
    SlotValueName(name, sizeof name, "Cmd", slot);
    key.WriteString(name, item->Arguments, false);
    SlotValueName(name, sizeof name, "Num", slot);
    key.WriteDword(name, static_cast<DWORD>(item->IconIndex));
    SlotValueName(name, sizeof name, "Boot", slot);
    key.WriteDword(name, static_cast<DWORD>(item->ShowState));
    return true;
}

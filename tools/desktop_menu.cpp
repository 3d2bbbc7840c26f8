// The desktop menu. It exists only while it is shown: every showing builds it afresh from the
// shell's desktop folder and frees it again, so between showings only cleared state remains.
#include "tools/desktop_menu.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <stdlib.h>
#include <string.h>

#include "resource.h"

namespace {

// A file-system item held back while the desktop is enumerated, so that these can be sorted.
struct PendingDesktopItem {
    char name[MAX_PATH];
    HICON icon;
    LPITEMIDLIST itemId;
};

const int kIconSize = 16;
const int kIconLeft = 5;
const int kTextLeft = kIconLeft + kIconSize + 5;
const int kMinItemWidth = 100;

DesktopMenuEntry** Entries = nullptr;
int EntryCount = 0;
int ColumnLength = 0;
HMENU Menu = nullptr;
IMalloc* ShellAllocator = nullptr;
IShellFolder* DesktopFolder = nullptr;

void ReleaseItem(HICON icon, LPITEMIDLIST itemId)
{
    if (icon)
        DestroyIcon(icon);
    if (itemId && ShellAllocator)
        ShellAllocator->Free(itemId);
}

void ReadMenuMetrics(NONCLIENTMETRICSA* metrics)
{
    ZeroMemory(metrics, sizeof *metrics);
    metrics->cbSize = sizeof *metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof *metrics, metrics, 0))
        ZeroMemory(metrics, sizeof *metrics);
}

// The extent of text in the menu font, as the menu will draw it.
SIZE MeasureText(HWND owner, const char* text, const NONCLIENTMETRICSA& metrics)
{
    SIZE extent = {};
    HDC dc = GetDC(owner);
    if (!dc)
        return extent;
    HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    if (font) {
        SelectObject(dc, old);
        DeleteObject(font);
    }
    ReleaseDC(owner, dc);
    return extent;
}

int ItemHeight(const SIZE& extent, const NONCLIENTMETRICSA& metrics)
{
    int height = extent.cy;
    if (height < kIconSize)
        height = kIconSize;
    if (height < metrics.iMenuHeight)
        height = metrics.iMenuHeight;
    return height & ~1;
}

// Entries per column: as many items as the screen holds, at the height the measure step gives
// every entry, so that no column runs past the bottom of the screen.
int ComputeColumnLength(HWND owner)
{
    NONCLIENTMETRICSA metrics;
    ReadMenuMetrics(&metrics);
    int height = ItemHeight(MeasureText(owner, "A", metrics), metrics);
    return GetSystemMetrics(SM_CYSCREEN) / height;
}

// A copy of the first item of itemId with its terminator, from the shell allocator.
LPITEMIDLIST CopyFirstItem(LPCITEMIDLIST itemId)
{
    USHORT size = itemId->mkid.cb;
    BYTE* copy = static_cast<BYTE*>(ShellAllocator->Alloc(size + 2));
    if (copy) {
        memcpy(copy, itemId, size);
        copy[size] = copy[size + 1] = 0;
    }
    return reinterpret_cast<LPITEMIDLIST>(copy);
}

// One item of the enumeration: a virtual item becomes an entry at once, a file-system item
// waits in pending for sorting.
void TakeItem(LPCITEMIDLIST itemId, int* topPosition, PendingDesktopItem** pending,
              int* pendingCount)
{
    STRRET shown;
    if (FAILED(DesktopFolder->GetDisplayNameOf(itemId, SHGDN_NORMAL, &shown)))
        return;
    // Only a test that the item has a name; converting also frees the shell's string.
    char name[MAX_PATH];
    StrRetToBufA(&shown, itemId, name, sizeof name);

    SHFILEINFOA info = {};
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(
        reinterpret_cast<LPCSTR>(itemId), 0, &info, sizeof info,
        SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_ATTRIBUTES | SHGFI_SMALLICON));
    // Without an answer the fields are not to be trusted.
    if (!images)
        return;
    LPITEMIDLIST copy = CopyFirstItem(itemId);
    HICON icon = ImageList_GetIcon(images, info.iIcon, ILD_NORMAL);
    if (!(info.dwAttributes & SFGAO_FILESYSTEM)) {
        if (AddDesktopMenuItem(info.szDisplayName, icon, copy, *topPosition))
            ++*topPosition;
        return;
    }
    PendingDesktopItem* item = nullptr;
    if (*pendingCount < kDesktopMenuCapacity)
        item = static_cast<PendingDesktopItem*>(calloc(1, sizeof *item));
    if (!item) {
        ReleaseItem(icon, copy);
        return;
    }
    lstrcpynA(item->name, info.szDisplayName, sizeof item->name);
    item->icon = icon;
    item->itemId = copy;
    pending[(*pendingCount)++] = item;
}

int ComparePending(const void* a, const void* b)
{
    const PendingDesktopItem* x = *static_cast<PendingDesktopItem* const*>(a);
    const PendingDesktopItem* y = *static_cast<PendingDesktopItem* const*>(b);
    return lstrcmpiA(x->name, y->name);
}

} // namespace

int BuildDesktopMenu(HWND owner)
{
    FreeDesktopMenu();
    Entries = static_cast<DesktopMenuEntry**>(calloc(kDesktopMenuCapacity, sizeof *Entries));
    Menu = CreatePopupMenu();
    EntryCount = 0;
    if (!Entries || !Menu || FAILED(SHGetMalloc(&ShellAllocator)) ||
        FAILED(SHGetDesktopFolder(&DesktopFolder)))
        return 0;
    PendingDesktopItem** pending =
        static_cast<PendingDesktopItem**>(calloc(kDesktopMenuCapacity, sizeof *pending));
    if (!pending)
        return 0;

    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    ColumnLength = ComputeColumnLength(owner);

    // S_FALSE also counts as a refusal: it comes without an enumerator.
    IEnumIDList* items = nullptr;
    if (DesktopFolder->EnumObjects(owner, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items) != S_OK ||
        !items) {
        free(pending);
        SetCursor(previous);
        return 1;
    }
    int topPosition = 0, pendingCount = 0;
    LPITEMIDLIST itemId = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &itemId, &fetched) == S_OK) {
        if (fetched == 1 && itemId)
            TakeItem(itemId, &topPosition, pending, &pendingCount);
        if (itemId)
            ShellAllocator->Free(itemId);
        itemId = nullptr;
    }
    items->Release();

    qsort(pending, pendingCount, sizeof *pending, ComparePending);
    AppendMenuA(Menu, MF_SEPARATOR, 0, nullptr);
    int position = GetMenuItemCount(Menu);
    for (int i = 0; i < pendingCount; ++i) {
        if (AddDesktopMenuItem(pending[i]->name, pending[i]->icon, pending[i]->itemId, position))
            ++position;
        free(pending[i]);
    }
    free(pending);
    SetCursor(previous);
    return 1;
}

int AddDesktopMenuItem(const char* name, HICON icon, LPITEMIDLIST itemId, int position)
{
    DesktopMenuEntry* entry = nullptr;
    if (name && *name && Entries && Menu && EntryCount < kDesktopMenuCapacity)
        entry = static_cast<DesktopMenuEntry*>(calloc(1, sizeof *entry));
    if (!entry) {
        ReleaseItem(icon, itemId);
        return 0;
    }
    size_t size = strlen(name) + 1;
    entry->name = static_cast<char*>(malloc(size));
    if (entry->name)
        memcpy(entry->name, name, size);
    entry->icon = icon;
    entry->itemId = itemId;

    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_TYPE | MIIM_DATA;
    info.fType = MFT_OWNERDRAW;
    if (ColumnLength != 0 && EntryCount != 0 && EntryCount % ColumnLength == 0)
        info.fType |= MFT_MENUBARBREAK | MFT_MENUBREAK;
    info.wID = IDM_DESKTOP_FIRST + EntryCount;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(entry);
    Entries[EntryCount++] = entry;
    return InsertMenuItemA(Menu, position, TRUE, &info) ? 1 : 0;
}

void FreeDesktopMenu()
{
    if (Entries) {
        for (int i = 0; i < EntryCount; ++i) {
            DesktopMenuEntry* entry = Entries[i];
            if (!entry)
                continue;
            free(entry->name);
            ReleaseItem(entry->icon, entry->itemId);
            free(entry);
            Entries[i] = nullptr;
        }
        free(Entries);
        Entries = nullptr;
    }
    EntryCount = 0;
    if (DesktopFolder) {
        DesktopFolder->Release();
        DesktopFolder = nullptr;
    }
    if (ShellAllocator) {
        ShellAllocator->Release();
        ShellAllocator = nullptr;
    }
    if (Menu) {
        DestroyMenu(Menu);
        Menu = nullptr;
    }
}

int ShowDesktopMenu(HWND owner)
{
    if (!BuildDesktopMenu(owner)) {
        FreeDesktopMenu();
        return 0;
    }
    HMENU shown = Menu;
    POINT pointer = {};
    GetCursorPos(&pointer);
    int chosen = static_cast<int>(
        TrackPopupMenu(shown, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                       pointer.x, pointer.y, 0, owner, nullptr));
    // The session may have ended while the menu was open; teardown has then freed the entries.
    if (chosen >= IDM_DESKTOP_FIRST && chosen <= IDM_DESKTOP_LAST && Entries && Menu == shown &&
        chosen - IDM_DESKTOP_FIRST < EntryCount) {
        const DesktopMenuEntry* entry = Entries[chosen - IDM_DESKTOP_FIRST];
        if (entry && entry->itemId) {
            SHELLEXECUTEINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = SEE_MASK_INVOKEIDLIST;
            info.hwnd = IsWindow(owner) ? owner : nullptr;
            info.lpParameters = "";
            info.lpDirectory = "";
            info.nShow = SW_SHOWNORMAL;
            info.lpIDList = entry->itemId;
            ShellExecuteExA(&info);
        }
    }
    FreeDesktopMenu();
    return 1;
}

BOOL MeasureDesktopMenuItem(HWND owner, MEASUREITEMSTRUCT* measure)
{
    if (!measure || measure->CtlType != ODT_MENU || !measure->itemData)
        return TRUE;
    const DesktopMenuEntry* entry = reinterpret_cast<const DesktopMenuEntry*>(measure->itemData);
    NONCLIENTMETRICSA metrics;
    ReadMenuMetrics(&metrics);
    SIZE extent = {};
    if (entry->name)
        extent = MeasureText(owner, entry->name, metrics);
    int width = extent.cx + kTextLeft;
    measure->itemWidth = width < kMinItemWidth ? kMinItemWidth : width;
    measure->itemHeight = ItemHeight(extent, metrics);
    return TRUE;
}

BOOL DrawDesktopMenuItem(DRAWITEMSTRUCT* draw)
{
    if (!draw || draw->CtlType != ODT_MENU || !draw->itemData ||
        !(draw->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)))
        return TRUE;
    const DesktopMenuEntry* entry = reinterpret_cast<const DesktopMenuEntry*>(draw->itemData);
    bool selected = (draw->itemState & ODS_SELECTED) != 0;
    HDC dc = draw->hDC;
    COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    COLORREF oldText =
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    COLORREF oldBack = SetBkColor(dc, back);
    HBRUSH brush = CreateSolidBrush(back);
    HGDIOBJ oldBrush = SelectObject(dc, brush);

    RECT item = draw->rcItem;
    RECT fill = {item.left, item.top + 1, item.right, item.bottom - 1};
    FillRect(dc, &fill, brush);
    if (entry->icon)
        DrawIconEx(dc, item.left + kIconLeft, item.top + (item.bottom - item.top - kIconSize) / 2,
                   entry->icon, kIconSize, kIconSize, 0, brush, DI_NORMAL);
    if (entry->name) {
        RECT text = item;
        text.left = item.left + kTextLeft;
        DrawTextA(dc, entry->name, -1, &text, DT_SINGLELINE | DT_VCENTER);
    }

    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
    return TRUE;
}

HMENU DesktopMenu()
{
    return Menu;
}

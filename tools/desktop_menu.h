// The desktop menu: a popup menu at the mouse pointer listing the items of the Windows desktop
// with their small icons; choosing one opens it as a double click on the desktop would.
#pragma once
#include <windows.h>

#include <shlobj.h>

// One entry of the menu, owned by the menu's table; also the item data of its menu item.
struct DesktopMenuEntry {
    char* name;          // heap copy of the display name; null when it could not be made
    HICON icon;          // small icon from the system image list
    LPITEMIDLIST itemId; // relative to the desktop, from the shell allocator; may be null
};

const int kDesktopMenuCapacity = 128;

// Builds, tracks at the pointer and frees the menu, opening the chosen item. 1 when the menu
// could be built (chosen or not), 0 otherwise.
int ShowDesktopMenu(HWND owner);
// 1 when a menu exists afterwards, possibly empty; 0 when building failed.
int BuildDesktopMenu(HWND owner);
// Makes an entry and inserts it at position. The entry takes over icon and itemId; when no
// entry is made (empty name, no memory, a full table) both are released here. The result of
// the insertion, 0 when nothing was inserted.
int AddDesktopMenuItem(const char* name, HICON icon, LPITEMIDLIST itemId, int position);
// Frees the entries, releases the shell references and destroys the menu; safe at any time.
void FreeDesktopMenu();
// WM_MEASUREITEM and WM_DRAWITEM of the menu's owner; both always answer TRUE.
BOOL MeasureDesktopMenuItem(HWND owner, MEASUREITEMSTRUCT* measure);
BOOL DrawDesktopMenuItem(DRAWITEMSTRUCT* draw);
// The menu while it is built or shown, else null.
HMENU DesktopMenu();

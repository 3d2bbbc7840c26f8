// The popup menus of the main window. The tools menu names its reservation entry after the
// state of the reservation: arming one, or cancelling the one that runs.
#include "app/popup_menu.h"

#include "common/app_state.h"
#include "resource.h"
#include "store/settings_store.h"

int ShowPopupMenu(HWND owner, int menuId)
{
    HMENU loaded = LoadMenuA(AppInstance, MAKEINTRESOURCEA(menuId));
    if (!loaded)
        return 0;
    HMENU popup = GetSubMenu(loaded, 0);
    if (!popup) {
        DestroyMenu(loaded);
        return 0;
    }
    if (menuId == IDR_TOOLS_MENU) {
        char text[128];
        UINT textId = Settings->ExitReservation.Armed ? IDS_MENU_CANCEL_RESERVE : IDS_MENU_RESERVE;
        if (LoadStringA(AppInstance, textId, text, sizeof text) == 0)
            text[0] = '\0';
        ModifyMenuA(popup, IDM_RESERVATION, MF_BYCOMMAND | MF_STRING, IDM_RESERVATION, text);
    }
    POINT pointer = {};
    GetCursorPos(&pointer);
    int chosen = static_cast<int>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, pointer.x,
                                                 pointer.y, 0, owner, nullptr));
    DestroyMenu(loaded);
    return chosen;
}

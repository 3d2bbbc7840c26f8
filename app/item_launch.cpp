// Launching an item, its context menu, the shell's properties of its file and registration by
// drop. Every operation reads its slot from the registry at that moment, so a change written
// by a second copy of the launcher is what counts, not what the button shows.
#include "app/item_launch.h"

#include "app/popup_menu.h"
#include "common/report_error.h"
#include "dialogs/item_dialog.h"
#include "dialogs/move_item_dialog.h"
#include "resource.h"
#include "store/settings_store.h"
#include "strip/page_grid.h"

namespace {

// The first version of the structure, without the fields that later shells added: 60 bytes
// in the 32-bit program. The 64-bit build of the tests has only the one 64-bit layout.
const DWORD kShellExecuteInfoV1Size = sizeof(SHELLEXECUTEINFOA);
static_assert(sizeof(void*) != 4 || kShellExecuteInfoV1Size == 60, "32-bit layout");

bool LoadPositionItem(int position, ItemSlot* item)
{
    const LauncherSettings* s = Settings;
    return LoadItem(s->IconsPerPage * s->CurrentPage + position, item);
}

} // namespace

void ShowItemMenu(HWND window, int position)
{
    if (position < 0 || position >= Settings->IconsPerPage)
        return;
    switch (ShowPopupMenu(window, IDR_ITEM_MENU)) {
    case IDM_ITEM_LAUNCH: LaunchItem(window, position); break;
    case IDM_ITEM_REGISTER: OpenItemDialog(window, position); break;
    case IDM_ITEM_PROPERTIES: ShowItemProperties(window, position); break;
    case IDM_ITEM_MOVE: MoveItem(window, position); break;
    }
}

int LaunchItem(HWND owner, int position)
{
    ItemSlot item;
    if (!LoadPositionItem(position, &item))
        return 0;
    // ShowState is whatever the registry holds; the sum is taken unsigned so that no stored
    // value overflows.
    int show = static_cast<int>(static_cast<unsigned>(item.ShowState) + 1u);
    HINSTANCE result =
        ShellExecuteA(owner, "open", item.FilePath, item.Arguments, item.WorkDir, show);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        return ReportShellFailure(result);
    return 1;
}

void ShowItemProperties(HWND owner, int position)
{
    ItemSlot item;
    if (!LoadPositionItem(position, &item))
        return;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = kShellExecuteInfoV1Size;
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = "properties";
    info.lpFile = item.FilePath;
    info.lpParameters = "";
    info.lpDirectory = "";
    info.nShow = SW_SHOWNORMAL;
    // The shell shows its own sheet or nothing; there is nothing to report either way. A
    // process handle it may hand back is not wanted.
    ShellExecuteExA(&info);
    if (info.hProcess)
        CloseHandle(info.hProcess);
}

void HandleDroppedFiles(HWND window, HDROP drop)
{
    // The drop point is not checked against the client area: a point just left of it still
    // divides into column 0.
    POINT point = {};
    DragQueryPoint(drop, &point);
    int column = point.x / kButtonSize;
    char path[kTextSize];
    if (column >= 0 && column < Settings->IconsPerPage && TakeDroppedFile(drop, path))
        RegisterDroppedFile(window, path, column);
    DragFinish(drop);
}

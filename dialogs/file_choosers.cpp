// The common Open dialog and the shell folder browser behind the "..." buttons of the dialogs.
#include "dialogs/file_choosers.h"

#include <cderr.h>
#include <commdlg.h>
#include <shlobj.h>
#include <string.h>

#include "common/app_state.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "common/text_cut.h"
#include "resource.h"

namespace {

// Filter list of the Open dialog: programs and icon files first, then everything.
const char kFileFilter[] = "EXE\0*.exe;*.ico;*.dll;*.pif;*.bat\0All Files\0*.*\0";

// The browser's owner and its path label live only during one ChooseFolder call; the callback
// has no other way to reach them.
HWND FolderOwner;
HWND FolderLabel;

BOOL CALLBACK FindLabel(HWND child, LPARAM)
{
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "static") != 0)
        return TRUE;
    FolderLabel = child;
    return FALSE;
}

void OnBrowserInitialized(HWND browser, LPARAM initial)
{
    EnumChildWindows(browser, FindLabel, 0);
    if (initial)
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, initial);
    // The register dialog may have been hidden meanwhile; the main window is then the anchor.
    HWND reference = IsWindowVisible(FolderOwner) ? FolderOwner : MainWindow;
    PlaceWindow(browser, reference, 50, 70);
}

void OnBrowserSelectionChanged(LPARAM item)
{
    char path[MAX_PATH];
    if (FolderLabel && SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(item), path))
        SetWindowTextA(FolderLabel, path);
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM param, LPARAM data)
{
    switch (message) {
    case BFFM_INITIALIZED: OnBrowserInitialized(browser, data); break;
    case BFFM_SELCHANGED: OnBrowserSelectionChanged(param); break;
    }
    return 0;
}

} // namespace

bool ChooseFile(HWND owner, char* out, const char* initial)
{
    char file[MAX_PATH] = "";
    out[0] = '\0';
    if (initial)
        CopyWholeCharacters(file, sizeof file, initial);

    // The Windows 95/NT 4 size of the structure: the program asks for no newer dialog features.
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFileFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;

    // The dialog makes every folder the user browses to the process's current folder, even when
    // the user cancels, and OFN_NOCHANGEDIR does not stop that on Windows. Left there, the
    // launcher would hold a removable or network folder open until it exits, and items without
    // a work folder would start in it.
    char current[MAX_PATH];
    DWORD kept = GetCurrentDirectoryA(sizeof current, current);
    bool chosen = false;
    for (;;) {
        DWORD error = 0;
        if (!GetOpenFileNameA(&ofn))
            error = CommDlgExtendedError();
        // A path longer in bytes than in characters can also come back filling the buffer to
        // its last byte, without a terminator, instead of failing.
        else if (!memchr(file, '\0', sizeof file))
            error = FNERR_BUFFERTOOSMALL;
        else {
            chosen = true;
            break;
        }
        // A chosen path longer than the item fields is refused like any bad input, and the
        // dialog stays for another choice. A starting text that Windows refuses before showing
        // anything (a web address, a command line in quotes) gives way to an empty name.
        if (error == FNERR_BUFFERTOOSMALL)
            ReportError(IDS_ERR_BAD_VALUE, nullptr);
        else if (error != FNERR_INVALIDFILENAME || !file[0])
            break;
        file[0] = '\0';
    }
    if (kept > 0 && kept < sizeof current)
        SetCurrentDirectoryA(current);
    if (chosen)
        CopyWholeCharacters(out, MAX_PATH, file);
    return chosen;
}

bool ChooseFolder(HWND owner, const char* initial, char* out)
{
    out[0] = '\0';
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator)
        return false;
    char* displayName = static_cast<char*>(allocator->Alloc(MAX_PATH));
    if (!displayName) {
        allocator->Release();
        return false;
    }

    FolderOwner = owner;
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = "Folder Name";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = (initial && *initial) ? reinterpret_cast<LPARAM>(initial) : 0;

    bool picked = false;
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (item) {
        char path[MAX_PATH];
        if (SHGetPathFromIDListA(item, path)) {
            CopyWholeCharacters(out, MAX_PATH, path);
            picked = true;
        }
        allocator->Free(item);
    }
    allocator->Free(displayName);
    allocator->Release();
    FolderOwner = nullptr;
    FolderLabel = nullptr;
    return picked;
}

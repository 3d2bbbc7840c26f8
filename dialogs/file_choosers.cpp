// The common Open dialog, the shell folder browser and the double-byte-aware path splitting
// behind the "..." buttons of the dialogs.
#include "dialogs/file_choosers.h"

#include <commdlg.h>
#include <shlobj.h>

#include "app/main_window.h"
#include "common/place_window.h"

namespace {

// Filter list of the Open dialog: programs and icon files first, then everything.
const char kFileFilter[] = "EXE\0*.exe;*.ico;*.dll;*.pif;*.bat\0All Files\0*.*\0";

// The browser's owner and its path label live only during one ChooseFolder call; the callback
// has no other way to reach them.
HWND FolderOwner;
HWND FolderLabel;

// Copies the text from from up to end (the NUL when end is null) into out, a buffer of
// MAX_PATH bytes. Only whole characters are copied, so a cut never leaves the lead byte of a
// double-byte character without its second byte.
void CopyWhole(char* out, const char* from, const char* end)
{
    char* o = out;
    const char* p = from;
    while (*p && (!end || p < end)) {
        const char* next = CharNextA(p);
        if ((o - out) + (next - p) > MAX_PATH - 1)
            break;
        while (p < next)
            *o++ = *p++;
    }
    *o = '\0';
}

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
    if (initial && *initial)
        CopyWhole(file, initial, nullptr);

    // The Windows 95/NT 4 size of the structure: the program asks for no newer dialog features.
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFileFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn))
        return false;
    CopyWhole(out, file, nullptr);
    return true;
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
            CopyWhole(out, path, nullptr);
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

const char* GetFolderPart(const char* path, char* out)
{
    out[0] = '\0';
    // Walk by characters: in code page 932 the second byte of a double-byte character such as
    // "表" or "ソ" is 0x5C, which a byte search would take for a separator.
    const char* lastBackslash = nullptr;
    const char* lastSlash = nullptr;
    for (const char* p = path; *p; p = CharNextA(p)) {
        if (*p == '\\')
            lastBackslash = p;
        else if (*p == '/')
            lastSlash = p;
    }
    const char* separator = lastBackslash ? lastBackslash : lastSlash;
    if (!separator)
        return nullptr;
    // The folder of a file in a root keeps its separator: "C:" alone would name the current
    // folder of drive C, not its root.
    bool root = separator == path || (separator == path + 2 && path[1] == ':' &&
                                      !IsDBCSLeadByte(static_cast<BYTE>(path[0])));
    CopyWhole(out, path, root ? separator + 1 : separator);
    return separator;
}

void GetFileNamePart(const char* path, char* out)
{
    // The last component follows the last separator of either kind, or a leading drive. The
    // path is walked by characters in the system code page, as GetFolderPart walks it, so that
    // the two agree on where the folder ends.
    const char* start = path;
    if (path[0] && !IsDBCSLeadByte(static_cast<BYTE>(path[0])) && path[1] == ':')
        start = path + 2;
    for (const char* p = start; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/')
            start = p + 1;
    }
    CopyWhole(out, start, nullptr);
}

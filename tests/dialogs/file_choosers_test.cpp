// The Open dialog, the folder browser and the path splitting, on Wine's real common dialogs and
// in code page 932.
#include "test_support.h"

#include <commctrl.h>
#include <shlobj.h>
#include <string.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "dialogs/file_choosers.h"

namespace {

const char kOpenCaption[] = "開く";
const char kBrowserCaption[] = "フォルダーの参照";
const int kFileNameBox = 0x47C;
const int kFileTypeBox = 0x470;
const int kFolderTree = 0x3741;

struct ChildSearch {
    const char* className;
    std::string text;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, search->className) != 0)
        return TRUE;
    if (!search->text.empty() && ui::TextOf(child) != search->text)
        return TRUE;
    search->found = child;
    return FALSE;
}

// The first descendant of class className (with text, when given), or null.
HWND FindChild(HWND parent, const char* className, const std::string& text = "")
{
    ChildSearch search = {className, text, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ComboEntry(HWND combo, int index)
{
    char text[256] = "";
    if (SendMessageA(combo, CB_GETLBTEXTLEN, index, 0) < static_cast<LRESULT>(sizeof text))
        SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

int ListedFiles(HWND openDialog)
{
    HWND view = FindChild(openDialog, "SysListView32");
    return view ? static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0)) : -1;
}

POINT TopLeft(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return {r.left, r.top};
}

HWND MakeWindow(const char* caption, int x, int y, bool visible)
{
    return CreateWindowExA(0, "STATIC", caption, WS_POPUP | (visible ? WS_VISIBLE : 0), x, y, 300,
                           200, nullptr, nullptr, nullptr, nullptr);
}

std::string FolderPath(UINT (*read)(char*, UINT))
{
    char path[MAX_PATH] = "";
    read(path, sizeof path);
    return path;
}

UINT WindowsFolder(char* buffer, UINT size)
{
    return GetWindowsDirectoryA(buffer, size);
}
UINT SystemFolder(char* buffer, UINT size)
{
    return GetSystemDirectoryA(buffer, size);
}

// A folder of empty files for the Open dialog to list, removed with the case.
struct FileFolder {
    std::string path;
    explicit FileFolder(std::initializer_list<const char*> names)
    {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        path = std::string(temp) + "veldar_open_test";
        CreateDirectoryA(path.c_str(), nullptr);
        for (const char* name : names) {
            HANDLE file = CreateFileA(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            CloseHandle(file);
            files.push_back(name);
        }
    }
    ~FileFolder()
    {
        for (const std::string& name : files)
            DeleteFileA(File(name.c_str()).c_str());
        RemoveDirectoryA(path.c_str());
    }
    std::string File(const char* name) const { return path + "\\" + name; }
    std::vector<std::string> files;
};

} // namespace

TEST_CASE("paths split at the real last separator")
{
    // The double-byte cases rely on these characters carrying a 0x5C second byte in code page
    // 932, where a byte search for "\\" would split them.
    REQUIRE(strcmp("表", "\x95\x5C") == 0);
    REQUIRE(strcmp("ソ", "\x83\x5C") == 0);

    struct Case {
        const char* path;
        const char* folder;
        int separator; // offset of the separator in path, -1 for none
        const char* name;
    } cases[] = {
        {"C:\\WINDOWS\\NOTEPAD.EXE", "C:\\WINDOWS", 10, "NOTEPAD.EXE"},
        {"C:\\A.EXE", "C:", 2, "A.EXE"},
        {"NOTEPAD.EXE", "", -1, "NOTEPAD.EXE"},
        {"C:\\Program Files\\Tool\\app.setup.exe", "C:\\Program Files\\Tool", 21, "app.setup.exe"},
        {"C:/Program Files/Tool/app.exe", "C:/Program Files/Tool", 21, "app.exe"},
        {"C:A.EXE", "", -1, "A.EXE"},
        {"C:\\Tool\\", "C:\\Tool", 7, ""},
        {"C:\\表\\ソ\\A.EXE", "C:\\表\\ソ", 8, "A.EXE"},
        {"C:\\表ソ\\表.EXE", "C:\\表ソ", 7, "表.EXE"},
        {"C:\\ソ", "C:", 2, "ソ"},
        {"D:/表/ソ", "D:/表", 5, "ソ"},
        {"表ソ.EXE", "", -1, "表ソ.EXE"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.path);
        char folder[MAX_PATH] = "leftover";
        char name[MAX_PATH] = "leftover";
        const char* separator = GetFolderPart(c.path, folder);
        GetFileNamePart(c.path, name);
        CHECK(std::string(folder) == c.folder);
        CHECK(separator == (c.separator < 0 ? nullptr : c.path + c.separator));
        CHECK(std::string(name) == c.name);
    }
}

TEST_CASE("the Open dialog offers programs and icon files first, then all files")
{
    FileFolder folder({"a.exe", "b.txt", "c.dll", "d.bat", "e.ico"});
    char out[MAX_PATH] = "leftover";

    SUBCASE("filters, and cancel returns nothing")
    {
        std::string types[2];
        int selectedType = -1, programsListed = -1, allListed = -1;
        ui::UiScript script;
        script.On(kOpenCaption, [&](HWND dialog) {
            HWND combo = GetDlgItem(dialog, kFileTypeBox);
            REQUIRE(SendMessageA(combo, CB_GETCOUNT, 0, 0) == 2);
            types[0] = ComboEntry(combo, 0);
            types[1] = ComboEntry(combo, 1);
            selectedType = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
            programsListed = ListedFiles(dialog);
            // The Open dialog takes a new filter on CBN_SELENDOK, as a pick with the mouse
            // or the keyboard ends.
            SendMessageA(combo, CB_SETCURSEL, 1, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kFileTypeBox, CBN_SELENDOK),
                         reinterpret_cast<LPARAM>(combo));
        });
        script.On(kOpenCaption, [&](HWND dialog) {
            allListed = ListedFiles(dialog);
            ui::Click(dialog, IDCANCEL);
        });
        CHECK_FALSE(ChooseFile(nullptr, out, folder.File("b.txt").c_str()));
        CHECK(script.Failures().empty());
        CHECK(out[0] == '\0');
        CHECK(types[0] == "EXE");
        CHECK(types[1] == "All Files");
        CHECK(selectedType == 0);
        CHECK(programsListed == 4); // a.exe, c.dll, d.bat, e.ico
        CHECK(allListed == 5);
    }
    SUBCASE("a confirmed file comes back with its full path")
    {
        std::string shown;
        ui::UiScript script;
        script.On(kOpenCaption, [&](HWND dialog) {
            shown = ui::ControlText(dialog, kFileNameBox);
            ui::SetControlText(dialog, kFileNameBox, "c.dll");
            ui::Click(dialog, IDOK);
        });
        CHECK(ChooseFile(nullptr, out, folder.File("a.exe").c_str()));
        CHECK(script.Failures().empty());
        CHECK(shown == "a.exe");
        CHECK(lstrcmpiA(out, folder.File("c.dll").c_str()) == 0);
    }
}

TEST_CASE("the folder browser opens on the initial folder beside its owner")
{
    const std::string windows = FolderPath(WindowsFolder);
    const std::string system = FolderPath(SystemFolder);
    HWND owner = MakeWindow("owner", 100, 80, true);
    char out[MAX_PATH] = "leftover";

    SUBCASE("the initial folder is selected and named in the label")
    {
        POINT at = {};
        std::string selected;
        bool labelled = false;
        ui::UiScript script;
        script.On(kBrowserCaption, [&](HWND browser) {
            at = TopLeft(browser);
            HWND tree = GetDlgItem(browser, kFolderTree);
            char text[MAX_PATH] = "";
            TVITEMA item = {};
            item.mask = TVIF_TEXT;
            item.hItem = TreeView_GetSelection(tree);
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            selected = text;
            labelled = FindChild(browser, "Static", windows) != nullptr;
            ui::Click(browser, IDOK);
        });
        CHECK(ChooseFolder(owner, windows.c_str(), out));
        CHECK(script.Failures().empty());
        CHECK(lstrcmpiA(out, windows.c_str()) == 0);
        CHECK(lstrcmpiA(selected.c_str(), "windows") == 0);
        CHECK(labelled);
        CHECK(at.x == 150);
        CHECK(at.y == 150);
    }
    SUBCASE("the label follows the selection, and OK returns it")
    {
        bool labelled = false;
        ui::UiScript script;
        script.On(kBrowserCaption, [&](HWND browser) {
            SendMessageA(browser, BFFM_SETSELECTIONA, TRUE,
                         reinterpret_cast<LPARAM>(system.c_str()));
            labelled = FindChild(browser, "Static", system) != nullptr;
            ui::Click(browser, IDOK);
        });
        CHECK(ChooseFolder(owner, windows.c_str(), out));
        CHECK(labelled);
        CHECK(lstrcmpiA(out, system.c_str()) == 0);
    }
    SUBCASE("a hidden owner gives way to the main window")
    {
        ShowWindow(owner, SW_HIDE);
        MainWindow = MakeWindow("main", 200, 100, true);
        POINT at = {};
        ui::UiScript script;
        script.On(kBrowserCaption, [&](HWND browser) {
            at = TopLeft(browser);
            ui::Click(browser, IDCANCEL);
        });
        CHECK_FALSE(ChooseFolder(owner, "", out));
        CHECK(script.Failures().empty());
        CHECK(out[0] == '\0');
        CHECK(at.x == 250);
        CHECK(at.y == 170);
        DestroyWindow(MainWindow);
        MainWindow = nullptr;
    }
    DestroyWindow(owner);
}

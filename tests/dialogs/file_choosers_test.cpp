// The Open dialog and the folder browser, on Wine's real common dialogs.
#include "dialog_steps.h"

#include <commctrl.h>
#include <shlobj.h>

#include "dialogs/file_choosers.h"

const int kFileNameBox = 0x47C, kFileTypeBox = 0x470;

// Files the Open dialog's list shows.
static std::string Listed(HWND open)
{
    HWND view = FindWindowExA(open, nullptr, "SHELLDLL_DefView", nullptr);
    return std::to_string(ListView_GetItemCount(FindWindowExA(view, 0, "SysListView32", 0))) + "|";
}

TEST_CASE("the Open dialog offers programs and icon files first, then all files")
{
    // A folder of empty files for the dialog to list: all but b.txt, then all.
    const std::string folder = InFolder(GetWindowsDirectoryA, "veldar_open_test\\");
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"a.exe", "b.txt", "c.dll", "d.bat", "e.ico", "f.pif"})
        CloseHandle(CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0));
    char out[MAX_PATH] = "leftover";
    std::string seen;
    ui::UiScript script;
    script.On("開く", [&](HWND d) {
        for (int i : {-1, 0, 1})
            seen += Ask(d, kFileTypeBox, i < 0 ? CB_GETCOUNT : CB_GETLBTEXT, i);
        seen += Ask(d, kFileTypeBox, CB_GETCURSEL) + ui::ControlText(d, kFileNameBox) + Listed(d);
        // The dialog takes a new filter on CBN_SELENDOK, as a pick with mouse or keyboard ends.
        SendDlgItemMessageA(d, kFileTypeBox, CB_SETCURSEL, 1, 0);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(kFileTypeBox, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(GetDlgItem(d, kFileTypeBox)));
    });
    script.On("開く", [&](HWND d) {
        seen += Listed(d), ui::SetControlText(d, kFileNameBox, "c.dll"), ui::Click(d, IDOK);
    });
    script.On("開く", [](HWND d) { ui::Click(d, IDCANCEL); });
    CHECK((ChooseFile(nullptr, out, (folder + "a.exe").c_str()) &&
           lstrcmpiA(out, (folder + "c.dll").c_str()) == 0));
    CHECK_FALSE(ChooseFile(nullptr, out, (folder + "b.txt").c_str()));
    CHECK(seen + out == "2|EXE|All Files|0|a.exe5|6|"); // cancel empties out
}

TEST_CASE("the folder browser opens on the initial folder beside its visible owner")
{
    const std::string windows = InFolder(GetWindowsDirectoryA),
                      system = InFolder(GetSystemDirectoryA);
    HWND owner = Popup(100, 80, 300, 200, "owner");
    MainWindow = Popup(200, 100, 300, 200, "main");
    char out[MAX_PATH] = "leftover";
    std::string seen;
    // The label follows the selection; with the owner hidden the main window is the anchor.
    ui::UiScript script;
    for (std::string select : {std::string(), system})
        script.On("フォルダーの参照", [&seen, select](HWND b) {
            RECT at;
            GetWindowRect(b, &at);
            if (!select.empty())
                SendMessageA(b, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(select.c_str()));
            seen += std::to_string(at.left) + "," + std::to_string(at.top) + " " +
                    ui::TextOf(FindWindowExA(b, nullptr, "Static", nullptr)) + "|";
            ui::Click(b, select.empty() ? IDOK : IDCANCEL);
        });
    CHECK((ChooseFolder(owner, windows.c_str(), out) && lstrcmpiA(out, windows.c_str()) == 0));
    ShowWindow(owner, SW_HIDE);
    CHECK_FALSE(ChooseFolder(owner, "", out));
    CHECK(seen + out == "150,150 " + windows + "|250,170 " + system + "|");
    DestroyWindow(MainWindow), DestroyWindow(owner), MainWindow = nullptr;
}

// Item buttons for real: launching through the shell, the item context menu and files dropped
// onto the main window.
#include "test_support.h"

#include <stdio.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "app/item_launch.h"
#include "app/page_grid.h"
#include "resource.h"
#include "store/reg_key.h"

namespace {

// Items are mostly written after the window opened: every operation reads its slot then.
void StartOnSecondPage()
{
    RegKey(VELDAR_REG_BASE, VELDAR_REG_SETTINGS, false).WriteDword("Start", 1);
}

ItemSlot MakeItem(const char* caption, const std::string& file, const char* arguments = "",
                  const std::string& folder = "", int showState = 0)
{
    ItemSlot item = {};
    lstrcpynA(item.Caption, caption, sizeof item.Caption);
    lstrcpynA(item.FilePath, file.c_str(), sizeof item.FilePath);
    lstrcpynA(item.IconPath, file.c_str(), sizeof item.IconPath);
    lstrcpynA(item.WorkDir, folder.c_str(), sizeof item.WorkDir);
    lstrcpynA(item.Arguments, arguments, sizeof item.Arguments);
    item.ShowState = showState;
    return item;
}

bool IsStored(int slot, const ItemSlot& expected)
{
    ItemSlot item;
    LoadItem(slot, &item);
    return memcmp(&item, &expected, sizeof item) == 0;
}

int OccupiedSlots()
{
    ItemSlot item;
    int count = 0;
    for (int slot = 0; slot < 40; ++slot)
        count += LoadItem(slot, &item);
    return count;
}

HWND Button(int position)
{
    return Settings->ItemButtons[position].Window;
}

// A right press with the mouse pointer on the button, as the user makes it.
void RightPress(int position)
{
    RECT r;
    GetWindowRect(Button(position), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(Button(position), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(19, 19));
    SendMessageA(Button(position), WM_RBUTTONUP, 0, MAKELPARAM(19, 19));
}

// Drops files at x (client coordinates) in the middle of the row.
void Drop(const std::vector<std::string>& files, int x)
{
    HDROP drop = ui::MakeDrop(files, POINT{x, 19});
    REQUIRE(drop);
    SendMessageA(MainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}

const std::string Probe = ui::BuildFile("launch_probe.exe");

// What the probe writes down first when it is started with these arguments, in this folder,
// with this show command.
std::string Record(const std::string& arguments, const std::string& folder, int show)
{
    return "args=" + arguments + "\ndir=" + folder + "\nshow=" + std::to_string(show) + "\n";
}

// Runs launch and returns the record of the probe that it started; empty when no probe
// reported in time.
std::string ProbeRun(const std::function<void()>& launch)
{
    const std::string path = ui::BuildFile("launch_probe_record.txt");
    SetEnvironmentVariableA("VELDAR_PROBE_OUT", path.c_str());
    DeleteFileA(path.c_str());
    launch();
    std::string record;
    ui::WaitUntil([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; },
                  15000);
    if (FILE* file = fopen(path.c_str(), "rb")) {
        char text[4096];
        record.assign(text, fread(text, 1, sizeof text, file));
        fclose(file);
    }
    DeleteFileA(path.c_str());
    // The state the probe's window took after that is the shell's and the probe's business.
    return record.substr(0, record.find("winmain="));
}

// A folder whose name has a character ("ソ") whose second byte is 0x5C.
std::string WorkFolder()
{
    std::string folder = ui::BuildFile("作業ソフト");
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

} // namespace

TEST_CASE("a click launches what the slot of the current page holds at that moment")
{
    // Written before the window opened, and replaced behind its back.
    LauncherWindow launcher([] {
        StartOnSecondPage();
        ItemSlot old = MakeItem("old", Probe, "old");
        SaveItem(12, &old);
    });
    const char arguments[] = "alpha \"beta gamma\"  表示 -x";
    for (int state = 0; state < 3; ++state) {
        CAPTURE(state);
        ItemSlot item = MakeItem("probe", Probe, arguments, WorkFolder(), state);
        SaveItem(12, &item);
        // Through the shell, with exactly the arguments, in the folder, shown with ShowState + 1.
        CHECK(ProbeRun([] { SendMessageA(Button(2), BM_CLICK, 0, 0); }) ==
              Record(arguments, WorkFolder(), state + 1));
    }
}

TEST_CASE("a file the shell cannot open is reported with the system's text and changes nothing")
{
    LauncherWindow launcher;
    const std::string missing = ui::BuildFile("no such program.exe");
    DeleteFileA(missing.c_str());
    ItemSlot item = MakeItem("missing", missing, "a b", WorkFolder());
    SaveItem(3, &item);
    char expected[520] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   ERROR_FILE_NOT_FOUND, 0, expected, sizeof expected, nullptr);
    expected[strcspn(expected, "\r\n")] = '\0';

    // A second box, or a properties sheet, would show something that must not be there.
    std::string text;
    ui::UiScript script;
    script.Answer(IDOK, &text).Answer(IDOK);
    std::vector<HWND> before = ui::ThreadWindows();
    CHECK(LaunchItem(launcher.window, 3) == 0);
    CHECK(script.StepsRun() == 1);
    CHECK(text.substr(0, strlen(expected)) == expected);
    CHECK(IsStored(3, item));

    // Neither the properties of the missing file or of a free slot, nor a launch of a free
    // slot (also one freed behind the window's back) show anything.
    ShowItemProperties(launcher.window, 3);
    ShowItemProperties(launcher.window, 0);
    ItemSlot freed = {};
    SaveItem(3, &freed);
    CHECK(LaunchItem(launcher.window, 3) == 0);
    CHECK(LaunchItem(launcher.window, 0) == 0);
    ui::DrainMessages();
    CHECK(script.StepsRun() == 1);
    CHECK(ui::ThreadWindows() == before);
}

TEST_CASE("a right press on an item button opens the item menu of its slot")
{
    LauncherWindow launcher(StartOnSecondPage);
    // On the first page only, so that a wrong page shows.
    ItemSlot other = MakeItem("page one", Probe);
    SaveItem(4, &other);
    // Each menu notes which item entries it grays; the first is closed, in the second 起動 is
    // chosen.
    std::string grayed;
    ui::UiScript script;
    for (UINT choose : {0, IDM_ITEM_LAUNCH}) {
        script.On(
            nullptr,
            [&grayed, choose](HWND menu) {
                for (UINT id :
                     {IDM_ITEM_LAUNCH, IDM_ITEM_REGISTER, IDM_ITEM_MOVE, IDM_ITEM_PROPERTIES})
                    grayed += ui::IsMenuEntryGrayed(menu, id) ? std::to_string(id) + " " : "";
                choose ? ui::ChooseMenuEntry(menu, choose) : ui::DismissMenu(menu);
            },
            ui::kMenuClass);
    }

    // A free slot offers only registering.
    RightPress(4);
    CHECK(grayed == "1001 1003 1005 ");
    // An occupied slot offers everything, and 起動 launches it.
    ItemSlot item = MakeItem("probe", Probe, "from the menu", WorkFolder());
    SaveItem(10 + 5, &item);
    grayed.clear();
    CHECK(ProbeRun([] { RightPress(5); }) == Record("from the menu", WorkFolder(), 1));
    CHECK(script.Done());
    CHECK(grayed == "");
}

TEST_CASE("a file dropped on an item button registers into that position of the current page")
{
    LauncherWindow launcher(StartOnSecondPage);
    // Only the first file need exist: its icon is shown.
    const std::string first = WorkFolder() + "\\最初のファイル.txt";
    CloseHandle(CreateFileA(first.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const ItemSlot fromFirst = MakeItem("最初のファイル.txt", first, "", WorkFolder());
    const std::string second = ui::BuildFile("second.txt"), third = ui::BuildFile("third.txt");
    std::string folder = ui::BuildFile("");
    folder.pop_back(); // the folder of second and third, without the last separator
    ui::UiScript script;
    std::string caption, text;
    script.On(
        nullptr,
        [&](HWND box) {
            caption = ui::TextOf(box);
            text = ui::MessageText(box);
            ui::Click(box, IDNO);
        },
        "#32770");
    // A question too many is answered No, so that a fault fails the case instead of hanging it.
    script.Answer(IDYES).Answer(IDNO);

    // Of three files only the first, as a fresh item named after it, shown at once.
    Drop({first, second, third}, 2 * 38 + 20);
    CHECK(IsStored(10 + 2, fromFirst));
    CHECK(OccupiedSlots() == 1);
    CHECK(SendMessageA(Button(2), BM_GETIMAGE, IMAGE_ICON, 0) != 0);
    REQUIRE(ItemTooltip());
    CHECK(ui::TooltipText(ItemTooltip()->TooltipWindow(), Button(2)) == "最初のファイル.txt");
    // A drop on the page spinner or a menu button changes nothing.
    Drop({second}, 10 * 38 + 2);
    Drop({second}, 10 * 38 + 19 + 17);
    CHECK(OccupiedSlots() == 1);
    // A drop a few pixels left of the client area counts as the first column.
    Drop({second}, -4);
    CHECK(IsStored(10, MakeItem("second.txt", second, "", folder)));
    // A drive's root keeps its path as the caption, so the slot does not become free.
    Drop({"C:\\"}, 5 * 38 + 5);
    CHECK(IsStored(10 + 5, MakeItem("C:\\", "C:\\", "", "C:")));
    CHECK(script.StepsRun() == 0);

    // An occupied slot is replaced only after 12009 was answered Yes.
    Drop({third}, 2 * 38 + 1);
    CHECK(script.StepsRun() == 1);
    CHECK(caption == "確認");
    CHECK(text == "既に登録されています。変更しますか？");
    CHECK(IsStored(10 + 2, fromFirst));
    Drop({third}, 2 * 38 + 1);
    CHECK(script.StepsRun() == 2);
    CHECK(IsStored(10 + 2, MakeItem("third.txt", third, "", folder)));
}

// Item buttons for real: launching through the shell, the item menu, dropped files.
#include "test_support.h"

#include "app/item_launch.h"
#include "resource.h"
#include "strip/page_grid.h"

static void Put(int slot, const ItemSlot& item)
{
    SaveItem(slot, &item);
}

static int OccupiedSlots()
{
    ItemSlot item;
    int count = 0;
    for (int slot = 0; slot < 40; ++slot)
        count += LoadItem(slot, &item);
    return count;
}

static void Drop(const std::vector<std::string>& files, int x)
{
    SendMessageA(MainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(ui::MakeDrop(files, {x, 19})),
                 0);
}

const std::string Probe = ui::BuildFile("launch_probe.exe");
// A folder whose name has a character ("ソ") whose second byte is 0x5C.
const std::string Work = ui::BuildFile("作業ソフト");

static std::string Expected(const std::string& arguments, int show)
{
    return "args=" + arguments + "\ndir=" + Work + "\nshow=" + std::to_string(show) + "\n";
}

TEST_CASE("a click or the item menu launches what the slot of the current page holds at that "
          "moment; a file the shell cannot open is reported and changes nothing")
{
    // Slot 4 lies on the first page, where a wrong page would show it.
    LauncherWindow launcher([] {
        WriteSetting("Start", 1), Put(12, MakeItem("old", Probe, "old"));
        Put(4, MakeItem("page one", Probe));
    });
    CreateDirectoryA(Work.c_str(), nullptr);
    const char arguments[] = "alpha \"beta gamma\"  表示 -x";
    for (int state = 0; state < 3; ++state) {
        Put(12, MakeItem("probe", Probe, arguments, Work, state));
        // Through the shell, exactly these arguments, in the folder, shown with ShowState + 1.
        HWND button = Settings->ItemButtons[2].Window;
        CHECK(ui::ProbeRun([=] { SendMessageA(button, BM_CLICK, 0, 0); }, 15000) ==
              Expected(arguments, state + 1));
    }
    Put(13, MakeItem("missing", ui::BuildFile("no such program.exe"), "a", Work));
    std::string stored = Record(13), text, seen;
    const std::string expected = ui::SystemText(ERROR_FILE_NOT_FOUND);
    // The error box, then two item menus; the first rebuilds the grid under it, as a move does.
    bool pressReturned = false;
    ui::UiScript script;
    script.Answer(IDOK, &text).OnMenu([&](HWND menu) {
        for (UINT id : {IDM_ITEM_LAUNCH, IDM_ITEM_REGISTER, IDM_ITEM_MOVE, IDM_ITEM_PROPERTIES})
            seen += ui::IsMenuEntryGrayed(menu, id) ? std::to_string(id) + " " : "";
        seen += pressReturned ? "" : "while the button's message runs";
        Settings->IconsPerPage = 5, RebuildItemGrid(MainWindow, 10, 5), ui::DismissMenu(menu);
    });
    script.OnMenu([](HWND menu) { ui::ChooseMenuEntry(menu, IDM_ITEM_LAUNCH); });
    CHECK((LaunchItem(launcher.window, 3) == 0 && Record(13) == stored && text == expected));
    // A missing file's properties and a free slot (also one freed behind its back) show nothing.
    ShowItemProperties(launcher.window, 3), ShowItemProperties(launcher.window, 0);
    Put(13, {});
    CHECK(LaunchItem(launcher.window, 3) + LaunchItem(launcher.window, 0) == 0);
    ui::Pump(100);
    CHECK((script.StepsRun() == 1 && script.Failures().empty()));

    ui::RightPress(Settings->ItemButtons[4].Window), pressReturned = true;
    CHECK(
        ui::WaitUntil([&] { return script.StepsRun() == 2 && IsWindowEnabled(MainWindow); }, 5000));
    CHECK(seen == "1001 1003 1005 "); // page 2 of five now holds slots 5..9
    Put(5 + 3, MakeItem("probe", Probe, "from the menu", Work));
    CHECK(ui::ProbeRun([] { ui::RightPress(Settings->ItemButtons[3].Window); }, 15000) ==
          Expected("from the menu", 1));
}

TEST_CASE("a file dropped on an item button registers into that position of the current page; "
          "after the end of the session nothing does")
{
    LauncherWindow launcher([] { WriteSetting("Start", 1); });
    CreateDirectoryA(Work.c_str(), nullptr);
    const std::string first = Work + "\\最初.txt", second = ui::BuildFile("second.txt");
    CloseHandle(CreateFileA(first.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::string fromFirst = "最初.txt|" + first + "|" + first + "|" + Work + "||0|0";
    std::string question, refused;
    ui::UiScript script;
    auto no = [&](HWND box) { question = ui::MessageText(box), ui::Click(box, IDNO); };
    script.On("確認", no, "#32770").Answer(IDYES).Answer(IDOK, &refused);
    // Of two files only the first. Nothing on the spinner or a menu button; left of the client
    // area is the first column; a drive's root keeps itself as its folder.
    Drop({first, second}, 2 * 38 + 20);
    CHECK(Record(12) + Shown(2) == fromFirst + "最初.txt");
    Drop({second}, 10 * 38 + 2), Drop({second}, 10 * 38 + 19 + 17);
    CHECK(OccupiedSlots() == 1);
    Drop({second}, -4);
    CHECK(Record(10) == "second.txt|" + second + "|" + second + "|" +
                            second.substr(0, second.size() - 11) + "||0|0");
    Drop({"C:\\"}, 5 * 38 + 5);
    CHECK((Record(15) == "C:\\|C:\\|C:\\|C:\\||0|0" && script.StepsRun() == 0));
    // An occupied slot is replaced only after 12009 was answered Yes.
    Drop({second}, 2 * 38 + 1);
    CHECK(question + Record(12) == "既に登録されています。変更しますか？" + fromFirst);
    Drop({second}, 2 * 38 + 1);
    CHECK(Record(12) == Record(10));
    // A path longer than the fields is refused rather than stored cut; 259 bytes fit whole.
    const std::string deep = DeepFile(259);
    Drop({DeepFile(270)}, 4 * 38 + 1);
    CHECK(refused + Record(14) == "不正な値です。|||||0|0");
    Drop({deep}, 4 * 38 + 1);
    CHECK((script.Done() && Record(14).find("|" + deep + "|" + deep + "|") != std::string::npos));

    // After the end of the session a size change, drop, page step or item menu does nothing.
    RECT before, after;
    GetWindowRect(launcher.window, &before);
    SendMessageA(launcher.window, WM_ENDSESSION, TRUE, 0);
    SendMessageA(launcher.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 200));
    Drop({second}, 20);
    NMUPDOWN step = {{nullptr, IDC_PAGE_SPINNER, static_cast<UINT>(UDN_DELTAPOS)}, 0, 1};
    SendMessageA(launcher.window, WM_NOTIFY, IDC_PAGE_SPINNER, reinterpret_cast<LPARAM>(&step));
    SendMessageA(launcher.window, WM_ITEMMENU, 0, 0);
    ui::Pump(100);
    GetWindowRect(launcher.window, &after);
    CHECK((EqualRect(&before, &after) && OccupiedSlots() == 4 && ItemTooltip() == nullptr));
    CHECK((LiveTooltipHooks() == 0 && script.Failures().empty()));
}

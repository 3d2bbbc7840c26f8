// Item buttons for real: launching through the shell, the item context menu and files dropped
// onto the main window.
#include "test_support.h"

#include <stdio.h>
#include <string.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/item_launch.h"
#include "app/page_grid.h"
#include "resource.h"
#include "store/reg_key.h"

namespace {

using Items = std::vector<std::pair<int, ItemSlot>>;

// Items the next LauncherWindow finds in the registry, and the start page it opens on.
Items Prepared;
int PreparedStartPage = 0;

void WritePrepared()
{
    for (const auto& entry : Prepared)
        SaveItem(entry.first, &entry.second);
    RegKey key("Software\\VARNO", "VELDAR", false);
    key.WriteDword("Start", static_cast<DWORD>(PreparedStartPage));
}

void (*Prepare(Items items, int startPage))()
{
    Prepared = std::move(items);
    PreparedStartPage = startPage;
    return WritePrepared;
}

// A launcher window over a registry that holds exactly these items.
struct Strip : LauncherWindow {
    explicit Strip(Items items, int startPage = 0)
        : LauncherWindow(Prepare(std::move(items), startPage))
    {
    }
    HWND Button(int position) const { return GetDlgItem(window, IDC_ITEM_BUTTON_FIRST + position); }
    void Click(int position) const { SendMessageA(Button(position), BM_CLICK, 0, 0); }
    // A right press with the mouse pointer on the button, as the user makes it.
    void RightPress(int position) const
    {
        RECT r;
        GetWindowRect(Button(position), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(Button(position), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(19, 19));
        SendMessageA(Button(position), WM_RBUTTONUP, 0, MAKELPARAM(19, 19));
    }
    // Drops files at x (client coordinates) in the middle of the row.
    void Drop(const std::vector<std::string>& files, int x) const
    {
        HDROP drop = ui::MakeDrop(files, POINT{x, 19});
        REQUIRE(drop);
        SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    }
};

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

bool SameItem(const ItemSlot& a, const ItemSlot& b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

ItemSlot Stored(int slot)
{
    ItemSlot item;
    LoadItem(slot, &item);
    return item;
}

int OccupiedSlots()
{
    int count = 0;
    for (int slot = 0; slot < 40; ++slot)
        count += Stored(slot).Caption[0] != '\0';
    return count;
}

const std::string& Probe()
{
    static const std::string path = ui::BuildFile("launch_probe.exe");
    return path;
}

// Runs launch and returns what the probe that it started wrote down, name by name; empty when
// no probe reported in time.
std::map<std::string, std::string> ProbeRun(const std::function<void()>& launch)
{
    const std::string path = ui::BuildFile("launch_probe_record.txt");
    SetEnvironmentVariableA("VELDAR_PROBE_OUT", path.c_str());
    DeleteFileA(path.c_str());
    launch();
    std::map<std::string, std::string> record;
    if (!ui::WaitUntil([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; },
                       15000))
        return record;
    if (FILE* file = fopen(path.c_str(), "rb")) {
        char line[1024];
        while (fgets(line, sizeof line, file)) {
            line[strcspn(line, "\r\n")] = '\0';
            if (char* eq = strchr(line, '='))
                record[std::string(line, eq)] = eq + 1;
        }
        fclose(file);
    }
    DeleteFileA(path.c_str());
    return record;
}

// A folder whose name has a character ("ソ") whose second byte is 0x5C.
std::string WorkFolder()
{
    std::string folder = ui::BuildFile("作業ソフト");
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string NewFile(const char* name)
{
    std::string path = ui::BuildFile(name);
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return path;
}

// Arms a step that notes which item entries the menu grays ("1001 1003 1005" for a free
// slot), then chooses the entry choose, or closes the menu when choose is 0.
void ReadItemMenu(ui::UiScript& script, std::string* grayed, UINT choose)
{
    script.On(
        nullptr,
        [grayed, choose](HWND menu) {
            for (UINT id : {IDM_ITEM_LAUNCH, IDM_ITEM_REGISTER, IDM_ITEM_MOVE, IDM_ITEM_PROPERTIES})
                if (ui::IsMenuEntryGrayed(menu, id))
                    *grayed += (grayed->empty() ? "" : " ") + std::to_string(id);
            if (choose)
                ui::ChooseMenuEntry(menu, choose);
            else
                ui::DismissMenu(menu);
        },
        ui::kMenuClass);
}

} // namespace

TEST_CASE("an item opens through the shell with its arguments, folder and show state")
{
    SUBCASE("exactly the arguments, in the folder, shown with ShowState + 1")
    {
        const char arguments[] = "alpha \"beta gamma\"  表示 -x";
        const struct {
            const char *given, *iconic, *zoomed;
        } shown[] = {{"1", "0", "0"}, {"2", "1", "0"}, {"3", "0", "1"}};
        for (int state = 0; state < 3; ++state) {
            CAPTURE(state);
            Strip strip({{2, MakeItem("probe", Probe(), arguments, WorkFolder(), state)}});
            auto record = ProbeRun([&] { strip.Click(2); });
            CHECK(record["args"] == arguments);
            CHECK(record["dir"] == WorkFolder());
            CHECK(record["show"] == shown[state].given);
            CHECK(record["iconic"] == shown[state].iconic);
            CHECK(record["zoomed"] == shown[state].zoomed);
            CHECK(record["visible"] == "1");
        }
    }
    SUBCASE("without arguments and folder it starts bare in the launcher's folder")
    {
        Strip strip({{0, MakeItem("probe", Probe())}});
        char folder[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof folder, folder);
        auto record = ProbeRun([&] { strip.Click(0); });
        REQUIRE(record.count("args"));
        CHECK(record["args"] == "");
        CHECK(record["dir"] == folder);
    }
    SUBCASE("the slot of the current page is read when the button is clicked")
    {
        Strip strip({{1, MakeItem("page one", Probe(), "page one")},
                     {10 + 1, MakeItem("page two", Probe(), "old")}},
                    1);
        ItemSlot changed = MakeItem("page two", Probe(), "new");
        SaveItem(10 + 1, &changed);
        CHECK(ProbeRun([&] { strip.Click(1); })["args"] == "new");
    }
}

TEST_CASE("a file the shell cannot open is reported with the system's text and changes nothing")
{
    const std::string missing = ui::BuildFile("no such program.exe");
    DeleteFileA(missing.c_str());
    ItemSlot item = MakeItem("missing", missing, "a b", WorkFolder());
    Strip strip({{3, item}});
    char expected[520] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   ERROR_FILE_NOT_FOUND, 0, expected, sizeof expected, nullptr);
    expected[strcspn(expected, "\r\n")] = '\0';
    REQUIRE(expected[0]);

    std::string text;
    ui::UiScript script;
    script.Answer(IDOK, &text);
    CHECK(LaunchItem(strip.window, 3) == 0);
    CHECK(script.Done());
    CHECK(text.substr(0, strlen(expected)) == expected);
    CHECK(SameItem(Stored(3), item));

    SUBCASE("a free slot, also one freed behind the window's back, launches and asks nothing")
    {
        ui::UiScript none;
        none.Answer(IDOK);
        ItemSlot freed = {};
        SaveItem(3, &freed);
        CHECK(LaunchItem(strip.window, 3) == 0);
        CHECK(LaunchItem(strip.window, 0) == 0);
        CHECK(none.StepsRun() == 0);
    }
}

TEST_CASE("a right press on an item button opens the item menu of its slot")
{
    Strip strip(
        {{4, MakeItem("page one", Probe())}, {10 + 5, MakeItem("probe", Probe(), "from the menu")}},
        1);
    ui::UiScript script;
    std::string grayed;

    SUBCASE("a free slot offers only registering")
    {
        ReadItemMenu(script, &grayed, 0);
        strip.RightPress(4);
        CHECK(script.Done());
        CHECK(grayed == "1001 1003 1005");
    }
    SUBCASE("an occupied slot offers everything, and 起動 launches it")
    {
        ReadItemMenu(script, &grayed, IDM_ITEM_LAUNCH);
        auto record = ProbeRun([&] { strip.RightPress(5); });
        CHECK(script.Done());
        CHECK(grayed == "");
        CHECK(record["args"] == "from the menu");
    }
    SUBCASE("a slot registered behind the window's back counts as occupied")
    {
        ItemSlot added = MakeItem("added", Probe());
        SaveItem(10 + 6, &added);
        ReadItemMenu(script, &grayed, 0);
        strip.RightPress(6);
        CHECK(script.Done());
        CHECK(grayed == "");
    }
}

TEST_CASE("properties of a free slot or a missing file show nothing")
{
    Strip strip({{0, MakeItem("missing", ui::BuildFile("no such document.txt"))}});
    ui::UiScript none;
    none.Answer(IDOK);
    std::vector<HWND> before = ui::ThreadWindows();
    ShowItemProperties(strip.window, 0);
    ShowItemProperties(strip.window, 1);
    ui::DrainMessages();
    CHECK(none.StepsRun() == 0);
    CHECK(ui::ThreadWindows() == before);
}

TEST_CASE("a file dropped on an item button registers into that position of the current page")
{
    WorkFolder();
    const std::string first = NewFile("作業ソフト\\最初のファイル.txt");
    const std::string second = NewFile("second.txt");
    const std::string third = NewFile("third.txt");
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
    script.Answer(IDYES);

    SUBCASE("of three files only the first, as a fresh item named after it")
    {
        Strip strip({}, 1);
        strip.Drop({first, second, third}, 2 * 38 + 20);
        CHECK(script.StepsRun() == 0);
        CHECK(SameItem(Stored(10 + 2), MakeItem("最初のファイル.txt", first, "", WorkFolder())));
        CHECK(OccupiedSlots() == 1);
        CHECK(SendMessageA(strip.Button(2), BM_GETIMAGE, IMAGE_ICON, 0) != 0);
        REQUIRE(ItemTooltip());
        TooltipTool* tool = ItemTooltip()->FindTool(IDC_ITEM_BUTTON_FIRST + 2);
        REQUIRE(tool);
        CHECK(std::string(tool->text ? tool->text : "") == "最初のファイル.txt");
    }
    SUBCASE("a drop on the page spinner or a menu button changes nothing")
    {
        Strip strip({});
        RECT spinner, menu;
        GetWindowRect(Settings->PageSpinner, &spinner);
        GetWindowRect(Settings->LauncherMenuButton, &menu);
        MapWindowPoints(nullptr, strip.window, reinterpret_cast<POINT*>(&spinner), 2);
        MapWindowPoints(nullptr, strip.window, reinterpret_cast<POINT*>(&menu), 2);
        strip.Drop({first}, spinner.left + 2);
        strip.Drop({first}, menu.right - 2);
        CHECK(script.StepsRun() == 0);
        CHECK(OccupiedSlots() == 0);
    }
    SUBCASE("a drop a few pixels left of the client area counts as the first column")
    {
        Strip strip({});
        strip.Drop({second}, -4);
        CHECK(std::string(Stored(0).FilePath) == second);
    }
    SUBCASE("an occupied slot is replaced only after 12009 was answered Yes")
    {
        ItemSlot kept = MakeItem("kept", ui::BuildFile("kept.exe"), "-k", WorkFolder(), 2);
        Strip strip({{3, kept}});
        strip.Drop({first}, 3 * 38 + 1);
        CHECK(script.StepsRun() == 1);
        CHECK(caption == "確認");
        CHECK(text == "既に登録されています。変更しますか？");
        CHECK(SameItem(Stored(3), kept));

        strip.Drop({third}, 3 * 38 + 1);
        CHECK(script.Done());
        std::string folder = ui::BuildFile("");
        folder.pop_back(); // the folder of the dropped file, without the last separator
        CHECK(SameItem(Stored(3), MakeItem("third.txt", third, "", folder)));
    }
    SUBCASE("a drive's root keeps its path as the caption, so the slot does not become free")
    {
        Strip strip({});
        strip.Drop({"C:\\"}, 5);
        ItemSlot item = Stored(0);
        CHECK(std::string(item.Caption) == "C:\\");
        CHECK(std::string(item.FilePath) == "C:\\");
        CHECK(std::string(item.WorkDir) == "C:");
    }
}

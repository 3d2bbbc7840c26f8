// Entry of every test program: the program's own module stands in for VELDAR.EXE (it links the
// same resources). A dialog, box or menu left unanswered fails the running case instead of
// hanging the suite.
#define DOCTEST_CONFIG_IMPLEMENT
#include "test_support.h"

#include <commctrl.h>

#include "store/reg_key.h"
#include "strip/page_grid.h"

int main(int argc, char** argv)
{
    AppInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
    RegisterWindowClasses();
    ui::GuardModals([](const std::string& what) { FAIL_CHECK(what); });
    return doctest::Context(argc, argv).run();
}

FreshSettings::FreshSettings()
{
    GetCurrentDirectoryA(MAX_PATH, startFolder);
    ui::ResetLauncherRegistry();
    Settings = static_cast<LauncherSettings*>(calloc(1, sizeof(LauncherSettings)));
}

FreshSettings::~FreshSettings()
{
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    CHECK(std::string(folder) == startFolder);
    free(Settings), Settings = nullptr;
}

LauncherWindow::LauncherWindow(void (*prepare)())
{
    if (prepare)
        prepare();
    window = CreateMainWindow(SW_SHOWNORMAL);
    REQUIRE(window);
    ui::Pump(30);
}

LauncherWindow::~LauncherWindow()
{
    if (IsWindow(window))
        DestroyWindow(window);
    MainWindow = nullptr;
    // The WM_QUIT the window posts would end the next modal loop of the test program at once.
    for (MSG msg; PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) {
    }
}

void WriteSetting(const char* name, DWORD value)
{
    REQUIRE(RegKey(VELDAR_REG_BASE, VELDAR_REG_SETTINGS, false).WriteDword(name, value));
}

ItemSlot MakeItem(const char* caption, const std::string& file, const char* arguments,
                  const std::string& folder, int showState, int icon)
{
    ItemSlot item = {};
    lstrcpynA(item.Caption, caption, sizeof item.Caption);
    lstrcpynA(item.FilePath, file.c_str(), sizeof item.FilePath);
    lstrcpynA(item.IconPath, file.c_str(), sizeof item.IconPath);
    lstrcpynA(item.WorkDir, folder.c_str(), sizeof item.WorkDir);
    lstrcpynA(item.Arguments, arguments, sizeof item.Arguments);
    item.IconIndex = icon, item.ShowState = showState;
    return item;
}

std::string Record(int slot)
{
    ItemSlot i;
    LoadItem(slot, &i);
    return std::string(i.Caption) + "|" + i.FilePath + "|" + i.IconPath + "|" + i.WorkDir + "|" +
           i.Arguments + "|" + std::to_string(i.IconIndex) + "|" + std::to_string(i.ShowState);
}

std::string Shown(int position)
{
    HWND button = Settings->ItemButtons[position].Window;
    REQUIRE(ItemTooltip());
    std::string tip = ui::TooltipText(ItemTooltip()->TooltipWindow(), button);
    bool icon = SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0) != 0;
    return icon ? tip : tip.empty() ? "-" : "no icon for " + tip;
}

std::string DeepFile(size_t bytes)
{
    std::string path = "C:";
    for (int level = 0; level < 8; ++level)
        CreateDirectoryA((path += "\\長い表ソ").c_str(), nullptr);
    path += "\\" + std::string(bytes - path.size() - 5, 'x') + ".exe";
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return path;
}

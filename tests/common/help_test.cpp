// The help file as the program shows it through the HTML Help control.
#include "test_support.h"

#include "common/help.h"
#include "resource.h"

TEST_CASE("a context number opens the help; a missing file shows the system's text, no more")
{
    ShowHelp(1, IDH_OPTIONS);
    HWND help = ui::WaitForProcessWindow(GetCurrentProcessId(), "HH Parent", 5000);
    CHECK(ui::TextOf(help) == "VELDAR ヘルプ");
    ui::UiScript script;
    std::string shown;
    script.Answer(IDOK, &shown);
    AppInstance = GetModuleHandleA("kernel32.dll"); // a program folder without VELDAR.CHM
    ShowHelp(0, 0);
    AppInstance = GetModuleHandleA(nullptr);
    CHECK(shown == ui::SystemText(ERROR_PATH_NOT_FOUND));
    CHECK(IsWindowVisible(help));
    CloseHelp();
    CHECK_FALSE(FindWindowA("HH Parent", nullptr));
    char path[MAX_PATH] = ""; // one backslash, also for a program in a drive root
    CHECK((HelpFileBeside("C:\\VELDAR.EXE", path) && path == std::string("C:\\VELDAR.CHM")));
}

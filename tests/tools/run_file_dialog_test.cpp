// The run-file dialog over the launcher's main window, with the real shell.
#include "probe_run.h"
#include "resource.h"
#include "tools/run_file_dialog.h"

namespace {

const char kCaption[] = "ファイル名を指定して実行";

// The first line of the system's text for error.
std::string SystemText(DWORD error)
{
    char text[520] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    return std::string(text).substr(0, std::string(text).find('\r'));
}

} // namespace

TEST_CASE("run-file: the button follows the text, failures keep it, success is remembered")
{
    LauncherWindow launcher;
    MadeFiles files;
    files.Make(ui::BuildFile("document.veldar-none"));
    // "a" and 129 double-byte characters fill the 259 bytes; the 260th byte is refused
    // whole instead of being opened cut.
    std::string fits = "a";
    while (fits.size() < 259)
        fits += "表";
    const std::string failures[][2] = {
        {fits, SystemText(ERROR_FILE_NOT_FOUND)},
        {ui::BuildFile("document.veldar-none"), SystemText(ERROR_NO_ASSOCIATION)},
        {fits.substr(1) + "表", "不正な値です。"},
        {Probe + " -x", SystemText(ERROR_FILE_NOT_FOUND)}, // the whole text is the name
    };
    std::string shown[4], offered = "?";
    ui::UiScript script;
    script.On(kCaption, [](HWND dialog) {
        bool empty = !IsWindowEnabled(GetDlgItem(dialog, IDOK));
        ui::SetControlText(dialog, IDC_RUN_INPUT, "x");
        bool typed = IsWindowEnabled(GetDlgItem(dialog, IDOK));
        ui::SetControlText(dialog, IDC_RUN_INPUT, "");
        CHECK((empty && typed && !IsWindowEnabled(GetDlgItem(dialog, IDOK))));
    });
    for (int i = 0; i < 4; ++i) {
        script.On(kCaption, [&, i](HWND dialog) {
            ui::SetControlText(dialog, IDC_RUN_INPUT, failures[i][0].c_str());
            ui::Click(dialog, IDOK);
        });
        script.Answer(IDOK, &shown[i]).On(kCaption, [&, i](HWND dialog) {
            CHECK(ui::ControlText(dialog, IDC_RUN_INPUT) == failures[i][0]);
        });
    }
    script.On(kCaption, [](HWND dialog) {
        ui::SetControlText(dialog, IDC_RUN_INPUT, Probe.c_str());
        ui::Click(dialog, IDOK);
    });
    CHECK(ProbeRun([&] { CHECK(OpenRunFileDialog(launcher.window) == 1); }).rfind("args=\n", 0) ==
          0);
    for (int i = 0; i < 4; ++i)
        CHECK(shown[i].substr(0, failures[i][1].size()) == failures[i][1]);

    // What opened is offered at the next opening, also after a restart; Cancel keeps it.
    SaveSettings(launcher.window);
    ZeroMemory(Settings->LastInput, sizeof Settings->LastInput);
    RECT pos;
    LoadSettings(&pos);
    script.On(kCaption, [&](HWND dialog) {
        offered = ui::ControlText(dialog, IDC_RUN_INPUT);
        ui::Click(dialog, IDCANCEL);
    });
    CHECK(OpenRunFileDialog(launcher.window) == 0);
    CHECK(offered == Probe);
    CHECK(Settings->LastInput == Probe);
}

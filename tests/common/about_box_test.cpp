// The About box: its texts and bold title, its place, every way to close it, and no leak.
#include "test_support.h"

#include "common/about_box.h"
#include "resource.h"

TEST_CASE("the About box is centred, bold and closes by OK, Enter, Escape and close box")
{
    LauncherWindow launcher;
    SetWindowPos(launcher.window, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    int before = 0;
    for (int round = 0; round <= 20; ++round) {
        before = round == 1 ? ui::GdiObjectCount() : before; // round 0 warms the caches
        ui::UiScript script;
        script.On("バージョン情報", [&](HWND box) {
            HWND name = GetDlgItem(box, IDC_ABOUT_NAME);
            LOGFONTA font = {};
            GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(name, WM_GETFONT, 0, 0)), 60, &font);
            RECT client, b, m;
            GetClientRect(name, &client), GetWindowRect(box, &b);
            GetWindowRect(launcher.window, &m);
            OffsetRect(&b, -(m.left + m.right) / 2, -(m.top + m.bottom) / 2);
            CHECK(ui::TextOf(name) + " " + ui::ControlText(box, IDC_ABOUT_VERSION) ==
                  "VELDAR Version 0.17");
            CHECK((font.lfWeight == FW_BOLD && font.lfHeight == client.bottom - 1));
            CHECK(abs(b.left + b.right) + abs(b.top + b.bottom) < 3); // centred on the main window
            if (round % 4 == 3) // the close box; in round 19 the box is ended from outside
                round == 19 ? EndDialog(box, 0) : PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
            else // a click on OK (the key code is then ignored), Enter or Escape
                PostMessageA(GetDlgItem(box, IDOK), round % 4 ? WM_KEYDOWN : BM_CLICK,
                             round % 2 ? VK_RETURN : VK_ESCAPE, 0);
        });
        ShowAboutBox(launcher.window);
        CHECK(script.Done());
    }
    CHECK(ui::GdiObjectCount() == before);
}

TEST_CASE("VELDAR.EXE's version resource is Japanese (041103a4) and names the About box's version")
{
    std::string exe = ui::BuildFile("VELDAR.EXE"), info(65536, '\0'), seen;
    GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(info.size()), &info[0]);
    for (std::string name :
         {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
          "OriginalFilename", "ProductName", "ProductVersion"}) {
        void* text = nullptr;
        UINT size = 0;
        VerQueryValueA(&info[0], ("\\StringFileInfo\\041103a4\\" + name).c_str(), &text, &size);
        seen += (text ? static_cast<char*>(text) : "-") + std::string("|");
    }
    CHECK(seen == "VARNO|デスクトップのアイコン ランチャー|0.17|VELDAR|Copyright (C) 2026 VARNO|"
                  "VELDAR.EXE|VELDAR|0.17|");
}

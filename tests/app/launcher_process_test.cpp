// VELDAR.EXE as its own process: position, help, end of the session, closing, what it saves.
#include "test_support.h"

#include "store/reg_key.h"

struct Launcher {
    PROCESS_INFORMATION pi = {};
    HWND window = nullptr;
    RECT rect = {};

    bool Start(const char* workDir = nullptr)
    {
        if (!ui::StartProcess(ui::BuildFile("VELDAR.EXE"), &pi, workDir))
            MESSAGE("VELDAR.EXE did not start: error ", GetLastError());
        else if (!(window = ui::WaitForProcessWindow(pi.dwProcessId, "WC_VeldarMain", 20000)))
            MESSAGE("no window of VELDAR.EXE; exit code (-1: still running) ", Close());
        GetWindowRect(window, &rect);
        return window != nullptr;
    }
    // Closes the window the normal way; the exit code, or -1 if the process did not end.
    long Close()
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0)
            GetExitCodeProcess(pi.hProcess, &code);
        return static_cast<long>(code);
    }
    ~Launcher()
    {
        // A copy left running would make the next start a second one.
        TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread), CloseHandle(pi.hProcess);
    }
};

// "version|Ico" as stored.
static std::string Saved(RECT* pos = nullptr)
{
    RegKey key("Software\\VARNO", "VELDAR", false);
    char text[16] = "";
    key.ReadString("Ver", text, sizeof text);
    if (pos && !key.ReadBinary("Pos", pos, sizeof *pos))
        SetRectEmpty(pos);
    return text + ("|" + std::to_string(key.ReadDword("Ico")));
}

TEST_CASE("VELDAR.EXE opens the help by F1 never through a planted control, saves when the "
          "session ends and when it closes, and starts where it was unless off screen or second")
{
    ui::ResetLauncherRegistry();
    Launcher l;
    REQUIRE(l.Start("C:\\")); // a current folder other than the program's
    // Planted after the start: the help control registered by bare name, a file of that name.
    const char key[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
    char registered[MAX_PATH];
    LONG size = sizeof registered;
    REQUIRE(RegQueryValueA(HKEY_CLASSES_ROOT, key, registered, &size) == ERROR_SUCCESS);
    RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, "hhctrl.ocx", 10);
    std::string plant = ui::BuildFile("hhctrl.ocx");
    CopyFileA(ui::BuildFile("VELDAR.CHM").c_str(), plant.c_str(), FALSE);
    LONG boxes = GetWindowLongA(l.window, GWL_STYLE) & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    CHECK((ui::TextOf(l.window) == "Veldar - 1" && boxes == WS_MINIMIZEBOX));
    PostMessageA(l.window, WM_KEYDOWN, VK_F1, 0);
    CHECK(ui::WaitForProcessWindow(l.pi.dwProcessId, "HH Parent", 10000));
    DeleteFileA(plant.c_str());
    RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, registered, lstrlenA(registered));

    // A cancelled end of the session saves nothing; the closing saves again.
    SendMessageA(l.window, WM_ENDSESSION, FALSE, 0);
    std::string seen = Saved();
    SendMessageA(l.window, WM_ENDSESSION, TRUE, 0);
    seen += " " + Saved();
    ui::ResetLauncherRegistry();
    RECT pos;
    CHECK((IsWindow(l.window) && l.Close() == 0));
    CHECK(seen + " " + Saved(&pos) == "|0 0.17|10 0.17|10");
    CHECK(EqualRect(&pos, &l.rect));

    // Minimised windows sit at -32000; 5000, 4000 lies on a monitor that is no longer there.
    const struct {
        LONG left, top;
        bool used;
    } cases[] = {{200, 150, true}, {-32000, -32000, false}, {300, -5, false}, {5000, 4000, false}};
    for (const auto& c : cases) {
        CAPTURE(c.left);
        RECT stored = {c.left, c.top, c.left + 100, c.top + 50};
        ui::ResetLauncherRegistry();
        REQUIRE(RegKey("Software\\VARNO", "VELDAR", false).WriteBinary("Pos", &stored, 16));
        Launcher at, second;
        REQUIRE(at.Start());
        const LONG* want = c.used ? &stored.left : &l.rect.left;
        CHECK((at.rect.left == want[0] && at.rect.top == want[1]));
        CHECK((!c.used || (second.Start() && second.rect.left == l.rect.left &&
                           second.rect.top == l.rect.top && second.Close() == 0)));
        CHECK(at.Close() == 0);
    }
}

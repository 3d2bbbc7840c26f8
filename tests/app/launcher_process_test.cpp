// VELDAR.EXE as its own process: start-up position, closing, exit code and what it saves.
#include "test_support.h"

#include <string.h>

#include <string>

#include "store/reg_key.h"

namespace {

const char kSettingsPath[] = "Software\\VARNO\\VELDAR";

struct Launcher {
    PROCESS_INFORMATION pi = {};
    HWND window = nullptr;

    bool Start(const char* workDir = nullptr)
    {
        if (!ui::StartProcess(ui::BuildFile("VELDAR.EXE"), &pi, workDir))
            return false;
        window = ui::WaitForProcessWindow(pi.dwProcessId, "WC_VeldarMain", 15000);
        return window != nullptr;
    }
    // Closes the window the normal way and returns the exit code, or -1 if it did not end.
    long Close()
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return Wait();
    }
    long Wait()
    {
        if (WaitForSingleObject(pi.hProcess, 15000) != WAIT_OBJECT_0) {
            TerminateProcess(pi.hProcess, 99);
            return -1;
        }
        DWORD code = 1234;
        GetExitCodeProcess(pi.hProcess, &code);
        return static_cast<long>(code);
    }
    ~Launcher()
    {
        if (pi.hProcess) {
            if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
                TerminateProcess(pi.hProcess, 99);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
};

RECT Rect(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

void StorePosition(LONG left, LONG top)
{
    RECT pos = {left, top, left + 100, top + 50};
    RegKey key("Software\\VARNO", "VELDAR", false);
    REQUIRE(key.WriteBinary("Pos", &pos, sizeof pos));
}

bool ReadStoredPosition(RECT* pos)
{
    RegKey key("Software\\VARNO", "VELDAR", false);
    return key.ReadBinary("Pos", pos, sizeof *pos);
}

std::string ReadVersion()
{
    RegKey key("Software\\VARNO", "VELDAR", false);
    char text[16];
    key.ReadString("Ver", text, sizeof text);
    return text;
}

// Where a window of the launcher opens when it is given no position: the default position,
// taken from a first start with an empty registry.
POINT DefaultPosition()
{
    ui::ResetLauncherRegistry();
    Launcher l;
    REQUIRE(l.Start());
    RECT r = Rect(l.window);
    l.Close();
    ui::ResetLauncherRegistry();
    return {r.left, r.top};
}

} // namespace

TEST_CASE("the launcher starts, closes with exit code 0 and saves its settings")
{
    ui::ResetLauncherRegistry();
    Launcher l;
    REQUIRE(l.Start());
    char title[64];
    GetWindowTextA(l.window, title, sizeof title);
    CHECK(std::string(title) == "Veldar - 1");
    LONG style = GetWindowLongA(l.window, GWL_STYLE);
    CHECK((style & WS_MAXIMIZEBOX) == 0);
    CHECK((style & WS_MINIMIZEBOX) != 0);
    CHECK(IsWindowVisible(l.window));
    RECT shown = Rect(l.window);

    CHECK(l.Close() == 0);
    RECT stored;
    REQUIRE(ReadStoredPosition(&stored));
    CHECK(memcmp(&stored, &shown, sizeof stored) == 0);
    CHECK(ReadVersion() == "0.17");
    RegKey key("Software\\VARNO", "VELDAR", false);
    CHECK(key.ReadDword("Ico") == 10);
    CHECK(key.ReadDword("Page") == 20);
    char block[64];
    CHECK(key.ReadBinary("Exit", block, sizeof block));
}

TEST_CASE("the stored window position is used only when it is on a screen")
{
    POINT byDefault = DefaultPosition();
    struct Case {
        LONG left, top;
        bool used;
    };
    // -32000 is where a window saved while minimised sits; 5000, 4000 lies on a monitor that
    // is no longer there.
    const Case cases[] = {
        {200, 150, true}, {0, 0, true},        {-32000, -32000, false},
        {300, -5, false}, {5000, 4000, false},
    };
    for (const Case& c : cases) {
        CAPTURE(c.left);
        CAPTURE(c.top);
        ui::ResetLauncherRegistry();
        StorePosition(c.left, c.top);
        Launcher l;
        REQUIRE(l.Start());
        RECT r = Rect(l.window);
        if (c.used) {
            CHECK(r.left == c.left);
            CHECK(r.top == c.top);
        } else {
            CHECK(r.left == byDefault.x);
            CHECK(r.top == byDefault.y);
        }
        CHECK(l.Close() == 0);
    }
}

TEST_CASE("a second copy opens at the default position while the first runs")
{
    POINT byDefault = DefaultPosition();
    StorePosition(200, 150);
    Launcher first;
    REQUIRE(first.Start());
    CHECK(Rect(first.window).left == 200);
    Launcher second;
    REQUIRE(second.Start());
    CHECK(second.window != first.window);
    CHECK(Rect(second.window).left == byDefault.x);
    CHECK(Rect(second.window).top == byDefault.y);
    CHECK(second.Close() == 0);
    CHECK(first.Close() == 0);
}

TEST_CASE("the end of the session saves, and the later destruction saves again")
{
    ui::ResetLauncherRegistry();
    Launcher l;
    REQUIRE(l.Start());

    SendMessageA(l.window, WM_ENDSESSION, 0, 0);
    CHECK(ReadVersion().empty()); // a cancelled end of the session saves nothing
    CHECK(IsWindow(l.window));

    SendMessageA(l.window, WM_ENDSESSION, 1, 0);
    CHECK(ReadVersion() == "0.17");
    {
        RegKey key("Software\\VARNO", "VELDAR", false);
        RegDeleteValueA(key.Handle(), "Ver");
    }
    CHECK(IsWindow(l.window));
    CHECK(l.Close() == 0);
    CHECK(ReadVersion() == "0.17");
}

TEST_CASE("the main window has no maximise box and closes through WM_CLOSE in process")
{
    LauncherWindow launcher;
    CHECK((GetWindowLongA(launcher.window, GWL_STYLE) & WS_MAXIMIZEBOX) == 0);
    CHECK(MainWindow == launcher.window);
    SendMessageA(launcher.window, WM_CLOSE, 0, 0);
    CHECK_FALSE(IsWindow(launcher.window));
    CHECK(Settings->PageSpinner == nullptr);
    CHECK(Settings->ItemButtons == nullptr);
}

TEST_CASE("F1 opens the help from any current folder, never through a planted control")
{
    // The control registered by bare name, and a file of that name beside the program.
    const char key[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
    char registered[MAX_PATH];
    LONG size = sizeof registered;
    REQUIRE(RegQueryValueA(HKEY_CLASSES_ROOT, key, registered, &size) == ERROR_SUCCESS);
    RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, "hhctrl.ocx", 10);
    std::string plant = ui::BuildFile("hhctrl.ocx");
    CopyFileA(ui::BuildFile("VELDAR.CHM").c_str(), plant.c_str(), FALSE);
    Launcher l;
    REQUIRE(l.Start("C:\\")); // a current folder other than the program's
    PostMessageA(l.window, WM_KEYDOWN, VK_F1, 0);
    CHECK(ui::WaitForProcessWindow(l.pi.dwProcessId, "HH Parent", 10000));
    CHECK(l.Close() == 0);
    DeleteFileA(plant.c_str());
    RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, registered, lstrlenA(registered));
}

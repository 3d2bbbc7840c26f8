// Exit, restart and log off, the shutdown reservation and its countdown. The calls that end
// the session and read the clock are replaced for the whole program; the real ones run only in
// the end-to-end case, in a prefix of its own.
#include "test_support.h"

#include <stdlib.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "common/os_family.h"
#include "resource.h"
#include "session/countdown.h"
#include "session/end_session.h"
#include "session/reservation.h"
#include "session/session_calls.h"
#include "store/reg_key.h"

namespace {

SYSTEMTIME FakeNow;
DWORD FakeTick;
BOOL FakeExitResult = TRUE;
std::vector<UINT> ExitCalls;
std::vector<std::string> ExecCalls;

BOOL WINAPI FakeExit(UINT flags, DWORD)
{
    ExitCalls.push_back(flags);
    return FakeExitResult;
}
UINT WINAPI FakeExec(LPCSTR line, UINT show)
{
    ExecCalls.push_back(std::string(line) + " " + std::to_string(show));
    return 33;
}
void WINAPI FakeLocalTime(LPSYSTEMTIME now)
{
    *now = FakeNow;
}
DWORD WINAPI FakeTickCount()
{
    return FakeTick;
}
const bool Replaced = (ExitWindowsCall = FakeExit, WinExecCall = FakeExec,
                       LocalTimeCall = FakeLocalTime, TickCountCall = FakeTickCount, true);

SYSTEMTIME At(int hour, int minute, int second)
{
    return {2026, 12, 1, 7, WORD(hour), WORD(minute), WORD(second), 0};
}

const char kReservationCaption[] = "Windowsの終了予約 - 2026/12/07 22:30";
const char kSettingsKey[] = "Software\\VARNO";

std::string StoredVersion()
{
    char text[16];
    RegKey("Software\\VARNO", "VELDAR", false).ReadString("Ver", text, sizeof text);
    return text;
}

bool ShutdownPrivilegeEnabled()
{
    HANDLE token;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    PRIVILEGE_SET set = {1, PRIVILEGE_SET_ALL_NECESSARY, {}};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &set.Privilege[0].Luid);
    BOOL held = FALSE;
    PrivilegeCheck(token, &set, &held);
    CloseHandle(token);
    return held;
}

void DisableShutdownPrivilege()
{
    HANDLE token;
    OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token);
    TOKEN_PRIVILEGES off = {1, {}};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &off.Privileges[0].Luid);
    AdjustTokenPrivileges(token, FALSE, &off, 0, nullptr, nullptr);
    CloseHandle(token);
}

// A stored reservation, its delay given in seconds.
ReservationBlock Block(int32_t delayOn, uint32_t delay, int32_t timeOn = 0, int hour = 0,
                       int minute = 0)
{
    ReservationBlock b = {};
    b.DelayEnabled = delayOn;
    b.DelayAmount = b.DelaySeconds = delay;
    b.DelayUnit = 2;
    b.TimeEnabled = timeOn;
    b.TimeHour = static_cast<uint16_t>(hour);
    b.TimeMinute = static_cast<uint16_t>(minute);
    return b;
}

void Reset(DWORD tick)
{
    ExitCalls.clear();
    ExecCalls.clear();
    FakeExitResult = TRUE;
    FakeNow = At(22, 30, 40);
    FakeTick = tick;
}

} // namespace

TEST_CASE("seconds until a time of day, and the questions with their end time")
{
    struct Until {
        int h, m, s, hour, minute;
        DWORD want;
    } const untils[] = {
        {9, 5, 30, 9, 5, 86370},   {9, 5, 0, 9, 5, 0},      {23, 59, 30, 0, 0, 30},
        {22, 30, 40, 22, 40, 560}, {10, 0, 1, 9, 0, 82799}, {0, 0, 0, 23, 59, 86340},
    };
    for (const Until& u : untils) {
        CAPTURE(u.h);
        CAPTURE(u.hour);
        CHECK(SecondsUntilAt(At(u.h, u.m, u.s), u.hour, u.minute) == u.want);
    }
    struct Ask {
        DWORD seconds;
        int h, m, s;
        const char* text;
    } const asks[] = {
        {150, 12, 0, 0, "Windowsの終了まであと '150' 秒です。実行しますか？"},
        {200, 12, 0, 0, "Windowsの終了まであと 200秒（0時間3分）です。\n実行しますか？"},
        {3600, 12, 0, 0, "Windowsの終了まであと 3600秒（1時間0分）です。\n実行しますか？"},
        {7200, 22, 30, 40,
         "Windowsの終了まであと 7200秒（2時間0分）です。\n実行しますか？\n\n0時30分に終了します。"},
        {3661, 23, 58, 59,
         "Windowsの終了まであと 3661秒（1時間1分）です。\n実行しますか？\n\n1時0分に終了します。"},
    };
    for (const Ask& a : asks) {
        char text[384];
        FormatShutdownQuestion(a.seconds, At(a.h, a.m, a.s), text, sizeof text);
        CHECK(std::string(text) == a.text);
    }
}

TEST_CASE("the confirmation asks, then ends the session with the flags of its command")
{
    const char* expected = getenv("VELDAR_EXPECT_OS_FAMILY");
    REQUIRE(GetOsFamily() == (expected ? atoi(expected) : WindowsNT));
    const bool nt = GetOsFamily() == WindowsNT;
    struct Row {
        int command, row, answer;
        bool checkFast, exitFails;
        std::vector<UINT> exits;
        std::vector<std::string> execs;
    } const rows[] = {
        {IDM_EXIT_WINDOWS,
         0,
         IDC_CONFIRM_YES,
         false,
         false,
         {UINT(nt ? EWX_POWEROFF : EWX_SHUTDOWN)},
         {}},
        {IDM_RESTART, 1, IDC_CONFIRM_YES, !nt, false, {}, {"RUNDLL USER.EXE,ExitWindowsExec 5"}},
        {IDM_RESTART, 1, IDC_CONFIRM_YES, false, false, {EWX_REBOOT}, {}},
        {IDM_LOG_OFF, 2, IDC_CONFIRM_YES, false, false, {EWX_LOGOFF}, {}},
        {IDM_EXIT_WINDOWS, 0, IDC_CONFIRM_NO, false, false, {}, {}},
        {IDM_EXIT_WINDOWS,
         0,
         IDC_CONFIRM_YES,
         false,
         true,
         {UINT(nt ? EWX_POWEROFF : EWX_SHUTDOWN)},
         {}},
    };
    for (const Row& r : rows) {
        if (r.command == IDM_RESTART && nt && r.execs.size())
            continue; // no fast restart on NT: the next row restarts
        CAPTURE(r.command);
        LauncherWindow launcher;
        Reset(0);
        FakeExitResult = !r.exitFails;
        if (nt && r.command == IDM_LOG_OFF)
            DisableShutdownPrivilege();
        std::string error;
        ui::UiScript script;
        script.On("確認", [&](HWND dialog) {
            for (int k = 0; k < 3; ++k) {
                CHECK(IsWindowVisible(GetDlgItem(dialog, IDC_CONFIRM_ICON_EXIT + k)) ==
                      (k == r.row));
                CHECK(IsWindowVisible(GetDlgItem(dialog, IDC_CONFIRM_TEXT_EXIT + k)) ==
                      (k == r.row));
            }
            CHECK(IsWindowVisible(GetDlgItem(dialog, IDC_CONFIRM_FAST)) == (!nt && r.row == 1));
            CHECK(IsDlgButtonChecked(dialog, IDC_CONFIRM_FAST) == BST_UNCHECKED);
            ui::Check(dialog, IDC_CONFIRM_FAST, r.checkFast);
            ui::Click(dialog, IDCANCEL); // Escape, Enter and the close box answer nothing
            ui::Click(dialog, IDOK);
            ui::Click(dialog, r.answer);
        });
        if (r.exitFails)
            script.Answer(IDOK, &error);
        EndWindowsSession(launcher.window, r.command);
        CHECK(script.Done());
        CHECK(ExitCalls == r.exits);
        CHECK(ExecCalls == r.execs);
        bool ends = r.answer == IDC_CONFIRM_YES && !r.exitFails;
        CHECK(ui::WaitUntil([&] { return !IsWindow(launcher.window); }, ends ? 3000 : 100) == ends);
        CHECK(StoredVersion() == (ends ? "0.17" : ""));
        if (nt && r.command == IDM_LOG_OFF)
            CHECK_FALSE(ShutdownPrivilegeEnabled()); // logging off asked for no privilege
        if (r.exitFails) {
            char success[256];
            FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0, 0, success, sizeof success,
                           nullptr);
            CHECK(error != success);
            CHECK_FALSE(error.empty());
        }
    }
}

TEST_CASE("the privilege step keeps no token handle")
{
    // A handle that stayed open would hold the slot that the next new handle takes.
    CHECK(EnableShutdownPrivilege() == 1);
    HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(probe);
    for (int i = 0; i < 50; ++i)
        EnableShutdownPrivilege();
    HANDLE next = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CHECK(next == probe);
    CloseHandle(next);
}

TEST_CASE("the reservation dialog refuses bad input, asks the nearer deadline and arms it")
{
    LauncherWindow launcher;
    Reset(5000);
    std::vector<std::string> errors(4);
    std::string question;
    auto enter = [](const char* amount, int unit, bool time, const char* hour) {
        return [=](HWND dialog) {
            ui::Check(dialog, IDC_RSV_DELAY_ON, true);
            ui::SetControlText(dialog, IDC_RSV_DELAY_AMOUNT, amount);
            ui::PickCombo(dialog, IDC_RSV_DELAY_UNIT, unit);
            ui::Check(dialog, IDC_RSV_TIME_ON, time);
            ui::SetControlText(dialog, IDC_RSV_HOUR, hour);
            ui::SetControlText(dialog, IDC_RSV_MINUTE, "40");
            ui::Click(dialog, IDOK);
        };
    };
    ui::UiScript script;
    script
        .On(
            nullptr, [](HWND menu) { ui::ChooseMenuEntry(menu, IDM_RESERVATION); }, ui::kMenuClass)
        .On(kReservationCaption,
            [&](HWND dialog) {
                CHECK(ui::ControlText(dialog, IDC_RSV_DELAY_AMOUNT) == "0");
                CHECK(ui::ControlText(dialog, IDC_RSV_DELAY_UNIT) == "時間");
                CHECK_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
                enter("24", 0, false, "")(dialog);
            })
        .Answer(IDOK, &errors[0])
        .On(kReservationCaption, enter("71582789", 1, false, ""))
        .Answer(IDOK, &errors[1])
        .On(kReservationCaption, enter("23", -1, false, ""))
        .Answer(IDOK, &errors[2])
        .On(kReservationCaption, enter("23", 0, true, "25"))
        .Answer(IDOK, &errors[3])
        .On(kReservationCaption, enter("23", 0, true, "22"))
        .On(
            nullptr,
            [&](HWND box) {
                question = ui::MessageText(box);
                FakeNow = At(22, 38, 40); // the question stays open for 8 minutes
                FakeTick += 480000;
                ui::Click(box, IDYES);
            },
            "#32770");
    HandleCommand(launcher.window, IDC_TOOLS_MENU_BUTTON);
    CHECK(script.Done());
    CHECK(errors == std::vector<std::string>{"不正な値です。", "不正な値です。",
                                             "必要な項目が入力されていません。", "不正な値です。"});
    CHECK(question == "Windowsの終了まであと 560秒（0時間9分）です。\n実行しますか？");
    ReservationBlock stored = {};
    RegKey(kSettingsKey, "VELDAR", false).ReadBinary("Exit", &stored, sizeof stored);
    for (const ReservationBlock& b : {Settings->ExitReservation, stored}) {
        CHECK(b.Armed == 1);
        CHECK(b.DelaySeconds == 82800);
        CHECK(b.TimeSeconds == 80); // still 22:40:00
        CHECK(b.ArmedTick == 485000);
    }
    // Chosen again, the entry stops the reservation at once, without a question.
    ui::UiScript again;
    again.On(
        nullptr, [](HWND menu) { ui::ChooseMenuEntry(menu, IDM_RESERVATION); }, ui::kMenuClass);
    HandleCommand(launcher.window, IDC_TOOLS_MENU_BUTTON);
    CHECK(again.Done());
    CHECK(Settings->ExitReservation.Armed == 0);
    CHECK_FALSE(KillTimer(launcher.window, kReservationTimer));
}

TEST_CASE("start-up arming asks the stored delay, or arms at once, and skips a damaged block")
{
    static ReservationBlock block;
    static DWORD noConfirm;
    struct Row {
        int32_t delayOn;
        uint32_t delay;
        int32_t timeOn;
        uint16_t hour, minute;
        DWORD noConfirm;
        const char* question;
        int armed;
    } const rows[] = {
        {1, 1800, 0, 0, 0, 0, "Windowsの終了まであと 1800秒（0時間30分）です。\n実行しますか？", 0},
        {1, 1800, 0, 0, 0, 1, "", 1},
        {1, 0, 1, 24, 0, 1, "", 0},
        {1, 86400, 1, 5, 60, 0, "", 0},
        {0, 0, 0, 0, 0, 0, "", 0},
    };
    for (const Row& r : rows) {
        CAPTURE(r.delay);
        block = Block(r.delayOn, r.delay, r.timeOn, r.hour, r.minute);
        noConfirm = r.noConfirm;
        LauncherWindow launcher([] {
            RegKey key(kSettingsKey, "VELDAR", false);
            key.WriteDword("Reserve", 1);
            key.WriteDword("NoConf", noConfirm);
            key.WriteBinary("Exit", &block, sizeof block);
        });
        Reset(7000);
        std::string question;
        ui::UiScript script;
        script.Answer(IDNO, &question);
        CHECK(ArmReservationAtStartup() == r.armed);
        CHECK(question == r.question);
        CHECK(Settings->ExitReservation.Armed == r.armed);
        CHECK(KillTimer(launcher.window, kReservationTimer) == r.armed);
    }
}

TEST_CASE(
    "the countdown shows the last 30 seconds; cancelled it ends nothing, run out it ends once")
{
    LauncherWindow launcher;
    ReservationBlock& b = Settings->ExitReservation;
    b.DelayEnabled = 1;
    b.DelaySeconds = 45;
    Settings->ReserveNoConfirm = 1;
    const DWORD armed = 0xFFFFF000u; // the tick counter wraps 4 seconds after arming
    Reset(armed);
    REQUIRE(ArmReservationAtStartup() == 1);
    struct Step {
        DWORD ms;
        const char* shown;
    } const steps[] = {{0, nullptr},  {14999, nullptr}, {15000, "30"},
                       {16999, "29"}, {17000, "28"},    {44999, "1"}};
    for (const Step& s : steps) {
        CAPTURE(s.ms);
        FakeTick = armed + s.ms;
        OnReservationTick(launcher.window);
        HWND countdown = Settings->CountdownWindow;
        REQUIRE((countdown != nullptr) == (s.shown != nullptr));
        if (countdown)
            CHECK(ui::ControlText(countdown, IDC_COUNTDOWN_SECONDS) == s.shown);
    }
    // Destroyed from outside, the window takes its handle with it and the next tick reopens it.
    DestroyWindow(Settings->CountdownWindow);
    CHECK(Settings->CountdownWindow == nullptr);
    OnReservationTick(launcher.window);
    HWND countdown = Settings->CountdownWindow;
    REQUIRE(countdown);
    CHECK((GetWindowLongA(countdown, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    SendMessageA(countdown, WM_COMMAND, IDC_COUNTDOWN_CANCEL, 0);
    CHECK(IsWindow(countdown)); // until the next tick
    OnReservationTick(launcher.window);
    CHECK_FALSE(IsWindow(countdown));
    CHECK(Settings->CountdownWindow == nullptr);
    CHECK(b.Armed == 0);
    CHECK(ExitCalls.empty());
    {
        // A timer that cannot start (the desktop window is not this thread's) arms nothing.
        MainWindow = GetDesktopWindow();
        std::string error;
        ui::UiScript refused;
        refused.Answer(IDOK, &error);
        CHECK(ArmReservationAtStartup() == 0);
        CHECK(Settings->ExitReservation.Armed == 0);
        CHECK_FALSE(error.empty());
        MainWindow = launcher.window;
    }

    // Armed again and left to run out while a dialog of the launcher is open: the session ends
    // once, the dialog goes with the main window, which saves.
    b = Block(1, 2);
    REQUIRE(ArmReservationAtStartup() == 1);
    ui::UiScript script;
    script.On(kReservationCaption, [&](HWND dialog) {
        CHECK(ui::ControlText(dialog, IDC_RSV_DELAY_AMOUNT) == "2");
        CHECK(ui::ControlText(dialog, IDC_RSV_DELAY_UNIT) == "秒");
        CHECK_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        CHECK(IsWindowEnabled(GetDlgItem(dialog, IDCANCEL)));
        FakeTick += 2000;
    });
    CHECK(OpenReservation(launcher.window, 1) == 0);
    CHECK(ui::WaitUntil([&] { return !IsWindow(launcher.window); }, 3000));
    CHECK(ExitCalls ==
          std::vector<UINT>{GetOsFamily() == WindowsNT ? UINT(EWX_POWEROFF) : UINT(EWX_SHUTDOWN)});
    CHECK(StoredVersion() == "0.17");
}

// Nothing replaced: VELDAR.EXE arms its stored reservation at start and, at zero, Wine really
// ends the session of the prefix. This program, a console program without windows, survives
// to look. It runs only in a throwaway prefix (see tests/CMakeLists.txt).
TEST_CASE("a reserved shutdown really ends the session" *
          doctest::skip(getenv("VELDAR_THROWAWAY_PREFIX") == nullptr))
{
    ui::ResetLauncherRegistry();
    ReservationBlock block = Block(1, 4);
    {
        RegKey key(kSettingsKey, "VELDAR", false);
        key.WriteDword("Reserve", 1);
        key.WriteDword("NoConf", 1);
        key.WriteBinary("Exit", &block, sizeof block);
    }
    PROCESS_INFORMATION other = {}, launcher = {};
    REQUIRE(ui::StartProcess("C:\\windows\\notepad.exe", &other)); // another program of the session
    REQUIRE(ui::WaitForProcessWindow(other.dwProcessId, "Notepad", 15000));
    REQUIRE(ui::StartProcess(ui::BuildFile("VELDAR.EXE"), &launcher));
    HWND countdown = ui::WaitForProcessWindow(launcher.dwProcessId, "#32770", 15000);
    REQUIRE(countdown);
    CHECK(ui::TextOf(countdown) == "Windowsの終了中…");
    char shown[16] = "";
    SendMessageA(GetDlgItem(countdown, IDC_COUNTDOWN_SECONDS), WM_GETTEXT, sizeof shown,
                 reinterpret_cast<LPARAM>(shown));
    CHECK(atoi(shown) >= 1);
    CHECK(atoi(shown) <= 4);
    CHECK(WaitForSingleObject(launcher.hProcess, 20000) == WAIT_OBJECT_0);
    CHECK(WaitForSingleObject(other.hProcess, 20000) == WAIT_OBJECT_0);
    CHECK(StoredVersion() == "0.17");
    RECT pos;
    CHECK(RegKey(kSettingsKey, "VELDAR", false).ReadBinary("Pos", &pos, sizeof pos));
    for (PROCESS_INFORMATION* pi : {&other, &launcher}) {
        TerminateProcess(pi->hProcess, 99); // only when the case failed
        CloseHandle(pi->hThread);
        CloseHandle(pi->hProcess);
    }
}

// Session end, reservation and countdown. The calls that end the session and read the clock are
// replaced for the whole program; only the end-to-end case, in a prefix of its own, runs them.
#include "test_support.h"

#include <tuple>

#include "common/os_family.h"
#include "resource.h"
#include "session/countdown.h"
#include "session/end_session.h"
#include "session/reservation.h"
#include "session/session_calls.h"
#include "store/reg_key.h"

static SYSTEMTIME At(int h, int m, int s)
{
    return {2026, 12, 1, 7, WORD(h), WORD(m), WORD(s), 0};
}

struct Fake {
    SYSTEMTIME now;
    DWORD tick;
    BOOL exitResult;
    std::vector<UINT> exits;
    std::string exec;
} F; // each case sets it whole
struct Calls {
    static BOOL WINAPI Exit(UINT flags, DWORD) { return F.exits.push_back(flags), F.exitResult; }
    static UINT WINAPI Exec(LPCSTR l, UINT s) { return F.exec = l + std::to_string(s), 33; }
    static void WINAPI LocalTime(LPSYSTEMTIME now) { *now = F.now; }
    static DWORD WINAPI TickCount() { return F.tick; }
};
const bool Replaced = (ExitWindowsCall = Calls::Exit, WinExecCall = Calls::Exec,
                       LocalTimeCall = Calls::LocalTime, TickCountCall = Calls::TickCount, true);

static ReservationBlock Block(int delayOn, DWORD delay, int timeOn = 0, int h = 0, int m = 0)
{
    return {delayOn, delay, 2, delay, timeOn, uint16_t(h), uint16_t(m), 0, {}, 0, 0, 0, {}};
}

static RegKey Key()
{
    return RegKey("Software\\VARNO", "VELDAR", false);
}

// Sets the shutdown privilege of the process to attributes; answers its previous attributes.
static DWORD SwapShutdownPrivilege(DWORD attributes)
{
    HANDLE token;
    OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token);
    TOKEN_PRIVILEGES set = {1, {{{}, attributes}}}, previous = {};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &set.Privileges[0].Luid);
    DWORD size = sizeof previous;
    AdjustTokenPrivileges(token, FALSE, &set, size, &previous, &size);
    CloseHandle(token);
    return previous.PrivilegeCount ? previous.Privileges[0].Attributes : attributes;
}

const char kCaption[] = "Windowsの終了予約 - 2026/12/07 22:30";
const std::string kAsk = "Windowsの終了まであと ", kYes = "です。\n実行しますか？";
const UINT kExit = GetOsFamily() == WindowsNT ? EWX_POWEROFF : EWX_SHUTDOWN;

TEST_CASE("seconds until a time of day, and the questions with their end time")
{
    std::string shown; // 9:05 just passed is tomorrow's
    for (auto [now, h, m] : {std::tuple{At(9, 5, 30), 9, 5},
                             {At(9, 5, 0), 9, 5},
                             {At(23, 59, 30), 0, 0},
                             {At(10, 0, 1), 9, 0}})
        shown += std::to_string(SecondsUntilAt(now, h, m)) + ",";
    for (auto [seconds, now] :
         {std::pair{150ul, At(12, 0, 0)}, {7200ul, At(22, 30, 40)}, {3661ul, At(23, 58, 59)}}) {
        char text[384];
        FormatShutdownQuestion(seconds, now, text, sizeof text);
        shown += text + std::string("|");
    }
    CHECK(shown == "86370,0,30,82799," + kAsk + "'150' 秒です。実行しますか？|" + kAsk +
                       "7200秒（2時間0分）" + kYes + "\n\n0時30分に終了します。|" + kAsk +
                       "3661秒（1時間1分）" + kYes + "\n\n1時0分に終了します。|");
}

TEST_CASE("the confirmation: Enter and Space answer いいえ, Escape and close nothing, はい ends")
{
    const char* family = getenv("VELDAR_EXPECT_OS_FAMILY");
    const int os = family ? atoi(family) : WindowsNT;
    REQUIRE(GetOsFamily() == os);
    const bool nt = os == WindowsNT, known = os != Unknown;
    const std::vector<BYTE> esc = {VK_ESCAPE}, altF4 = {VK_MENU, VK_F4}, altY = {VK_MENU, 'Y'};
    struct Row {
        int command;
        std::vector<std::vector<BYTE>> keys; // a press a step, the dialog still open before each
        std::vector<const char*> clicks;     // then the controls that show these texts
        bool fails;
        std::vector<UINT> exits;
        const char* shown; // controls 101 to 110: the icon and text of one row, the fast box
    } const rows[] = {
        {IDM_EXIT_WINDOWS, {{VK_RETURN}}, {}, false, {}, "1001000000"},
        {IDM_RESTART, {{VK_SPACE}}, {}, false, {}, nt ? "0100100000" : "0100100001"},
        {IDM_LOG_OFF, {esc, altF4, altY}, {}, false, {EWX_LOGOFF}, "0010010000"},
        {IDM_RESTART, {}, {nt ? "" : "高速(&H)", "はい(&Y)"}, false, {EWX_REBOOT}, ""},
        {IDM_EXIT_WINDOWS, {}, {"いいえ(&N)"}, false, {}, ""},
        {IDM_EXIT_WINDOWS, {}, {"はい(&Y)"}, true, {kExit}, ""}, // refused
    };
    for (const Row& r : rows) {
        CAPTURE(r.command);
        LauncherWindow launcher;
        F = {At(22, 30, 40), 0, !r.fails, {}, {}};
        SwapShutdownPrivilege(0);
        std::string shown, error;
        ui::UiScript script;
        for (const auto& keys : r.keys)
            script.On("確認", [&](HWND dialog) {
                for (int id = IDC_CONFIRM_ICON_EXIT; shown.size() < 10; ++id)
                    shown += IsWindowVisible(GetDlgItem(dialog, id)) ? '1' : '0';
                SetForegroundWindow(dialog); // in front, where the user's keys go
                ui::PressKeys(keys);
            });
        for (const char* text : r.clicks)
            script.On("確認", [=](HWND d) { CHECK((!*text || ui::ClickShowing(d, text))); });
        if (r.fails && known)
            script.Answer(IDOK, &error);
        EndWindowsSession(launcher.window, r.command);
        const bool yes = !r.exits.empty(), fast = r.command == IDM_RESTART && !nt && yes;
        const bool ends = known && yes && !r.fails;
        CHECK(ui::WaitUntil([&] { return !IsWindow(launcher.window); }, ends ? 3000 : 100) == ends);
        // Closed, it saved; log off works without the privilege; a refusal does not say "success".
        CHECK((shown == r.shown && F.exits == (known && !fast ? r.exits : std::vector<UINT>{}) &&
               F.exec == (known && fast ? "RUNDLL USER.EXE,ExitWindowsExec5" : "") &&
               Key().ReadDword("Ico") == (ends ? 10u : 0u) &&
               (SwapShutdownPrivilege(0) == SE_PRIVILEGE_ENABLED) ==
                   (nt && yes && r.command != IDM_LOG_OFF) &&
               (r.fails && known) == (!error.empty() && error != ui::SystemText(ERROR_SUCCESS))));
    }
}

TEST_CASE("the privilege step keeps no token handle")
{
    HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(probe);
    for (int i = 0; i < 50; ++i)
        CHECK(EnableShutdownPrivilege() == 1);
    HANDLE next = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CHECK((CloseHandle(next) && next == probe)); // a handle left open would hold this slot
}

TEST_CASE("the reservation dialog refuses bad input, asks the nearer deadline and arms it")
{
    LauncherWindow launcher;
    F = {At(22, 30, 40), 5000, TRUE, {}, {}};
    std::vector<std::string> texts;
    const std::tuple<const char*, int, const char*> inputs[] = {
        {"24", 0, ""}, {"71582789", 1, ""}, {"23", -1, ""}, {"23", 0, "25"}, {"23", 0, "22"}};
    auto answer = [&](HWND box) { // the question waits eight minutes for its answer
        texts.push_back(ui::MessageText(box));
        if (texts.size() == 5)
            F.now = At(22, 38, 40), F.tick += 480000;
        ui::Click(box, texts.size() == 5 ? IDYES : IDOK);
    };
    ui::UiScript script;
    for (auto [amount, unit, hour] : inputs) {
        script.On(kCaption, [=](HWND dialog) {
            ui::Check(dialog, IDC_RSV_DELAY_ON, true), ui::Check(dialog, IDC_RSV_TIME_ON, *hour);
            ui::SetControlText(dialog, IDC_RSV_DELAY_AMOUNT, amount);
            ui::PickCombo(dialog, IDC_RSV_DELAY_UNIT, unit);
            ui::SetControlText(dialog, IDC_RSV_HOUR, hour);
            ui::SetControlText(dialog, IDC_RSV_MINUTE, "40"), ui::Click(dialog, IDOK);
        });
        script.OnDialog(answer);
    }
    CHECK(OpenReservation(launcher.window, 0) == 1);
    const std::string bad = "不正な値です。", none = "必要な項目が入力されていません。";
    CHECK(texts ==
          std::vector<std::string>{bad, bad, none, bad, kAsk + "560秒（0時間9分）" + kYes});
    ReservationBlock stored = {};
    Key().ReadBinary("Exit", &stored, sizeof stored);
    for (const ReservationBlock& b : {Settings->ExitReservation, stored}) // deadline still 22:40
        CHECK(std::tuple(b.Armed, b.DelaySeconds, b.TimeSeconds, b.ArmedTick) ==
              std::tuple(1, 82800u, 80u, 485000u));
    CHECK(OpenReservation(launcher.window, 0) == 0); // again: stopped, without a question
    CHECK((Settings->ExitReservation.Armed == 0 && !KillTimer(launcher.window, kReservationTimer)));
}

TEST_CASE("the countdown, cancelled or run out, and the arming at start-up")
{
    LauncherWindow launcher;
    ReservationBlock& b = Settings->ExitReservation;
    b = Block(1, 45), Settings->ReserveNoConfirm = 1;
    const DWORD armed = 0xFFFFF000u; // the tick counter wraps 4 seconds after arming
    F = {At(22, 30, 40), armed, TRUE, {}, {}};
    REQUIRE(ArmReservationAtStartup() == 1);
    auto tick = [&] { // what the countdown shows afterwards
        OnReservationTick(launcher.window);
        HWND countdown = Settings->CountdownWindow;
        return (countdown ? ui::ControlText(countdown, IDC_COUNTDOWN_SECONDS) : "") + ",";
    };
    std::string shown;
    for (DWORD ms : {0, 14999, 15000, 16999, 44999})
        F.tick = armed + ms, shown += tick();
    // Destroyed from outside, the window takes its handle with it; the next tick reopens it.
    DestroyWindow(Settings->CountdownWindow);
    shown += Settings->CountdownWindow ? "kept," : "";
    shown += tick();
    HWND countdown = Settings->CountdownWindow;
    ItemSlot broken = MakeItem("broken", "C:\\no such program.exe");
    SaveItem(0, &broken);
    ui::UiScript behind; // an error box (a missing item file) meanwhile leaves キャンセル in reach
    behind.OnDialog([&](HWND box) {
        ui::ClickShowing(countdown, "キャンセル");
        ui::WaitUntil([&] { return !IsWindow(countdown); }, 3000), ui::Click(box, IDOK);
    });
    SendMessageA(launcher.window, WM_COMMAND, IDC_ITEM_BUTTON_FIRST, 0);
    shown += tick();
    CHECK((shown == ",,30,29,1,1,," && !IsWindow(countdown) && b.Armed == 0 && F.exits.empty()));

    MainWindow = GetDesktopWindow(); // not this thread's: its timer cannot start
    ui::UiScript script;
    script.Answer(IDOK);
    CHECK(ArmReservationAtStartup() == 0);
    MainWindow = launcher.window;
    // Start-up arming asks for a stored delay (answered no here) and skips a damaged block.
    std::string question;
    Settings->ReserveNoConfirm = 0, script.Answer(IDNO, &question);
    int armedAny = 0;
    for (ReservationBlock stored : {Block(1, 0, 1, 24), Block(1, 86400, 1, 5, 60), Block(1, 1800)})
        b = stored, armedAny += ArmReservationAtStartup();
    CHECK((armedAny == 0 && question == kAsk + "1800秒（0時間30分）" + kYes && script.Done()));

    // Run out under an open dialog: one end of the session; the main window saves as it goes.
    Settings->ReserveNoConfirm = 1, b = Block(1, 2);
    REQUIRE(ArmReservationAtStartup() == 1);
    script.On(kCaption, [&](HWND dialog) {
        CHECK_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_RSV_DELAY_AMOUNT)));
        F.tick += 2000;
    });
    CHECK(OpenReservation(launcher.window, 1) == 0);
    CHECK(ui::WaitUntil([&] { return !IsWindow(launcher.window); }, 3000));
    CHECK((F.exits == std::vector<UINT>{kExit} && Key().ReadDword("Ico") == 10));
}

TEST_CASE("a time of day that comes while its question is open is due at once, never tomorrow")
{
    for (int row : {55, 65, 155, 165}) { // answered at 09:04:55 or 09:05:05 (+100: at start-up)
        CAPTURE(row);                    // for 9:05, asked at 09:04:50
        const int answered = row % 100;
        LauncherWindow launcher;
        F = {At(9, 4, 50), 1000, TRUE, {}, {}};
        Settings->ExitReservation = Block(0, 0, 1, 9, 5);
        ui::UiScript script;
        if (row < 100)
            script.On("Windowsの終了予約 - 2026/12/07 09:04", [](HWND d) { ui::Click(d, IDOK); });
        script.OnDialog([&](HWND box) {
            F.now = At(9, 4 + answered / 60, answered % 60), ui::Click(box, IDYES);
        });
        CHECK((row < 100 ? OpenReservation(launcher.window, 0) : ArmReservationAtStartup()));
        ui::Pump(250); // the main window's ticks: 9:05:00 to the second, or the countdown at once
        HWND countdown = Settings->CountdownWindow;
        CHECK((countdown &&
               ui::ControlText(countdown, IDC_COUNTDOWN_SECONDS) == (answered == 55 ? "5" : "30")));
    }
}

// Nothing replaced: VELDAR.EXE arms its stored reservation at start and, at zero, Wine really
// ends the session of the prefix, notepad included. This program, a console program without
// windows, survives to look. It runs only in a throwaway prefix (see tests/CMakeLists.txt).
TEST_CASE("a reserved shutdown really ends the session" *
          doctest::skip(getenv("VELDAR_THROWAWAY_PREFIX") == nullptr))
{
    ui::ResetLauncherRegistry();
    ReservationBlock block = Block(1, 4);
    Key().WriteDword("Reserve", 1), Key().WriteDword("NoConf", 1);
    Key().WriteBinary("Exit", &block, sizeof block);
    PROCESS_INFORMATION other = {}, launcher = {};
    REQUIRE(ui::StartProcess("C:\\windows\\notepad.exe", &other));
    REQUIRE(ui::WaitForProcessWindow(other.dwProcessId, "Notepad", 45000));
    REQUIRE(ui::StartProcess(ui::BuildFile("VELDAR.EXE"), &launcher));
    HWND countdown = ui::WaitForProcessWindow(launcher.dwProcessId, "#32770", 45000);
    REQUIRE(countdown);
    char shown[16] = ""; // another process's control: only WM_GETTEXT reads it
    SendDlgItemMessageA(countdown, IDC_COUNTDOWN_SECONDS, WM_GETTEXT, sizeof shown, LPARAM(shown));
    CHECK((ui::TextOf(countdown) == "Windowsの終了中…" && atoi(shown) >= 1 && atoi(shown) <= 4));
    CHECK(WaitForSingleObject(launcher.hProcess, 20000) == WAIT_OBJECT_0);
    CHECK(WaitForSingleObject(other.hProcess, 20000) == WAIT_OBJECT_0);
    CHECK(Key().ReadDword("Ico") == 10);                // the launcher saved as the session ended
    for (PROCESS_INFORMATION* pi : {&other, &launcher}) // killed only when the case failed
        TerminateProcess(pi->hProcess, 99), CloseHandle(pi->hThread), CloseHandle(pi->hProcess);
}

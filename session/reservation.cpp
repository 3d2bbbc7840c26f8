// The shutdown reservation dialog (1012), the question before arming, and arming, re-arming
// at start-up and stopping the reservation. The dialog edits a working copy of the block;
// only an accepted "実行" reaches the settings.
#include "session/reservation.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/app_state.h"
#include "common/help.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "resource.h"
#include "session/last_error.h"
#include "session/session_calls.h"
#include "store/settings_store.h"

namespace {

// Seconds per unit of the unit list, in DelayUnit order.
const DWORD kUnitSeconds[] = {3600, 60, 1};
const UINT kUnitNames[] = {IDS_UNIT_HOURS, IDS_UNIT_MINUTES, IDS_UNIT_SECONDS};

ReservationBlock* Working; // the dialog's working copy, only while it is open
int ViewOnly;

void LoadText(UINT id, char* text, int size)
{
    if (LoadStringA(AppInstance, id, text, size) == 0)
        text[0] = '\0';
}

void FillNumbers(HWND dialog, int id, int count, int selected)
{
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int n = 0; n < count; ++n) {
        char number[8];
        snprintf(number, sizeof number, "%d", n);
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(number));
    }
    SendMessageA(combo, CB_SETCURSEL, selected, 0);
}

void AppendDateToCaption(HWND dialog)
{
    char caption[256];
    GetWindowTextA(dialog, caption, sizeof caption);
    size_t used = strlen(caption);
    SYSTEMTIME now;
    LocalTimeCall(&now);
    snprintf(caption + used, sizeof caption - used, " - %4d/%02d/%02d %02d:%02d", now.wYear,
             now.wMonth, now.wDay, now.wHour, now.wMinute);
    SetWindowTextA(dialog, caption);
}

void DisableAllBut(HWND dialog, int keptId)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) != keptId)
            EnableWindow(child, FALSE);
}

void UpdateReservationControls(HWND dialog)
{
    Working->DelayEnabled = IsDlgButtonChecked(dialog, IDC_RSV_DELAY_ON) == BST_CHECKED;
    Working->TimeEnabled = IsDlgButtonChecked(dialog, IDC_RSV_TIME_ON) == BST_CHECKED;
    EnableWindow(GetDlgItem(dialog, IDC_RSV_DELAY_AMOUNT), Working->DelayEnabled);
    EnableWindow(GetDlgItem(dialog, IDC_RSV_DELAY_UNIT), Working->DelayEnabled);
    EnableWindow(GetDlgItem(dialog, IDC_RSV_HOUR), Working->TimeEnabled);
    EnableWindow(GetDlgItem(dialog, IDC_RSV_MINUTE), Working->TimeEnabled);
    EnableWindow(GetDlgItem(dialog, IDOK), Working->DelayEnabled || Working->TimeEnabled);
}

// The seconds to the block's time of day, counted again when the reference tick is taken after
// the question, so that the deadline does not move while the question was open. A minute that
// came meanwhile would count as almost a day: it is due at once instead, with the countdown's
// seconds left to cancel it, and never slides silently to the next day.
DWORD RecountTimeOfDay(const ReservationBlock& b, DWORD asked)
{
    DWORD seconds = SecondsUntil(b.TimeHour, b.TimeMinute);
    return seconds > asked ? kCountdownSeconds : seconds;
}

// Reads the dialog into the working copy and asks the question; 1 when it may be armed.
int AcceptReservation(HWND dialog)
{
    ReservationBlock* b = Working;
    DWORD best = kNoDeadline;
    b->DelayEnabled = IsDlgButtonChecked(dialog, IDC_RSV_DELAY_ON) == BST_CHECKED;
    if (b->DelayEnabled) {
        b->DelayAmount = GetDlgItemInt(dialog, IDC_RSV_DELAY_AMOUNT, nullptr, FALSE);
        if (b->DelayAmount == 0)
            return ReportInputError(dialog, IDC_RSV_DELAY_AMOUNT, 0);
        LRESULT unit = SendDlgItemMessageA(dialog, IDC_RSV_DELAY_UNIT, CB_GETCURSEL, 0, 0);
        if (unit < 0 || unit > 2)
            return ReportInputError(dialog, IDC_RSV_DELAY_UNIT, 0);
        b->DelayUnit = static_cast<int32_t>(unit);
        // In 64 bits and before anything is stored: 71582789 minutes would wrap to 44 seconds
        // in 32.
        unsigned long long seconds =
            static_cast<unsigned long long>(b->DelayAmount) * kUnitSeconds[unit];
        if (seconds >= kNoDeadline)
            return ReportInputError(dialog, IDC_RSV_DELAY_AMOUNT, IDS_ERR_BAD_VALUE);
        b->DelaySeconds = static_cast<uint32_t>(seconds);
        best = b->DelaySeconds;
    }
    b->TimeEnabled = IsDlgButtonChecked(dialog, IDC_RSV_TIME_ON) == BST_CHECKED;
    if (b->TimeEnabled) {
        // Text that is not a number reads as 0, so letters in the box mean hour 0.
        UINT hour = GetDlgItemInt(dialog, IDC_RSV_HOUR, nullptr, FALSE);
        if (hour >= 24)
            return ReportInputError(dialog, IDC_RSV_HOUR, IDS_ERR_BAD_VALUE);
        b->TimeHour = static_cast<uint16_t>(hour);
        UINT minute = GetDlgItemInt(dialog, IDC_RSV_MINUTE, nullptr, FALSE);
        if (minute >= 60)
            return ReportInputError(dialog, IDC_RSV_MINUTE, IDS_ERR_BAD_VALUE);
        b->TimeMinute = static_cast<uint16_t>(minute);
        b->TimeSeconds = SecondsUntil(b->TimeHour, b->TimeMinute);
        if (b->TimeSeconds < best)
            best = b->TimeSeconds;
    }
    if (!b->DelayEnabled && !b->TimeEnabled)
        return 0;
    if (!ConfirmShutdownIn(dialog, best))
        return 0;
    b->ArmedTick = TickCountCall();
    if (b->TimeEnabled)
        b->TimeSeconds = RecountTimeOfDay(*b, b->TimeSeconds);
    return 1;
}

BOOL OnInitDialog(HWND dialog)
{
    const ReservationBlock* b = Working;
    CheckDlgButton(dialog, IDC_RSV_DELAY_ON, b->DelayEnabled ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(dialog, IDC_RSV_DELAY_AMOUNT, b->DelayAmount, FALSE);
    HWND unit = GetDlgItem(dialog, IDC_RSV_DELAY_UNIT);
    SendMessageA(unit, CB_RESETCONTENT, 0, 0);
    for (UINT id : kUnitNames) {
        char name[32];
        LoadText(id, name, sizeof name);
        SendMessageA(unit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageA(unit, CB_SETCURSEL, b->DelayUnit, 0);
    CheckDlgButton(dialog, IDC_RSV_TIME_ON, b->TimeEnabled ? BST_CHECKED : BST_UNCHECKED);
    FillNumbers(dialog, IDC_RSV_HOUR, 24, b->TimeHour);
    FillNumbers(dialog, IDC_RSV_MINUTE, 60, b->TimeMinute);
    CheckDlgButton(dialog, IDC_RSV_AT_START,
                   Settings->ReserveAtStart ? BST_CHECKED : BST_UNCHECKED);
    AppendDateToCaption(dialog);
    if (ViewOnly)
        DisableAllBut(dialog, IDCANCEL);
    else
        UpdateReservationControls(dialog);
    PlaceWindow(dialog, GetParent(dialog), 0, 0);
    return TRUE;
}

BOOL OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        // Enter reaches here even while "実行" is disabled.
        if (!ViewOnly && IsWindowEnabled(GetDlgItem(dialog, IDOK)) && AcceptReservation(dialog))
            EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDHELP: ShowHelp(1, IDH_RESERVATION); return TRUE;
    case IDC_RSV_DELAY_ON:
    case IDC_RSV_TIME_ON:
        if (!ViewOnly)
            UpdateReservationControls(dialog);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK ReservationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

// Starts timer 101; a reservation whose timer could not start is left unarmed and reported.
int StartWatching()
{
    ReservationBlock& b = Settings->ExitReservation;
    b.CountdownCancelled = 0;
    SetLastError(0);
    if (!IsWindow(MainWindow) ||
        !SetTimer(MainWindow, kReservationTimer, kReservationPeriodMs, nullptr)) {
        b.Armed = 0;
        KeepLastErrorOr(ERROR_INVALID_WINDOW_HANDLE);
        return ReportError(kLastError, nullptr);
    }
    b.Armed = 1;
    return 1;
}

} // namespace

DWORD UsableDelay(const ReservationBlock& b)
{
    return b.DelayEnabled && b.DelaySeconds >= 1 && b.DelaySeconds < kNoDeadline ? b.DelaySeconds
                                                                                 : kNoDeadline;
}

DWORD SecondsUntilAt(const SYSTEMTIME& now, int hour, int minute)
{
    int dh = hour - now.wHour;
    if (hour < now.wHour)
        dh += 24;
    int dm = minute - now.wMinute;
    int extra = 0;
    if (now.wSecond > 0) {
        extra = 60 - now.wSecond;
        --dm; // the seconds to the next full minute borrow one minute
    }
    if (dm < 0) {
        dm += 60;
        if (--dh < 0)
            dh = 23;
    }
    return static_cast<DWORD>(dh * 3600 + dm * 60 + extra);
}

DWORD SecondsUntil(int hour, int minute)
{
    SYSTEMTIME now;
    LocalTimeCall(&now);
    return SecondsUntilAt(now, hour, minute);
}

void FormatShutdownQuestion(DWORD seconds, const SYSTEMTIME& now, char* text, size_t size)
{
    char format[128];
    if (seconds < 200) {
        LoadText(IDS_ASK_SHUTDOWN_SHORT, format, sizeof format);
        snprintf(text, size, format, static_cast<unsigned long>(seconds));
        return;
    }
    long hours = static_cast<long>(seconds / 3600);
    long minutes = static_cast<long>(seconds % 3600 / 60);
    LoadText(IDS_ASK_SHUTDOWN_LONG, format, sizeof format);
    int used = snprintf(text, size, format, static_cast<unsigned long>(seconds), hours, minutes);
    if (seconds <= 3600 || used < 0 || static_cast<size_t>(used) >= size)
        return;
    long minute = now.wMinute + minutes + (now.wSecond + seconds % 60 >= 60 ? 1 : 0);
    long hour = now.wHour + hours;
    if (minute >= 60) {
        minute -= 60;
        ++hour;
    }
    if (hour >= 24)
        hour -= 24;
    LoadText(IDS_SHUTDOWN_END_TIME, format, sizeof format);
    snprintf(text + used, size - used, format, hour, minute);
}

int ConfirmShutdownIn(HWND owner, DWORD seconds)
{
    char caption[32];
    LoadText(IDS_CONFIRM_CAPTION, caption, sizeof caption);
    SYSTEMTIME now;
    LocalTimeCall(&now);
    char text[384];
    FormatShutdownQuestion(seconds, now, text, sizeof text);
    return MessageBoxA(owner, text, caption, MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) ==
           IDYES;
}

int StopReservation(HWND window)
{
    if (!Settings)
        return 1;
    Settings->ExitReservation.Armed = 0;
    KillTimer(window, kReservationTimer);
    if (HWND countdown = Settings->CountdownWindow) {
        Settings->CountdownWindow = nullptr;
        DestroyWindow(countdown);
    }
    return 1;
}

int OpenReservation(HWND owner, int viewOnly)
{
    LauncherSettings* s = Settings;
    if (!viewOnly && s->ExitReservation.Armed) {
        StopReservation(MainWindow);
        return 0;
    }
    ReservationBlock* copy = static_cast<ReservationBlock*>(calloc(1, sizeof(ReservationBlock)));
    if (!copy) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return ReportError(kLastError, nullptr);
    }
    *copy = s->ExitReservation;
    Working = copy;
    ViewOnly = viewOnly;
    INT_PTR result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_RESERVATION), owner,
                                     ReservationProc, viewOnly);
    Working = nullptr;
    if (result == -1)
        ReportError(kLastError, nullptr);
    int armed = 0;
    // A countdown that ended the session while the dialog was open has closed the main window.
    if (!viewOnly && result == 1 && Settings && IsWindow(MainWindow)) {
        s->ExitReservation = *copy;
        armed = StartWatching();
        if (armed)
            SaveReservation();
    }
    free(copy);
    return armed;
}

int ArmReservationAtStartup()
{
    ReservationBlock& b = Settings->ExitReservation;
    // A damaged block must not shut the machine down at every start: a part out of range
    // counts as off.
    bool timeUsable = b.TimeEnabled && b.TimeHour < 24 && b.TimeMinute < 60;
    b.TimeSeconds = timeUsable ? SecondsUntil(b.TimeHour, b.TimeMinute) : kNoDeadline;
    DWORD best = UsableDelay(b) < b.TimeSeconds ? UsableDelay(b) : b.TimeSeconds;
    if (best >= kNoDeadline)
        return 0;
    if (!Settings->ReserveNoConfirm && !ConfirmShutdownIn(MainWindow, best))
        return 0;
    if (!IsWindow(MainWindow))
        return 0;
    b.ArmedTick = TickCountCall();
    if (timeUsable)
        b.TimeSeconds = RecountTimeOfDay(b, b.TimeSeconds);
    return StartWatching();
}

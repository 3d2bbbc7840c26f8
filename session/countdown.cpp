// The countdown of a reserved shutdown. Every tick works the seconds left out afresh from the
// tick count of arming, so a late or missed tick never shifts the deadline.
#include "session/countdown.h"

#include "common/app_state.h"
#include "common/place_window.h"
#include "resource.h"
#include "session/end_session.h"
#include "session/reservation.h"
#include "session/session_calls.h"
#include "store/settings_store.h"

namespace {

const int kPartOff = 60; // farther than the countdown, so a part that is off never shows

void OnCancel()
{
    // The window stays until the next tick, which stops the reservation and destroys it.
    if (Settings)
        Settings->ExitReservation.CountdownCancelled = 1;
}

void OnDestroy(HWND dialog)
{
    // Whoever destroys the window (the owner's end, the session's end), the handle goes too.
    if (Settings && Settings->CountdownWindow == dialog)
        Settings->CountdownWindow = nullptr;
}

INT_PTR CALLBACK CountdownProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: PlaceWindow(dialog, nullptr, 0, 0); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDC_COUNTDOWN_CANCEL)
            return FALSE;
        OnCancel();
        return TRUE;
    case WM_DESTROY: OnDestroy(dialog); return FALSE;
    }
    return FALSE;
}

} // namespace

int SecondsLeft(const ReservationBlock& b, DWORD now, int* due)
{
    // Unsigned difference: a wrap of the tick counter since arming does no harm.
    int elapsed = static_cast<int>((now - b.ArmedTick) / 1000);
    DWORD delay = UsableDelay(b);
    int leftDelay = delay < kNoDeadline ? static_cast<int>(delay) - elapsed : kPartOff;
    int leftTime = b.TimeEnabled ? static_cast<int>(b.TimeSeconds) - elapsed : kPartOff;
    *due = leftDelay <= 0 || leftTime <= 0;
    return leftDelay < leftTime ? leftDelay : leftTime;
}

int UpdateCountdown(HWND mainWindow)
{
    LauncherSettings* s = Settings;
    if (!s || !s->ExitReservation.Armed)
        return 0;
    int due = 0;
    int left = SecondsLeft(s->ExitReservation, TickCountCall(), &due);
    if (left > kCountdownSeconds)
        return due;
    if (s->ExitReservation.CountdownCancelled)
        return 1;
    if (!s->CountdownWindow)
        s->CountdownWindow = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_COUNTDOWN),
                                                mainWindow, CountdownProc, 0);
    if (s->CountdownWindow)
        SetDlgItemInt(s->CountdownWindow, IDC_COUNTDOWN_SECONDS, left > 0 ? left : 0, FALSE);
    return due;
}

void OnReservationTick(HWND mainWindow)
{
    if (!UpdateCountdown(mainWindow))
        return;
    // Stopped before the request, so a tick already queued finds nothing to do: the session
    // is ended once.
    StopReservation(mainWindow);
    if (Settings->ExitReservation.CountdownCancelled || !EnableShutdownPrivilege())
        return;
    if (ExitWindowsCall(ExitFlagsForCommand(IDM_EXIT_WINDOWS), 0))
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
}

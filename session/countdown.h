// The ticks of an armed shutdown reservation and the countdown window (dialog 1011) of its
// last 30 seconds.
#pragma once
#include <windows.h>

struct ReservationBlock;

// Timer 101 of the main window: watches the deadline and, when it is reached, stops the
// reservation and ends the session (unless the countdown was cancelled).
void OnReservationTick(HWND mainWindow);
// 1 when the reservation is due or was cancelled from the countdown window; opens and updates
// that window in the last 30 seconds.
int UpdateCountdown(HWND mainWindow);
// Whole seconds left at tick count now until the earlier deadline of block; *due is set when
// a deadline has been reached. A part that is off counts as 60 seconds away, always.
int SecondsLeft(const ReservationBlock& block, DWORD now, int* due);

// The shutdown reservation: a delay, a time of day or both, watched by timer 101 of the main
// window once armed (see session/countdown.h for the ticks).
#pragma once
#include <windows.h>

#include <stddef.h>

const UINT kReservationTimer = 101;
const UINT kReservationPeriodMs = 100;
// One day stands for "no deadline": every delay and time must lie below it.
const DWORD kNoDeadline = 86400;
// The countdown window shows the last seconds of a reservation; a time of day that came while
// its question was open is given these seconds.
const int kCountdownSeconds = 30;

// Runs dialog 1012 and arms what it accepts; 1 when a reservation was armed. While one runs
// and viewOnly is 0, stops it instead without a dialog. With viewOnly the stored reservation
// is only shown.
int OpenReservation(HWND owner, int viewOnly);
// Ends a running reservation and closes its countdown window; always 1.
int StopReservation(HWND window);
// Arms the stored reservation again at start-up; 1 when armed.
int ArmReservationAtStartup();
// Asks whether Windows may end in that many seconds; 1 for yes.
int ConfirmShutdownIn(HWND owner, DWORD seconds);

// Seconds from now to the next hour:minute:00, 0 … 86399.
DWORD SecondsUntil(int hour, int minute);
DWORD SecondsUntilAt(const SYSTEMTIME& now, int hour, int minute);
// The question ConfirmShutdownIn asks at the local time now.
void FormatShutdownQuestion(DWORD seconds, const SYSTEMTIME& now, char* text, size_t size);

struct ReservationBlock;
// The delay of a block in seconds when it is on and within 1 … 86399, else kNoDeadline: a
// stored delay out of that range counts as off.
DWORD UsableDelay(const ReservationBlock& block);

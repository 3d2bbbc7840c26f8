// The shutdown reservation: the dialog that arms or shows it.
#pragma once
#include <windows.h>

// Opens the reservation dialog over owner, or cancels the armed reservation. With viewOnly the
// stored reservation is shown with every control but cancel disabled. Returns 1 when a
// reservation was armed, else 0.
int OpenReservation(HWND owner, int viewOnly);

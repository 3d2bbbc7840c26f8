// The shutdown reservation. The dialog is not built yet: opening it does nothing.
#include "session/reservation.h"

int OpenReservation(HWND, int)
{
    return 0;
}

// Entry point of VELDAR.EXE. The command line is not read: the launcher is configured only
// through its registry values and its options dialog.
#include <windows.h>

#include <commctrl.h>
#include <stdlib.h>

#include "app/main_window.h"
#include "session/reservation.h"
#include "store/settings_store.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    AppInstance = instance;
    AnotherInstanceFound = FindWindowA(VELDAR_MAIN_CLASS, nullptr) != nullptr;

    Settings = static_cast<LauncherSettings*>(calloc(1, sizeof(LauncherSettings)));
    if (!Settings)
        return 0;
    InitCommonControls();

    if (RegisterWindowClasses() && CreateMainWindow(showCommand)) {
        if (Settings->ReserveAtStart)
            ArmReservationAtStartup();
        RunMessageLoop();
    }

    free(Settings);
    Settings = nullptr;
    return 0;
}

// The state of the process that every layer may reach.
#include "common/app_state.h"

HINSTANCE AppInstance = nullptr;
HWND MainWindow = nullptr;
LauncherSettings* Settings = nullptr;

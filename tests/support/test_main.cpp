// Entry of every test program: the program's own module stands in for VELDAR.EXE (it links
// the same resources), the common controls and window classes are ready, and every case gets
// a fresh zero-filled settings block.
#define DOCTEST_CONFIG_IMPLEMENT
#include "test_support.h"

#include <commctrl.h>
#include <stdlib.h>

#include "app/main_window.h"

int main(int argc, char** argv)
{
    AppInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
    RegisterWindowClasses();
    doctest::Context context(argc, argv);
    return context.run();
}

FreshSettings::FreshSettings()
{
    ui::ResetLauncherRegistry();
    Settings = static_cast<LauncherSettings*>(calloc(1, sizeof(LauncherSettings)));
}

FreshSettings::~FreshSettings()
{
    free(Settings);
    Settings = nullptr;
}

LauncherWindow::LauncherWindow(void (*prepare)())
{
    if (prepare)
        prepare();
    window = CreateMainWindow(SW_SHOWNORMAL);
    REQUIRE(window);
    ui::Pump(30);
}

LauncherWindow::~LauncherWindow()
{
    if (IsWindow(window))
        DestroyWindow(window);
    MainWindow = nullptr;
    // The main window posts WM_QUIT when it is destroyed; left in the queue it would end the
    // next modal loop of the test program at once.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

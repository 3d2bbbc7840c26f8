// The run-file dialog (1010): opens whatever the user types with the shell's "open" verb and
// remembers the last text that opened in Settings->LastInput.
#pragma once
#include <windows.h>

// Runs the dialog modally over owner; 1 when something was opened, 0 otherwise.
INT_PTR OpenRunFileDialog(HWND owner);

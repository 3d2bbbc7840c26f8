// The common Open dialog and the shell folder browser behind the "..." buttons of the dialogs.
#pragma once
#include <windows.h>

// Shows the Open dialog over owner, starting from initial (may be empty). True when the user
// picked a file; its full path is then in out (260 bytes), else out is empty. A path that does
// not fit is reported with 20005 and the dialog shows again; the current folder is kept.
bool ChooseFile(HWND owner, char* out, const char* initial);
// Shows the folder browser over owner with initial (may be empty) selected. True when the user
// picked a file-system folder; its path is then in out (260 bytes), else out is empty.
bool ChooseFolder(HWND owner, const char* initial, char* out);

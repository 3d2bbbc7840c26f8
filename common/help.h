// The program's help file, VELDAR.CHM beside the executable, shown through the HTML Help
// control.
#pragma once
#include <windows.h>

// kind 0: the help file at its default topic (context is ignored); kind 1: the topic of help
// context number context. The help window belongs to no window of the launcher. A failure is
// reported with the system's text and nothing else happens.
void ShowHelp(int kind, int context);
// VELDAR.CHM in the folder of program, joined with one backslash, in out (MAX_PATH bytes);
// false when program names no folder or the path does not fit.
bool HelpFileBeside(const char* program, char* out);
// Closes every help window this process opened; does nothing when help was never shown. Called
// when the main window goes away, because the control's windows live on this thread.
void CloseHelp();

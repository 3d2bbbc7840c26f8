// The one way failures reach the user: an error box with a given text, the system's text for
// the last Windows error, or a string of the program.
#pragma once
#include <windows.h>

const int kLastError = -1;

// code -1: the calling thread's last error; any other code: a string id of the program.
// A non-empty text wins over the code. Always returns 0.
int ReportError(int code, const char* text);
// Reports a failed ShellExecuteA by its result, which names the error: the shell does not
// always set an error code, and the text of a stale one may even say that all went well.
// Returns 0.
int ReportShellFailure(HINSTANCE result);
// Reports a missing (messageId 0) or bad dialog input, then focuses the control.
int ReportInputError(HWND dialog, int controlId, int messageId);

// The one way failures reach the user: an error box with a given text, the system's text for
// the last Windows error, or a string of the program.
#pragma once
#include <windows.h>

const int kLastError = -1;

// code -1: the calling thread's last error; any other code: a string id of the program.
// A non-empty text wins over the code. Always returns 0.
int ReportError(int code, const char* text);
// Reports a failed ShellExecuteA by its result. The shell does not always set an error code,
// so the result itself names the error (2 to 11 are error codes, 31 is "no association"), and
// a failure that names nothing is taken as lack of memory, never as success. Returns 0.
int ReportShellFailure(HINSTANCE result);
// Reports a missing (messageId 0) or bad dialog input, then focuses the control.
int ReportInputError(HWND dialog, int controlId, int messageId);

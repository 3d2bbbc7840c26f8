// The properties of one process: its snapshot record and, when it has one, the details of its
// first top-level window, as a read-only two-column table.
#pragma once
#include <windows.h>

#include <tlhelp32.h>

// Runs dialog 1008 modally over owner for process (the process manager's copy; only read).
void OpenProcessProperties(HWND owner, const PROCESSENTRY32* process);

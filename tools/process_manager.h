// The process manager: a resizable dialog listing every running process with the icon and path
// of its executable, sorted by path, from which the user kills a process or opens its
// properties.
#pragma once
#include <windows.h>

#include <tlhelp32.h>

// One listed process. The list owns the entries and their icons; list box lines only borrow
// them, and an entry whose line was removed by a kill lives on until the dialog ends.
struct ProcessListEntry {
    ProcessListEntry* next; // in creation order; null at the end
    HICON icon;             // large icon of the executable, or null
    // The snapshot's record; on the NT family szExeFile holds the path of the main module when
    // it could be read.
    PROCESSENTRY32 process;
};

// Runs the process manager modally over owner (the launcher main window).
void OpenProcessManager(HWND owner);
// How long a kill waits for the process to end before it gives up on removing its line.
const DWORD kKillWaitMs = 5000;

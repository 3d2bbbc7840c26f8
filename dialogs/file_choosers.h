// The common Open dialog, the shell folder browser, and splitting paths into folder and file
// name in the system code page.
#pragma once
#include <windows.h>

// Shows the Open dialog over owner, starting from initial (may be empty). True when the user
// picked a file; its full path is then in out (260 bytes), else out is empty. A path that does
// not fit is reported with 20005 and the dialog shows again; the current folder is kept.
bool ChooseFile(HWND owner, char* out, const char* initial);
// Shows the folder browser over owner with initial (may be empty) selected. True when the user
// picked a file-system folder; its path is then in out (260 bytes), else out is empty.
bool ChooseFolder(HWND owner, const char* initial, char* out);
// Puts the text before the last "\" (or, when there is none, the last "/") of path into out
// (260 bytes), the separator included for a root ("C:\"), and returns the position of that
// separator, or null with out empty when path has no separator.
const char* GetFolderPart(const char* path, char* out);
// Puts the last component of path (base name and extension, without drive or folders) into
// out (260 bytes).
void GetFileNamePart(const char* path, char* out);

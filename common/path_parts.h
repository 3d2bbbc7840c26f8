// Splitting paths into folder and file name in the system code page, where the second byte of a
// double-byte character may be 0x5C, the byte of a backslash.
#pragma once
#include <windows.h>

// Puts the text before the last "\" (or, when there is none, the last "/") of path into out
// (260 bytes), the separator included for a root ("C:\"), and returns the position of that
// separator, or null with out empty when path has no separator.
const char* GetFolderPart(const char* path, char* out);
// Puts the last component of path (base name and extension, without drive or folders) into
// out (260 bytes).
void GetFileNamePart(const char* path, char* out);

// Cutting text of the system code page to a byte limit. A cut never falls between the two
// bytes of a double-byte character: half a character would show as garbage, and a cut second
// byte of 0x5C would read as a backslash.
#pragma once

// Length of the longest prefix of text, at most limit bytes, that ends on a whole character.
int WholeCharacterLength(const char* text, int limit);
// Copies as much of text as fits whole into out (capacity bytes) and terminates it; returns
// the number of bytes copied. Nothing is written when capacity is not positive.
int CopyWholeCharacters(char* out, int capacity, const char* text);

// Cutting text to a buffer in the system code page without splitting a double-byte character.
// Every place that shortens text to fit goes through here, so that a cut never leaves the lead
// byte of a character behind, which the next reader would pair with whatever byte follows.
#pragma once
#include <stdarg.h>

// Length of the longest prefix of text, at most limit bytes, that ends on a whole character.
int WholeCharacterLength(const char* text, int limit);
// Copies text into buffer (capacity bytes), cut at a whole character; always terminated.
void CopyWholeText(char* buffer, int capacity, const char* text);
// snprintf into buffer (capacity bytes); a result that does not fit is cut at a whole
// character. Returns the length written.
int FormatWholeText(char* buffer, int capacity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

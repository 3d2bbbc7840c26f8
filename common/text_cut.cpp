// Double-byte-aware cutting: the text is walked from its start with IsDBCSLeadByte, since a
// trail byte of code page 932 can look like any ASCII character.
#include "common/text_cut.h"

#include <windows.h>

#include <stdio.h>

int WholeCharacterLength(const char* text, int limit)
{
    int n = 0;
    while (n < limit && text[n]) {
        int step = IsDBCSLeadByte(static_cast<BYTE>(text[n])) && text[n + 1] ? 2 : 1;
        if (n + step > limit)
            break;
        n += step;
    }
    return n;
}

void CopyWholeText(char* buffer, int capacity, const char* text)
{
    if (capacity <= 0)
        return;
    int n = text ? WholeCharacterLength(text, capacity - 1) : 0;
    for (int i = 0; i < n; ++i)
        buffer[i] = text[i];
    buffer[n] = '\0';
}

int FormatWholeText(char* buffer, int capacity, const char* format, ...)
{
    if (capacity <= 0)
        return 0;
    va_list args;
    va_start(args, format);
    int wanted = vsnprintf(buffer, static_cast<size_t>(capacity), format, args);
    va_end(args);
    if (wanted < 0) {
        buffer[0] = '\0';
        return 0;
    }
    if (wanted < capacity)
        return wanted;
    int n = WholeCharacterLength(buffer, capacity - 1);
    buffer[n] = '\0';
    return n;
}

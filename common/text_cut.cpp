// The one place where text is cut to a byte limit.
#include "common/text_cut.h"

#include <windows.h>

#include <string.h>

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

int CopyWholeCharacters(char* out, int capacity, const char* text)
{
    if (!out || capacity <= 0)
        return 0;
    int n = text ? WholeCharacterLength(text, capacity - 1) : 0;
    memcpy(out, text ? text : "", n);
    out[n] = '\0';
    return n;
}

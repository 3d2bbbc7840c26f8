// Splitting paths into folder and file name, walked by characters of the system code page.
#include "common/path_parts.h"

#include "common/text_cut.h"

const char* GetFolderPart(const char* path, char* out)
{
    out[0] = '\0';
    // Walk by characters: in code page 932 the second byte of a double-byte character such as
    // "表" or "ソ" is 0x5C, which a byte search would take for a separator.
    const char* lastBackslash = nullptr;
    const char* lastSlash = nullptr;
    for (const char* p = path; *p; p = CharNextA(p)) {
        if (*p == '\\')
            lastBackslash = p;
        else if (*p == '/')
            lastSlash = p;
    }
    const char* separator = lastBackslash ? lastBackslash : lastSlash;
    if (!separator)
        return nullptr;
    // The folder of a file in a root keeps its separator: "C:" alone would name the current
    // folder of drive C, not its root.
    bool root = separator == path || (separator == path + 2 && path[1] == ':' &&
                                      !IsDBCSLeadByte(static_cast<BYTE>(path[0])));
    // The separator lies on a character boundary, so the cut there takes whole characters.
    const int length = static_cast<int>((root ? separator + 1 : separator) - path);
    CopyWholeCharacters(out, length < MAX_PATH ? length + 1 : MAX_PATH, path);
    return separator;
}

void GetFileNamePart(const char* path, char* out)
{
    // The last component follows the last separator of either kind, or a leading drive. The
    // path is walked by characters in the system code page, as GetFolderPart walks it, so that
    // the two agree on where the folder ends.
    const char* start = path;
    if (path[0] && !IsDBCSLeadByte(static_cast<BYTE>(path[0])) && path[1] == ':')
        start = path + 2;
    for (const char* p = start; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/')
            start = p + 1;
    }
    CopyWholeCharacters(out, MAX_PATH, start);
}

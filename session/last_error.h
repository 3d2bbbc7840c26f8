// Some failing calls leave the thread's last error at 0, whose system text says that the
// operation succeeded; such a failure is reported with a code that fits it instead.
#pragma once
#include <windows.h>

inline void KeepLastErrorOr(DWORD fallback)
{
    if (GetLastError() == 0)
        SetLastError(fallback);
}

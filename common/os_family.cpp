// The platform identifier alone decides the family; version numbers are never consulted.
#include "common/os_family.h"

#include <windows.h>

#include "common/report_error.h"

OsFamily GetOsFamily()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) {
        ReportError(kLastError, nullptr);
        return Unknown;
    }
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS: return Windows9x;
    case VER_PLATFORM_WIN32_NT: return WindowsNT;
    default: return Unknown;
    }
}

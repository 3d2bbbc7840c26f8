// Which family of Windows the process runs on, asked anew at every call.
#pragma once

enum OsFamily { Unknown = 0, Windows9x = 1, WindowsNT = 2 };

OsFamily GetOsFamily();

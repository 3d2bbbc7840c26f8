// Splitting paths in code page 932.
#include "test_support.h"

#include <string.h>

#include "common/path_parts.h"

TEST_CASE("paths split at the real last separator; a root keeps its separator")
{
    // "表" and "ソ" carry a 0x5C second byte in code page 932, where a byte search for "\\"
    // would split them. Each row: path, folder, separator offset (-1 none), name.
    REQUIRE(std::string("表ソ") == "\x95\x5C\x83\x5C");
    for (const char* row :
         {"C:\\WINDOWS\\NOTEPAD.EXE C:\\WINDOWS 10 NOTEPAD.EXE", "C:\\A.EXE C:\\ 2 A.EXE",
          "\\A.EXE \\ 0 A.EXE", "C:\\ C:\\ 2 ", "NOTEPAD.EXE  -1 NOTEPAD.EXE",
          "C:/Tool/app.exe C:/Tool 7 app.exe", "C:A.EXE  -1 A.EXE", "C:\\Tool\\ C:\\Tool 7 ",
          "表ソ.EXE  -1 表ソ.EXE", "C:\\表ソ\\表.EXE C:\\表ソ 7 表.EXE", "C:\\ソ C:\\ 2 ソ",
          "D:/表/ソ D:/表 5 ソ"}) {
        const std::string path(row, strchr(row, ' ') - row);
        char folder[MAX_PATH] = "leftover", name[MAX_PATH] = "leftover";
        const char* separator = GetFolderPart(path.c_str(), folder);
        GetFileNamePart(path.c_str(), name);
        const int at = separator ? static_cast<int>(separator - path.c_str()) : -1;
        CHECK(path + " " + folder + " " + std::to_string(at) + " " + name == std::string(row));
    }
}

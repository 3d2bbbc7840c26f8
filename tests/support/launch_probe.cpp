// The program items launch in tests. It writes to the file named by VELDAR_PROBE_OUT how it
// was started: the arguments after its own name, its current folder and the show command of
// its start-up information. The record is written under a temporary name and renamed, so a
// reader that sees the file sees all of it.
#include <windows.h>

#include <stdio.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    // The arguments follow the program's own name (quoted or not) and the blanks after it.
    const char* args = GetCommandLineA();
    bool quoted = *args == '"';
    for (args += quoted; *args && (quoted ? *args != '"' : *args != ' '); args = CharNextA(args)) {
    }
    for (args += quoted && *args; *args == ' ' || *args == '\t'; ++args) {
    }
    char folder[MAX_PATH] = "", out[MAX_PATH] = "", temp[MAX_PATH + 8];
    GetCurrentDirectoryA(sizeof folder, folder);
    GetEnvironmentVariableA("VELDAR_PROBE_OUT", out, sizeof out);
    snprintf(temp, sizeof temp, "%s.tmp", out);
    FILE* file = fopen(temp, "wb");
    if (!file)
        return 1;
    fprintf(file, "args=%s\ndir=%s\nshow=%d\n", args, folder, show);
    fclose(file);
    return MoveFileExA(temp, out, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

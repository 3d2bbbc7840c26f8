// The program items launch in tests: writes to the file named by VELDAR_PROBE_OUT its arguments,
// current folder and start-up show command, under a temporary name renamed whole when written.
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
    for (args += quoted; *args && *args != (quoted ? '"' : ' '); args = CharNextA(args))
        continue;
    for (args += quoted && *args; *args == ' ' || *args == '\t'; ++args)
        continue;
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

// A program for items to launch in tests: it writes down how it was started (the arguments
// after its own name, its current folder, the show command it was given and the state its
// window really took) and exits.
//
// The record goes to the file named by VELDAR_PROBE_OUT, else to launch_probe.txt next to the
// program. It is written under a temporary name and renamed, so a reader that sees the file
// sees all of it.
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

// The command line after the program's own name and the blanks that follow it.
const char* ArgumentsOf(const char* line)
{
    if (*line == '"') {
        ++line;
        while (*line && *line != '"')
            line = CharNextA(line);
        if (*line == '"')
            ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t')
            line = CharNextA(line);
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

void RecordPath(char* out, size_t size)
{
    DWORD n = GetEnvironmentVariableA("VELDAR_PROBE_OUT", out, static_cast<DWORD>(size));
    if (n > 0 && n < size)
        return;
    n = GetModuleFileNameA(nullptr, out, static_cast<DWORD>(size));
    char* cut = out;
    for (char* p = out; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/')
            cut = p + 1;
    snprintf(cut, size - (cut - out), "launch_probe.txt");
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int given = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

    WNDCLASSA cls = {};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = instance;
    cls.lpszClassName = "VeldarLaunchProbe";
    RegisterClassA(&cls);
    // The first ShowWindow of a process takes the show command it was started with.
    HWND window = CreateWindowExA(0, cls.lpszClassName, "launch probe", WS_OVERLAPPEDWINDOW, 10, 10,
                                  200, 100, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, showCommand);
    int iconic = IsIconic(window) ? 1 : 0;
    int zoomed = IsZoomed(window) ? 1 : 0;
    int visible = IsWindowVisible(window) ? 1 : 0;
    DestroyWindow(window);

    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);

    char out[MAX_PATH], temp[MAX_PATH + 8];
    RecordPath(out, sizeof out);
    snprintf(temp, sizeof temp, "%s.tmp", out);
    FILE* file = fopen(temp, "wb");
    if (!file)
        return 1;
    fprintf(file, "args=%s\ndir=%s\nshow=%d\nwinmain=%d\niconic=%d\nzoomed=%d\nvisible=%d\n",
            ArgumentsOf(GetCommandLineA()), folder, given, showCommand, iconic, zoomed, visible);
    fclose(file);
    return MoveFileExA(temp, out, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

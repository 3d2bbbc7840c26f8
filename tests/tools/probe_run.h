// What the tools' tests share: the launch probe, a program that writes down its arguments and
// current folder, and files made for one case.
#pragma once
#include <stdio.h>

#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

const std::string Probe = ui::BuildFile("launch_probe.exe");

// Runs start and returns "args=…\ndir=…\n" of the probe it started; empty when none reported
// within waitMs.
inline std::string ProbeRun(const std::function<void()>& start, DWORD waitMs = 15000)
{
    const std::string path = ui::BuildFile("tools_probe_record.txt");
    SetEnvironmentVariableA("VELDAR_PROBE_OUT", path.c_str());
    DeleteFileA(path.c_str());
    start();
    ui::WaitUntil([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; },
                  waitMs);
    char text[2048] = "";
    if (FILE* file = fopen(path.c_str(), "rb")) {
        text[fread(text, 1, sizeof text - 1, file)] = '\0';
        fclose(file);
    }
    DeleteFileA(path.c_str());
    return std::string(text).substr(0, std::string(text).find("show="));
}

// Files made for one case (a copy of from, or empty) and removed when it ends.
struct MadeFiles {
    std::vector<std::string> paths;
    void Make(const std::string& path, const std::string& from = "")
    {
        from.empty() ? CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, 0, nullptr))
                     : CopyFileA(from.c_str(), path.c_str(), FALSE);
        paths.push_back(path);
    }
    ~MadeFiles()
    {
        for (const std::string& path : paths)
            DeleteFileA(path.c_str());
    }
};

// The help file and the HTML Help control. The control is bound on the first request for help
// and kept for the life of the process; a failed binding is remembered with its error code, so
// that every later request reports the same cause at once instead of loading again.
#include "common/help.h"

#include <stdio.h>
#include <string.h>

#include "common/app_state.h"
#include "common/path_parts.h"
#include "common/report_error.h"

namespace {

typedef HWND(WINAPI* HtmlHelpProc)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

const UINT kDisplayTopic = 0x0000; // HH_DISPLAY_TOPIC
const UINT kHelpContext = 0x000F;  // HH_HELP_CONTEXT
const UINT kCloseAll = 0x0012;     // HH_CLOSE_ALL
const char kControlClassKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

HMODULE HelpControl = nullptr;
HtmlHelpProc HtmlHelp = nullptr;
DWORD BindFailure = 0; // the error code of a failed binding; 0 while none failed

// A drive path ("C:\...") or a network path ("\\server\..."). A relative or drive-relative
// name would be looked up in the current or the program's folder, where anybody may put a file.
bool IsAbsolutePath(const char* path)
{
    char drive = path[0];
    bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    if (letter && path[1] == ':' && (path[2] == '\\' || path[2] == '/'))
        return true;
    return path[0] == '\\' && path[1] == '\\';
}

// The control's file as the system registered it, with its environment variables expanded;
// false when the registration is missing, not text, too long or not an absolute path.
bool ReadRegisteredControl(char* out)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kControlClassKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char stored[MAX_PATH + 1];
    DWORD type = 0, size = MAX_PATH;
    LONG read =
        RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    // The stored text need not end with a NUL.
    stored[size < MAX_PATH ? size : MAX_PATH] = '\0';
    DWORD expanded = ExpandEnvironmentStringsA(stored, out, MAX_PATH);
    if (expanded == 0 || expanded > MAX_PATH)
        return false;
    return IsAbsolutePath(out);
}

// hhctrl.ocx in the system folder, for a system that registered none.
bool SystemControlPath(char* out)
{
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    int written = snprintf(out, MAX_PATH, "%s\\hhctrl.ocx", folder);
    return written > 0 && written < MAX_PATH;
}

void RememberFailure(DWORD fallback)
{
    DWORD error = GetLastError();
    BindFailure = error ? error : fallback;
}

// The entry point of the control, loaded by its full path only; null after a failure, with
// the failure's code as the last error.
HtmlHelpProc BindHelpControl()
{
    if (BindFailure) {
        SetLastError(BindFailure);
        return nullptr;
    }
    if (!HelpControl) {
        char path[MAX_PATH];
        if (ReadRegisteredControl(path))
            HelpControl = LoadLibraryA(path);
        if (!HelpControl && SystemControlPath(path))
            HelpControl = LoadLibraryA(path);
        if (!HelpControl) {
            RememberFailure(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
    }
    if (!HtmlHelp) {
        HtmlHelp = reinterpret_cast<HtmlHelpProc>(
            reinterpret_cast<void*>(GetProcAddress(HelpControl, MAKEINTRESOURCEA(14))));
        if (!HtmlHelp) {
            RememberFailure(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
    }
    return HtmlHelp;
}

// VELDAR.CHM in the executable's folder, built anew at every call so that the current folder
// never matters. A failure leaves an error code that says why.
bool HelpFilePath(char* out)
{
    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(AppInstance, module, MAX_PATH);
    if (length == 0)
        return false;
    if (length < MAX_PATH && HelpFileBeside(module, out))
        return true;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
}

} // namespace

bool HelpFileBeside(const char* program, char* out)
{
    char folder[MAX_PATH];
    const char* separator = GetFolderPart(program, folder);
    if (!separator)
        return false;
    // The folder of a program in a drive root keeps its backslash ("C:\"); it gets no second.
    bool joined = strlen(folder) > static_cast<size_t>(separator - program);
    int written = snprintf(out, MAX_PATH, "%s%s%s%s", folder, joined ? "" : "\\", "VELDAR", ".CHM");
    return written > 0 && written < MAX_PATH;
}

void ShowHelp(int kind, int context)
{
    char path[MAX_PATH];
    if (!HelpFilePath(path)) {
        ReportError(kLastError, nullptr);
        return;
    }
    HtmlHelpProc htmlHelp = BindHelpControl();
    if (!htmlHelp) {
        ReportError(kLastError, nullptr);
        return;
    }
    UINT command = kind == 1 ? kHelpContext : kDisplayTopic;
    DWORD_PTR data = kind == 1 ? static_cast<DWORD_PTR>(context) : 0;
    // The control does not always set an error code when it shows nothing (a context number
    // the file does not map, for one); the report must not then say that all went well.
    SetLastError(0);
    if (!htmlHelp(GetDesktopWindow(), path, command, data)) {
        if (GetLastError() == 0)
            SetLastError(ERROR_NOT_FOUND);
        ReportError(kLastError, nullptr);
    }
}

void CloseHelp()
{
    if (HtmlHelp)
        HtmlHelp(nullptr, nullptr, kCloseAll, 0);
}

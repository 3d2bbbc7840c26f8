// The About box. Its title font is made for the box each time it opens and deleted in
// WM_DESTROY, which every way of closing it passes through.
#include "common/about_box.h"

#include <stdio.h>

#include "common/app_state.h"
#include "common/place_window.h"
#include "common/report_error.h"
#include "resource.h"
#include "veldar_version.h"

namespace {

const char kProgramWord[] = "VELDAR";

HFONT AboutFont = nullptr;

typedef BOOL(WINAPI* AnimateWindowProc)(HWND window, DWORD milliseconds, DWORD flags);

// The dialog font in bold, its cell one pixel lower than the name control, so the word fills
// the control. The height is that of the cell, not of the characters: with a font whose cell
// is taller than its characters (as the ones that stand in for ＭＳ Ｐゴシック are) a character
// height of the whole control puts the base line below it and cuts the word.
void MakeTitleFont(HWND dialog)
{
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    LOGFONTA font = {};
    if (!dialogFont || GetObjectA(dialogFont, sizeof font, &font) == 0)
        return;
    HWND name = GetDlgItem(dialog, IDC_ABOUT_NAME);
    RECT client = {};
    GetClientRect(name, &client);
    font.lfWeight = FW_BOLD;
    font.lfHeight = client.bottom - client.top - 1;
    AboutFont = CreateFontIndirectA(&font);
    if (AboutFont)
        SendMessageA(name, WM_SETFONT, reinterpret_cast<WPARAM>(AboutFont), FALSE);
}

INT_PTR OnInitDialog(HWND dialog)
{
    MakeTitleFont(dialog);
    SetDlgItemTextA(dialog, IDC_ABOUT_NAME, kProgramWord);
    char version[64];
    snprintf(version, sizeof version, "Version %s", VELDAR_VERSION);
    SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, version);
    PlaceWindow(dialog, MainWindow, 0, 0);
    AnimateShow(dialog);
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam)
{
    int id = LOWORD(wParam);
    if (id != IDOK && id != IDCANCEL)
        return FALSE;
    EndDialog(dialog, 1);
    return TRUE;
}

INT_PTR OnDestroy()
{
    if (AboutFont) {
        DeleteObject(AboutFont);
        AboutFont = nullptr;
    }
    return FALSE;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_DESTROY: return OnDestroy();
    }
    return FALSE;
}

} // namespace

void ShowAboutBox(HWND owner)
{
    if (DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutProc, 0) == -1)
        ReportError(kLastError, nullptr);
}

BOOL AnimateShow(HWND window)
{
    // By its full path: a USER32.DLL in the program's folder must never be the one loaded.
    char folder[MAX_PATH], path[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return FALSE;
    int written = snprintf(path, sizeof path, "%s\\USER32.DLL", folder);
    if (written <= 0 || written >= MAX_PATH)
        return FALSE;
    HMODULE user = LoadLibraryA(path);
    if (!user)
        return FALSE;
    BOOL result = FALSE;
    AnimateWindowProc animate = reinterpret_cast<AnimateWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(user, "AnimateWindow")));
    if (animate)
        result = animate(window, 250, AW_ACTIVATE | AW_CENTER);
    FreeLibrary(user);
    return result;
}

// Places and steps that the dialog tests share.
#pragma once
#include "test_support.h"

#include "resource.h"

// A file in the folder that read answers, or the folder itself without a name.
inline std::string InFolder(UINT(WINAPI* read)(LPSTR, UINT), const char* name = "")
{
    char path[MAX_PATH] = "";
    read(path, sizeof path);
    return *name ? std::string(path) + "\\" + name : path;
}

// The number a control answers message with, or the text of the line index; then "|".
inline std::string Ask(HWND dialog, int id, UINT message, int index = 0)
{
    char text[300] = "";
    LRESULT n = SendDlgItemMessageA(dialog, id, message, index, reinterpret_cast<LPARAM>(text));
    return (message == LB_GETTEXT || message == CB_GETLBTEXT ? text : std::to_string(n)) + "|";
}

inline ui::UiScript& MenuStep(ui::UiScript& script, UINT id)
{
    return script.OnMenu([id](HWND menu) { ui::ChooseMenuEntry(menu, id); });
}

// The About box, dialog 1001: the program word in a large bold font and the version.
#pragma once
#include <windows.h>

// Runs the About box modally over owner. The bold font it makes is deleted however it closes.
void ShowAboutBox(HWND owner);
// Shows window with the system's opening animation (growing from its centre, activated) and
// answers the animation call's result; 0 when the system has no animation, and the window
// then stays as it was.
BOOL AnimateShow(HWND window);

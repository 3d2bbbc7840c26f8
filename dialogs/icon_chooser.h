// The icon chooser: a dialog showing every large icon of one file in a horizontally scrolling
// row, from which the user picks the icon of an item.
#pragma once
#include <windows.h>

#include <stdint.h>

// The chooser's state; one instance exists while ChooseIcon runs. The icons are owned by it and
// destroyed by ReleaseIcons.
struct IconChooserState {
    char Path[MAX_PATH]; // the file whose icons are shown
    int32_t Count;       // icons in Path; 0 when none or unreadable
    int32_t Selected;    // 0-based index of the chosen icon
    HICON* Icons;        // Count large icons, or null when Count is 0
};

// Runs the chooser over owner, starting on the file in path (260 bytes) with the icon at
// initialIndex selected. Returns the chosen 0-based index and puts the chosen file into path,
// or returns -1 and leaves path untouched when the user cancelled or the chooser could not run.
int ChooseIcon(HWND owner, int initialIndex, char* path);
// Extracts every large icon of state->Path into state->Icons and sets state->Count.
void LoadIcons(IconChooserState* state);
// Destroys the icons and resets Icons, Count and Selected (the next file starts at its first
// icon).
void ReleaseIcons(IconChooserState* state);
// Shows state in the chooser dialog: the file in the file field, one list cell per icon, the
// selected icon selected and scrolled into view.
void FillIconList(HWND dialog, const IconChooserState* state);

// The move dialog: moves the item of one button to a free slot of any page.
#pragma once
#include <windows.h>

// Runs dialog 1006 for the item at position of the current page over owner (the main window)
// and rebuilds the grid after a move. Returns 1 when the item was moved, else 0. Safe to call
// from the item menu of the button it moves: the rebuild happens only while the grid exists.
int MoveItem(HWND owner, int position);
// Fills list with one line per free slot of every page, "012: 2ページ 3番", leaving out the
// slot source; each line keeps its slot number as its item data. Returns the number of lines.
int FillFreeList(HWND list, int source);

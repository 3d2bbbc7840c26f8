// The content of the main window: one row of item buttons for the current page, the page
// spinner and the two stacked menu buttons, and the window size that follows from them.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "strip/tooltip.h"

const int kButtonSize = 38;

// The one private message of the main window, posted by an item button when it is
// right-clicked: wParam is the button's position.
const UINT WM_ITEMMENU = WM_USER + 1231;

int CreateMainControls(HWND window);
void LayoutMainWindow(HWND window, int n);
int CreateItemButtons(HWND window, int n);
void DestroyItemButtons(int n);
void LoadPageIcons(int n);
void ReleasePageIcons(int n);
// Paints the first n item buttons at once, each as it would paint itself, and takes them off the
// list of windows waiting for WM_PAINT; a page change ends with it.
void PaintItemRow(HWND window, int n);
void UpdateMainTitle(HWND window);
void ShowCurrentPage(HWND window);
LRESULT StepPage(HWND window, NMHDR* notification);
void RebuildItemGrid(HWND window, int oldCount, int newCount);
// Gives the button with this control id the caption as its tooltip, or none for an empty
// caption; 0 when the page has no tooltip.
int SetItemTooltip(int controlId, const char* caption);
// The tooltip of the item buttons; null without buttons and when it could not be made.
TooltipManager* ItemTooltip();
LRESULT CALLBACK ItemButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
// The icon at index inside path, else the file's shell icon; null for an empty path. The
// caller owns the icon.
HICON LoadFileIcon(const char* path, int index);

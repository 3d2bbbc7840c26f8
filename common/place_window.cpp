// Window placement. The screen size is that of the window's device context; the work area
// (task bar) is deliberately not considered.
#include "common/place_window.h"

namespace {

// One axis: the offset or the centre, then pushed back onto the screen. The two corrections
// exclude each other, so a window larger than the screen ends at a negative position.
int PlaceAlong(int refStart, int refExtent, int extent, int offset, int screen)
{
    int pos = offset ? refStart + offset : refStart + (refExtent - extent) / 2;
    if (pos < 0)
        pos = 0;
    else if (pos + extent > screen)
        pos = screen - extent;
    return pos;
}

} // namespace

void PlaceWindow(HWND window, HWND reference, int offsetX, int offsetY)
{
    if (!reference)
        reference = GetDesktopWindow();
    RECT rect = {}, ref = {};
    GetWindowRect(window, &rect);
    GetWindowRect(reference, &ref);
    HDC dc = GetDC(window);
    int screenW = GetDeviceCaps(dc, HORZRES);
    int screenH = GetDeviceCaps(dc, VERTRES);
    ReleaseDC(window, dc);

    int x = PlaceAlong(ref.left, ref.right - ref.left, rect.right - rect.left, offsetX, screenW);
    int y = PlaceAlong(ref.top, ref.bottom - ref.top, rect.bottom - rect.top, offsetY, screenH);
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

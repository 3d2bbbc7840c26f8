// Window placement on the work area of the monitor that shows the reference window, so a dialog
// opened from a launcher on a second monitor appears beside it.
#include "common/place_window.h"

namespace {

// One axis: the offset or the centre, then pushed back into the work area. The two corrections
// exclude each other, so a window larger than the work area ends before its start.
int PlaceAlong(int refStart, int refExtent, int extent, int offset, int areaStart, int areaEnd)
{
    int pos = offset ? refStart + offset : refStart + (refExtent - extent) / 2;
    if (pos < areaStart)
        pos = areaStart;
    else if (pos + extent > areaEnd)
        pos = areaEnd - extent;
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
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(reference, MONITOR_DEFAULTTONEAREST), &monitor))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    const RECT& area = monitor.rcWork;

    int x = PlaceAlong(ref.left, ref.right - ref.left, rect.right - rect.left, offsetX, area.left,
                       area.right);
    int y = PlaceAlong(ref.top, ref.bottom - ref.top, rect.bottom - rect.top, offsetY, area.top,
                       area.bottom);
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

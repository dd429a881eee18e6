// Where the output window (run/output_window_win32.h) opens. No system calls.
#pragma once

// Rectangles in screen pixels: left, top, right, bottom.
struct ScreenRect {
  int left, top, right, bottom;
};

// The output window's top-left corner: beside the run list's right edge
// when it fits there within the work area, else a little right of and
// below the list's own corner.
void PlaceOutputWindow(const ScreenRect& list, int width, const ScreenRect& workArea, int* x, int* y);

// Where windows go: the main dialog at its saved position, a dialog centred
// on its owner, both kept inside the work area. No system calls here
// (moving the windows: app/placement_win32.h).
#pragma once

// A rectangle in screen coordinates; right and bottom are exclusive.
struct ScreenRect {
  long left;
  long top;
  long right;
  long bottom;
};

// Moves the top-left corner (x, y) of a window of width w and height h so that
// the window lies inside `area`: first its right and bottom edges are pulled
// in, then its left and top edges, so a window larger than the area is
// aligned with the area's left and top.
void KeepInsideArea(const ScreenRect& area, long w, long h, long* x, long* y);

// The top-left corner that centres a window of width w and height h on
// `owner` (halves rounded towards zero).
void CenterOn(const ScreenRect& owner, long w, long h, long* x, long* y);

// Turns a corner given in workspace coordinates (as GetWindowPlacement gives
// a window's normal position) into screen coordinates. Workspace coordinates
// leave out the application bars: they count from the corner of the work
// area `work` of the monitor `monitor` rather than from the monitor's own.
void WorkspaceToScreen(const ScreenRect& monitor, const ScreenRect& work, long* x, long* y);

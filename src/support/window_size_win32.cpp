#include "support/window_size_win32.h"

SIZE OuterSize(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

BOOL KeepMinimumTrackSize(LPARAM lParam, SIZE minimum) {
  if (minimum.cx == 0) return FALSE;
  MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
  info->ptMinTrackSize.x = minimum.cx;
  info->ptMinTrackSize.y = minimum.cy;
  return TRUE;
}

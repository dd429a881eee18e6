#include "app/placement.h"

namespace {

// Far-off corners (a saved 32767, a minimised window's -32000) are added to
// sizes: wide enough that the sums cannot overflow.
long Clamp(long long position, long long size, long long low, long long high) {
  if (position + size > high) position = high - size;
  if (position < low) position = low;
  return static_cast<long>(position);
}

}  // namespace

void KeepInsideArea(const ScreenRect& area, long w, long h, long* x, long* y) {
  *x = Clamp(*x, w, area.left, area.right);
  *y = Clamp(*y, h, area.top, area.bottom);
}

void CenterOn(const ScreenRect& owner, long w, long h, long* x, long* y) {
  *x = static_cast<long>(owner.left + (static_cast<long long>(owner.right) - owner.left - w) / 2);
  *y = static_cast<long>(owner.top + (static_cast<long long>(owner.bottom) - owner.top - h) / 2);
}

void WorkspaceToScreen(const ScreenRect& monitor, const ScreenRect& work, long* x, long* y) {
  *x += work.left - monitor.left;
  *y += work.top - monitor.top;
}

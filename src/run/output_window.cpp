#include "run/output_window.h"

void PlaceOutputWindow(const ScreenRect& list, int width, const ScreenRect& workArea, int* x, int* y) {
  constexpr int kOffset = 24;
  const int beside = list.right + width <= workArea.right;
  *x = beside ? list.right : list.left + kOffset;
  *y = beside ? list.top : list.top + kOffset;
}

#include "app/placement_win32.h"

#include "app/placement.h"
#include "settings/settings_win32.h"

namespace {

ScreenRect ToScreenRect(const RECT& rect) {
  return ScreenRect{rect.left, rect.top, rect.right, rect.bottom};
}

void MoveInsideWorkArea(HWND window, long w, long h, long x, long y) {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  KeepInsideArea(ToScreenRect(area), w, h, &x, &y);
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

BOOL RestoreWindowPosition(HWND dialog) {
  RECT rect{};
  GetWindowRect(dialog, &rect);
  int x = 0;
  int y = 0;
  LoadDialogPosition(&x, &y);
  MoveInsideWorkArea(dialog, rect.right - rect.left, rect.bottom - rect.top, x, y);
  return TRUE;
}

BOOL CenterOverOwner(HWND dialog, HWND owner) {
  RECT rect{};
  RECT ownerRect{};
  GetWindowRect(dialog, &rect);
  GetWindowRect(owner, &ownerRect);
  long w = rect.right - rect.left;
  long h = rect.bottom - rect.top;
  long x = 0;
  long y = 0;
  CenterOn(ToScreenRect(ownerRect), w, h, &x, &y);
  MoveInsideWorkArea(dialog, w, h, x, y);
  return TRUE;
}

void GetRestoredWindowCorner(HWND window, long* x, long* y) {
  RECT rect{};
  GetWindowRect(window, &rect);
  *x = rect.left;
  *y = rect.top;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!IsIconic(window) || !GetWindowPlacement(window, &placement)) return;
  *x = placement.rcNormalPosition.left;
  *y = placement.rcNormalPosition.top;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  // A minimised window counts as lying on the monitor of its normal position.
  if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    WorkspaceToScreen(ToScreenRect(monitor.rcMonitor), ToScreenRect(monitor.rcWork), x, y);
  }
}

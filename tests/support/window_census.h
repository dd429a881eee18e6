// Counting the windows a test's own children show: visible top-level windows
// of processes that descend from one process, so that windows of tests
// running beside it do not count.
#pragma once

#include <windows.h>

// Visible top-level windows of the processes below `root` (its children,
// their children, ...), not of `root` itself.
int VisibleWindowsBelow(DWORD root);

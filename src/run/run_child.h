// How a command of the run list is started and kept: its creation flags, and
// the priority class it is given when the priority changes while it runs.
// No system calls (those are run/run_child_win32.h).
#pragma once

// Creation flags of a listed command besides its priority class: started
// suspended, so that it joins its job before it can start anything, and
// without a console window when its output is taken in.
inline constexpr unsigned long kCreateSuspended = 0x4;        // CREATE_SUSPENDED
inline constexpr unsigned long kCreateNoWindow = 0x08000000;  // CREATE_NO_WINDOW
unsigned long ListedCreationFlags(int priorityIndex, int taken);

// The priority class a running command is given for a row of the priority
// table, or for -1 (no class chosen) the class a new child would get of a
// parent in `ownClass`: its own when idle or below normal, else normal.
unsigned long PriorityClassForRunning(int priorityIndex, unsigned long ownClass);

// How a command of the run list is kept: the priority class it is given
// when the priority changes while it runs (its creation flags are
// run/launch_flags.h). No system calls (those are run/run_child_win32.h).
#pragma once

// The priority class a running command is given for a row of the priority
// table, or for -1 (no class chosen) the class a new child would get of a
// parent in `ownClass`: its own when idle or below normal, else normal.
unsigned long PriorityClassForRunning(int priorityIndex, unsigned long ownClass);

#include "run/launch_flags.h"

#include "run/launch.h"

unsigned long ListedCreationFlags(int priorityIndex, int taken, int consoleHeld, int breakaway) {
  unsigned long console = 0;
  if (taken && !consoleHeld) console = kCreateNoWindow;
  if (!taken && consoleHeld) console = kCreateNewConsole;
  return CreationFlagsForPriority(priorityIndex) | kCreateSuspended | console |
         (breakaway ? kCreateBreakawayFromJob : 0);
}

unsigned long OwnConsoleFlags(int priorityIndex, int consoleHeld) {
  return CreationFlagsForPriority(priorityIndex) | (consoleHeld ? kCreateNewConsole : 0);
}

int JobsNest(unsigned long major, unsigned long minor) { return major > 6 || (major == 6 && minor >= 2); }

int BreakAwayFromOuterJob(int jobsNest, int inJob, unsigned long outerLimits) {
  return !jobsNest && inJob && (outerLimits & kJobLimitBreakawayOk) != 0;
}

unsigned long JobPriorityClass(unsigned long priorityClass) {
  constexpr unsigned long kNormalClass = 0x20;
  return priorityClass == kNormalClass ? 0 : priorityClass;
}

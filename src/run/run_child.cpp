#include "run/run_child.h"

#include "run/launch.h"

unsigned long PriorityClassForRunning(int priorityIndex, unsigned long ownClass) {
  constexpr unsigned long kNormalClass = 0x20, kIdleClass = 0x40, kBelowNormalClass = 0x4000;
  const unsigned long chosen = CreationFlagsForPriority(priorityIndex);
  if (chosen != 0) return chosen;
  return ownClass == kIdleClass || ownClass == kBelowNormalClass ? ownClass : kNormalClass;
}

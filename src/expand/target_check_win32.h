// The target check over the system (expand/target_check.h).
#pragma once

#include <windows.h>

#include "expand/target_check.h"

// The system's file search (over the find handle `*find`, which the caller
// keeps while the check runs), long names and working folder for
// CheckTargets.
TargetPlatform SystemTargetPlatform(HANDLE* find);

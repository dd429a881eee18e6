// The target check over the system (expand/target_check.h).
#pragma once

#include <windows.h>

struct TargetPlatform;

// The system's file search, long names and working folder for CheckTargets.
const TargetPlatform& SystemTargetPlatform();

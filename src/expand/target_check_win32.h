// The target check over the system (expand/target_check.h), and the
// question it asks before commands with marks run.
#pragma once

#include <windows.h>

struct TargetPlatform;
struct TargetRecord;

// The system's file search, long names and working folder for CheckTargets.
const TargetPlatform& SystemTargetPlatform();

// After CheckTargets: when a command of `record` carries a mark, asks the
// user in a Yes/No box owned by `owner` whether to go on. 1 to go on (no
// mark, or Yes), 0 for No.
int AskAboutTargets(HWND owner, const TargetRecord& record);

// What a run tells the user about its commands before they run: the names
// the file expansion left out, and the commands whose targets are at risk.
#pragma once

#include <windows.h>

struct LeftOutNames;
struct TargetRecord;

// Tells the user, in one box per reason titled `caption` and owned by
// `owner`, how many names of `leftOut` (a plan's, run/plan.h) were left out
// because the code page cannot hold them and there was no short name, or
// because cmd would change them, and the first of each. Shows nothing for a
// reason that left out no name.
void ReportLeftOutNames(HWND owner, const char* caption, const LeftOutNames& leftOut);

// After CheckTargets (expand/target_check.h): when a command of `record`
// carries a mark, asks the user in a Yes/No box owned by `owner` whether to
// go on. 1 to go on (no mark, or Yes), 0 for No.
int AskAboutTargets(HWND owner, const TargetRecord& record);

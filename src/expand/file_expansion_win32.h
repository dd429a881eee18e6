// File expansion over the system's file search (FindFirstFileA/FindNextFileA).
#pragma once

#include <windows.h>

struct SearchSource;

// The system's file search (FindFirstFileA/FindNextFileA) as a search source.
const SearchSource& SystemSearchSource();

// Tells the user, in one box per reason titled `caption` and owned by
// `owner`, how many names were left out since ResetLeftOutNames
// (expand/file_expansion.h) because the code page cannot hold them and there
// was no short name, or because cmd would change them, and the first of
// each. Shows nothing for a reason that left out no name. A run calls
// ResetLeftOutNames before it builds its commands and this after.
void ReportLeftOutNames(HWND owner, const char* caption);

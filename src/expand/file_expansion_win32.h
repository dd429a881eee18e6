// File expansion over the system's file search (FindFirstFileA/FindNextFileA).
#pragma once

#include <windows.h>

struct SearchSource;

// The system's file search (FindFirstFileA/FindNextFileA) as a search source.
const SearchSource& SystemSearchSource();

// Chooses the expanded row among the main dialog's file edits (1002-1009) and
// starts the file search on its pattern. `baseDirectory` is the directory
// that relative file texts are joined to, or null in direct mode. The
// current directory (edit 1038) becomes the command folder
// (SetCommandFolder) that relative file texts are looked for in. Returns 1
// when an expanded row was chosen, 0 when none qualifies (one command only).
int StartFileExpansion(HWND dialog, const char* baseDirectory);

// Tells the user, in one box per reason titled `caption` and owned by
// `owner`, how many names were left out since ResetLeftOutNames
// (expand/file_expansion.h) because the code page cannot hold them and there
// was no short name, or because cmd would change them, and the first of
// each. Shows nothing for a reason that left out no name. A run calls
// ResetLeftOutNames before it builds its commands and this after.
void ReportLeftOutNames(HWND owner, const char* caption);

// A caller that stops before the end closes the search with
// EndFileExpansion (expand/file_expansion.h).

// File expansion over the system's file search (FindFirstFileA/FindNextFileA).
#pragma once

#include <windows.h>

#include "expand/file_expansion.h"

// The system's file search as a search source over the find handle `*find`
// (INVALID_HANDLE_VALUE while no search is open), which the caller keeps
// for as long as it uses the source. The directory walk and the target
// check search through it too.
SearchSource SystemSearchSource(HANDLE* find);

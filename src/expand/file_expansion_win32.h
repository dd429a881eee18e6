// File expansion over the system's file search (FindFirstFileA/FindNextFileA).
#pragma once

#include <windows.h>

struct SearchSource;

// The system's file search (FindFirstFileA/FindNextFileA) as a search source.
const SearchSource& SystemSearchSource();

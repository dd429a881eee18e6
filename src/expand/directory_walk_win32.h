// The program's directory walk (see expand/directory_walk.h for what it hands
// out and in which order) over the system's memory and directory search, its
// messages titled "タビクス：ディレクトリ展開" and owned by the main dialog.
#pragma once

#include <windows.h>

#include "expand/directory_walk.h"

// The system's memory, directory search (over the find handle `*find`,
// which the caller keeps while the walk runs: SystemSearchSource) and
// messages as a walk platform.
WalkPlatform SystemWalkPlatform(HANDLE* find);

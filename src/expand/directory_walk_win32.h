// The program's directory walk (see expand/directory_walk.h for what it hands
// out and in which order): the walk run over the system's memory and
// directory search, its messages titled "タビクス：ディレクトリ展開" and owned
// by the main dialog.
//
// Calling order: BeginDirectoryWalk once; when it returns 1, NextWalkDirectory
// until it returns 0; then DirectoryWalkAborted tells whether the walk ended
// early for lack of memory (its message has been shown then).
#pragma once

#include <windows.h>

#include <cstddef>

#include "expand/directory_walk.h"

// The system's memory, directory search and messages as a walk platform.
const WalkPlatform& SystemWalkPlatform();

// Sets up a walk for a current-directory text. Returns 1 when the text holds
// a live wildcard and at least one matching directory is waiting to be
// handed out; 0 otherwise (empty text, no wildcard, nothing matching, or the
// first scan failed).
int BeginDirectoryWalk(const char* currentDirectoryText);

// Copies the next directory's full path into `out` (`size` bytes, 260 holds
// every path) and returns 1; returns 0 when the walk is over or has been
// aborted, with every frame released.
int NextWalkDirectory(char* out, std::size_t size);

// Makes a frame listing the matching subdirectories of `directory` and pushes
// it above `parent`. Returns 1 when pushed; 0 when the directory has none,
// cannot be searched, or memory ran out (then the walk is aborted).
int ScanDirectory(WalkFrame* parent, const char* directory);

// Appends the full path of one search entry found in `directory` to the
// frame's list when it is a subdirectory other than "." and ".." whose path
// stays within 259 characters. Returns the appended path's length, 0 when the
// entry was left out, or -1 on a memory failure (reported; walk aborted).
int AddSubdirectory(WalkFrame* frame, const char* directory,
                    const WIN32_FIND_DATAA& entry);

// 1 when the current walk was ended by a memory failure.
int DirectoryWalkAborted();

// For inspection: the newest frame (null when no walk is under way) and the
// number of frame blocks held.
WalkFrame* DirectoryWalkTopFrame();
int DirectoryWalkBlocksHeld();

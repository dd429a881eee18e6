// Directory expansion: a current-directory text whose last component holds a
// live wildcard (such as C:\photos\*) names every directory below its base
// directory that matches the pattern, at every depth, reached through
// matching directories only. The walk hands them out one at a time, each
// after all of its own matching subdirectories; the base is never handed out.
//
// Calling order: BeginDirectoryWalk once; when it returns 1, NextWalkDirectory
// until it returns 0; then DirectoryWalkAborted tells whether the walk ended
// early for lack of memory (its message, titled "タビクス：ディレクトリ展開" and
// owned by the main dialog, has been shown then).
#pragma once

#include <windows.h>

#include <cstddef>

// One level of the walk. Each frame sits at the start of its own 64 KiB
// block of reserved address space; the list of the matching subdirectories'
// full paths follows the record, each path ended by a zero byte and the
// whole list by an empty text. Pages of the block are committed as the list
// grows.
struct WalkFrame {
  WalkFrame* parent;  // the level above, or null for the bottom frame
  char* block;        // start of the frame's own block
  char* cursor;       // where the next path is written, later handed out
};

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

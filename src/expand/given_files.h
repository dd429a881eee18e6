// The matches of files and folders given on the command line (chosen in
// Explorer) for the pattern of the row that expands: a file whose name the
// pattern matches, and for a folder the files in it that match, in the order
// given. They take the place of the file search's matches. No system calls.
#pragma once

#include <cstddef>

#include "expand/file_expansion.h"
#include "support/byte_buffer.h"

// The matches, and the names left out because the pattern does not match
// them (or folder and name together would exceed 259 characters).
struct GivenMatches {
  ByteBuffer paths;  // full paths, each ended by a zero byte, in order
  int count;
  int unmatched;
  char firstUnmatched[kRowTextSize];
};

// What the collection needs of the disk: whether a name is a folder, and
// the search that lists a folder's matches (a name the code page cannot
// hold goes by its short name, or is left out and counted as the file
// expansion counts it: UseFoundName).
struct GivenFilesPlatform {
  int (*isFolder)(const char* path);
  const SearchSource* search;
};

// Collects the matches of `count` names (`files`: each ended by a zero
// byte) for `mask`, the name part of the row's pattern ('*' and '?' as the
// system's search reads them, letters of either case; "*.*" also matches a
// name without a dot, "x*." only names without one). 0 when memory ran out.
int CollectGivenMatches(const char* files, int count, const char* mask, const GivenFilesPlatform& platform,
                        GivenMatches* out);

// Gives back the memory of the matches and empties them.
void FreeGivenMatches(GivenMatches* matches);

// The next match after `path` (the first: matches.paths.data), null at the end.
const char* NextGivenMatch(const GivenMatches& matches, const char* path);

// Whether the pattern `mask` matches `name` as the system's search does.
int GivenNameMatches(const char* mask, const char* name);

// The report on the names the pattern left out.
inline constexpr char kUnmatchedNamesFormat[] =
    "渡されたファイルのうち、パターン %s に合わないか、パスが長すぎる %d 個を除外しました\n"
    "最初の名前: %s";

// The matches of files and folders given on the command line (chosen in
// Explorer) for the pattern of the row that expands: a file whose name the
// pattern matches, and for a folder the files in it that match, in the order
// given. They take the place of the file search's matches. No system calls.
#pragma once

#include "expand/file_expansion.h"
#include "support/byte_buffer.h"

// Files and folders given: `count` full names, each ended by a zero byte.
struct GivenFiles {
  const char* names;
  int count;
};

// The matches: full paths, each ended by a zero byte, in order.
struct GivenMatches {
  ByteBuffer paths;
  int count;
};

// Collects the matches of `given` for `mask`, the name part of the row's
// pattern ('*' and '?' as the system's search reads them, letters of either
// case; "*.*" also matches a name without a dot, "x*." only names without
// one). A name is a folder when it ends with '\' or `search` finds a folder
// by it; a folder's matches come from `search`, in the order it gives them
// (a name the code page cannot hold goes by its short name or is left out,
// as UseFoundName does). A file the pattern does not match, or a path longer
// than 259 characters, is counted in `leftOut` as kNotMatched. 0 when memory
// ran out.
int CollectGivenMatches(const GivenFiles& given, const char* mask, const SearchSource& search,
                        LeftOutNames* leftOut, GivenMatches* out);

// Gives back the memory of the matches and empties them.
void FreeGivenMatches(GivenMatches* matches);

// The next match after `path` (the first: matches.paths.data), null at the end.
const char* NextGivenMatch(const GivenMatches& matches, const char* path);

// Whether the pattern `mask` matches `name` as the system's search does.
int GivenNameMatches(const char* mask, const char* name);

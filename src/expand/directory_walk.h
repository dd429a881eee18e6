// Fixed rules of the directory walk (directory expansion): how a translated
// current-directory text splits into base directory and name pattern, and how
// one more path fits into a level's list, whose block of address space is
// committed page by page as the list grows.
#pragma once

#include <cstddef>

// Caption of the walk's messages.
inline constexpr const char kDirectoryExpansionTitle[] = "タビクス：ディレクトリ展開";

constexpr std::size_t kWalkBlockSize = 65536;  // address space of one level
constexpr std::size_t kWalkPageSize = 4096;    // committed one page at a time
constexpr std::size_t kWalkMaxPath = 259;      // longer subdirectory paths are left out

// Splits a translated current-directory text into the base directory (drive
// and directory part, up to and including the last backslash) and the name
// pattern (name and extension part), each into a 260-byte buffer. Enclosing
// double quotes of the text do not take part. A text with a part too long to
// split whole (a directory part over 255 characters) gives both empty, so
// nothing is searched.
void SplitWalkText(const char* translated, char* baseDirectory, char* namePattern);

// 1 for the entry names "." and "..", which never enter the walk.
int IsDotEntry(const char* name);

// How one more path fits into a level's list.
enum ListFit {
  kListFits = 0,         // within the pages committed so far
  kListNeedsCommit = 1,  // after committing the range given back
  kListFull = -1,        // it would reach beyond the block
};

// The list's next path is written at `cursorOffset` (from the block start),
// followed by its terminator and the list's final empty text; the pages
// committed so far are those up to and including the one holding the byte at
// `cursorOffset`. Tells whether `pathLength` more characters fit and, for
// kListNeedsCommit, which byte range (`commitOffset`, `commitSize`, whole
// pages) to commit first.
int PlanListAppend(std::size_t cursorOffset, std::size_t pathLength, std::size_t* commitOffset,
                   std::size_t* commitSize);

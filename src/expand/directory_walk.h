// The directory walk of directory expansion: a current-directory text whose
// last component holds a live wildcard (such as C:\photos\*) names every
// directory below its base directory that matches the pattern, at every
// depth, reached through matching directories only. The walk hands them out
// one at a time, each after all of its own matching subdirectories, siblings
// in the order the search delivered them; the base is never handed out.
//
// Every decision of the walk lives here; the system's memory, directory
// search and message box come in through a WalkPlatform record.
#pragma once

#include <cstddef>

#include "expand/file_expansion.h"

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

// One level of the walk. Each frame sits at the start of its own block of
// kWalkBlockSize bytes of reserved address space; the list of the matching
// subdirectories' full paths follows the record, each path ended by a zero
// byte and the whole list by an empty text. Pages of the block are committed
// as the list grows.
struct WalkFrame {
  WalkFrame* parent;  // the level above, or null for the bottom frame
  char* block;        // start of the frame's own block
  char* cursor;       // where the next path is written, later handed out
};

// What the walk needs from the system: the program passes the system's
// calls, tests a fake tree and fake blocks. One search is open at a time: a
// directory's search is closed before the walk looks below it.
struct WalkPlatform {
  char* (*reserveBlock)();                        // kWalkBlockSize bytes of address space, or null
  int (*commitPages)(char* at, std::size_t size);  // 1 when committed for reading and writing
  void (*releaseBlock)(char* block);               // gives back a reserved block whole
  SearchSource search;                             // the directory search
  void (*reportError)(int code);  // shows kErrorNoMemory or kErrorMemoryUsedUp
};

// One walk: its frames, the spare block, and what it was started on. The
// caller owns it ({} is a walk not under way) and passes it, with the same
// platform, to every call of the walk. The names it leaves out are counted
// in `leftOut` (null: not counted).
struct DirectoryWalk {
  char baseDirectory[kRowTextSize];
  char namePattern[kRowTextSize];
  WalkFrame* top;    // the newest frame, null while no walk is under way
  int aborted;       // 1 when the walk was ended by a memory failure
  int blocksHeld;    // frame blocks held, the spare among them
  // The block of a directory that turned out to have no matching
  // subdirectory, kept for the next directory scanned: most directories are
  // such leaves, and each would otherwise reserve, commit and release a
  // block of its own. Its first page is committed.
  char* spareBlock;
  LeftOutNames* leftOut;
};

// Calling order: StartDirectoryWalk once; when it returns 1,
// TakeWalkDirectory until it returns 0; then `aborted` tells whether the
// walk ended early for lack of memory (its message has been shown then).

// Drops any walk left unfinished and sets up a new one for a
// current-directory text. Returns 1 when the text holds a live wildcard and
// at least one matching directory is waiting to be handed out; 0 otherwise
// (empty text, no wildcard, nothing matching, or the first scan failed).
int StartDirectoryWalk(DirectoryWalk* walk, const WalkPlatform& platform,
                       const char* currentDirectoryText);

// Copies the next directory's full path into `out` (`size` bytes, 260 holds
// every path) and returns 1; returns 0 when the walk is over or has been
// aborted, with every frame released.
int TakeWalkDirectory(DirectoryWalk* walk, const WalkPlatform& platform, char* out,
                      std::size_t size);

// Drops a walk that is left unfinished, releasing every frame it holds.
void EndDirectoryWalk(DirectoryWalk* walk, const WalkPlatform& platform);

// Makes a frame listing the matching subdirectories of `directory` and pushes
// it above `parent`. Returns 1 when pushed; 0 when the directory has none,
// cannot be searched, or memory ran out (then the walk is aborted).
int ScanWalkDirectory(DirectoryWalk* walk, const WalkPlatform& platform, WalkFrame* parent,
                      const char* directory);

// Appends the full path of one search entry found in `directory` to the
// frame's list when it is a subdirectory other than "." and ".." whose path
// stays within 259 characters and whose name does not start with a double
// quote (which joining would drop). A name holding '?' (a character the code page
// cannot hold) is replaced by `shortName`, or the entry is left out and
// counted (UseFoundName, expand/file_expansion.h). Returns the appended
// path's length, 0 when the entry was left out, or -1 on a memory failure
// (reported; walk aborted).
int AddWalkEntry(DirectoryWalk* walk, const WalkPlatform& platform, WalkFrame* frame,
                 const char* directory, const char* name, int isDirectory,
                 const char* shortName = "");

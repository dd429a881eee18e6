// How cmd finds the program a command names when its name has no
// extension ("mk", "tools\npm"): in the command's own folder first (only
// there when the name has a folder), then in each folder of PATH, and in
// each folder the name with every extension of PATHEXT in turn. When the
// first file found that way is a batch file, the command runs it as one in
// both modes; anything else starts as typed, through the system's own
// search. No system calls: the environment and the disk come in through
// ProgramSearch.
#pragma once

#include <cstddef>

// What the search needs from the system.
struct ProgramSearch {
  const char* path;     // PATH: folders separated by ';', each maybe quoted (null: none)
  const char* pathext;  // PATHEXT: extensions separated by ';' (null or "": cmd's own list)
  // 1 when a file (not a folder) of that full path exists.
  int (*isFile)(const char* path);
};

// cmd's extensions where PATHEXT is not set.
inline constexpr char kDefaultPathExtensions[] = ".COM;.EXE;.BAT;.CMD";

// Finds the batch file `program` (as typed, enclosing quotes removed) runs
// when started in `folder` (a full path; "" for none): 1 with its full path
// in `out` (`size` bytes), or 0 when the name has an extension or a drive
// without a folder, when nothing is found, or when the first file found is
// not a batch file.
int FindBatchProgram(const ProgramSearch& search, const char* program, const char* folder,
                     char* out, std::size_t size);

// The commands of a parameter set: one per match of the expanded file text,
// or the one command when no file text expands. The run list starts them and
// a batch file writes them, one block per folder; both take them from here,
// so the two modes build the same commands.
#pragma once

#include <cstddef>

#include "params/field_table.h"
#include "support/byte_buffer.h"

struct SearchSource;
struct TargetRecord;

// Where and how the commands are made.
struct CommandPlace {
  const SearchSource* search;  // the file search of the expansion
  int batch;                   // 1 for lines of a batch file, 0 for a direct run
  // The folder the commands run in: the typed current directory, or a folder
  // the directory walk handed out (then `walked` is 1 and relative file texts
  // are searched in it). Null or "" for none.
  const char* directory;
  int walked;
  // When not null, the input and the targets of every command are recorded
  // here for the target check (expand/target_check.h), with the listings
  // the file search makes.
  TargetRecord* targets = nullptr;
};

// The commands as data.
struct CommandList {
  char program[kRowTextSize];    // the program text, one enclosing pair of quotes removed
  char directory[kRowTextSize];  // the folder they run in, as given ("" for none)
  int form;                      // LineForm the argument texts are built in
  int expanded;                  // 1 when a file text expanded: one command per match
  char pattern[kRowTextSize];    // the pattern its search looked for ("" without)
  int count;                     // argument texts in the list
  // The argument texts one after another, each ended by a zero byte, the
  // list ended by an empty text. Only the one command of a list that did not
  // expand can be empty itself: walk the list by `count`.
  ByteBuffer arguments;
};

// Makes the commands of `set` at `place` into `list` (emptied first).
// Returns -1 when every command is there, otherwise the program error to
// show: kErrorLineTooLong when a command did not fit (the commands before it
// stay in the list), kErrorNoMemory when the list could not grow. The names
// the expansion left out are counted (LeftOutNameCount) as they are met; a
// set that does not expand has no command when its one command would hold a
// name left out. The folder is the command folder (SetCommandFolder) that
// typed relative names are looked for in.
int ComposeCommands(const ParameterSet& set, const CommandPlace& place, CommandList* list);

// Gives back the memory of the list.
void FreeCommandList(CommandList* list);

// The argument text after the one at `command` (at the list's end: the end).
const char* NextCommand(const char* command);

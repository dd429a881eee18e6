// The commands of a run as the run list takes them: the program, the folder
// they run in and one argument text per command. A plan (run/plan.h) makes
// them; the run list starts them.
#pragma once

#include <cstddef>

#include "params/field_table.h"
#include "support/byte_buffer.h"

struct TargetRecord;

// The commands as data.
struct CommandList {
  char program[kRowTextSize];    // the program as it starts, one enclosing pair of quotes removed
  char directory[kRowTextSize];  // the folder they run in ("" for none)
  int form;                      // LineForm the argument texts are built in
  int expanded;                  // 1 when a file text expanded: one command per match
  char pattern[kRowTextSize];    // the pattern its search looked for ("" without)
  int count;                     // argument texts in the list
  // The argument texts one after another, each ended by a zero byte, the
  // list ended by an empty text. Only the one command of a list that did not
  // expand can be empty itself: walk the list by `count`.
  ByteBuffer arguments;
};

// Gives back the memory of the list.
void FreeCommandList(CommandList* list);

// The argument text after the one at `command` (at the list's end: the end).
const char* NextCommand(const char* command);

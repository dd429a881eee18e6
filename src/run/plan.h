// The plan of a run: everything one press of Run, Confirm or Save makes of
// the parameter-set record, as a value. Its blocks (one per folder the
// directory walk hands out, or one for the typed current directory), and
// for each command its argument text and its line in the plan's mode; the
// program as it starts and the folder the commands run in; the names the
// expansion left out and the error that stopped it. The batch writer
// (run/batch_file.h) prints a batch plan; the run list and a direct run
// start the commands of a direct plan. Nothing of it is made twice.
//
// Every decision lives here; the system comes in through PlanPlatform.
#pragma once

#include <cstddef>

#include "expand/file_expansion.h"
#include "expand/given_files.h"
#include "params/field_table.h"
#include "run/command_list.h"
#include "support/byte_buffer.h"

struct ProgramSearch;
struct TargetRecord;
struct WalkPlatform;

// The two modes a plan is made for: lines a batch file holds, or command
// lines started directly.
enum PlanMode : int { kPlanDirect = 0, kPlanBatch = 1 };

// What a plan needs from the system.
struct PlanPlatform {
  const SearchSource* search;  // the file search of the expansion
  const WalkPlatform* walk;    // the directory walk (batch plans only)
  // The folder an empty current directory stands for in a direct plan: the
  // program's working folder when Run was pressed, or what the caller
  // starts from ("" keeps it empty). cmd cannot start in a UNC folder: a UNC
  // one is entered by a batch plan's block too, and a relative current
  // directory is joined to it in either mode.
  const char* planningFolder;
  // The command interpreter's full path, which starts a batch program in a
  // direct line.
  const char* shell;
  // PATH, PATHEXT and the disk, to find the batch file a program named
  // without an extension stands for (run/program_search.h). Null: every
  // program starts as typed.
  const ProgramSearch* programs;
  // When not null, the input and the targets of every command are recorded
  // here for the target check (expand/target_check.h).
  TargetRecord* targets;
  // Files and folders given on the command line, or null. When given, they
  // are the matches of the first file text with a wildcard, one command
  // each, in the order given (expand/given_files.h); the directory walk
  // does not take part. A command runs in its file's folder when the
  // current directory is empty (or holds a wildcard), in the current
  // directory otherwise, and "*/" stands for its file's folder. A direct
  // plan has one block per run of files in one folder, a batch plan one
  // block per folder, in the order first met.
  const GivenFiles* given = nullptr;
};

// One block of a plan: the commands that run in one folder.
struct PlanBlock {
  char folder[kRowTextSize];  // the folder as its line enters it ("": no folder line)
  FolderName name;            // what "*/" stands for in its commands
  int walked;                 // 1 for a folder of the directory walk
  int first;                  // its first command
  int count;                  // its commands
};

// A plan. `commands` holds the program as it starts, the folder of a direct
// plan's commands, the pattern searched and one argument text per command,
// in block order; `lines` one line per command, in the same order.
struct RunPlan {
  int mode;                             // PlanMode
  // The program as typed, or the batch file found for a name without an
  // extension: it decides the line forms.
  char programText[kRowTextSize];
  // The program as a batch line writes it: a '%' of the part of it on disk
  // written twice (as typed when that would not fit).
  char lineProgram[kRowTextSize];
  char currentDirectory[kRowTextSize];  // as typed (joined to a UNC planning folder): the drive line of a batch file
  ArgumentRows rows;
  int pauseAtEnd;
  CommandList commands;
  // The line of each command, one after another, each ended by a zero byte:
  // a batch line (ComposeBatchLine) or a command line (ComposeCommandLineIn;
  // "" when it does not fit, which its start then reports).
  ByteBuffer lines;
  ByteBuffer blocks;       // PlanBlock[]
  LeftOutNames leftOut;    // the names the expansion and the walk left out
  // -1 when every command is in the plan; else the program error that
  // stopped it: kErrorLineTooLong (a command did not fit; the commands
  // before it stay), kErrorNoMemory, or kErrorWildcardDirectory (a direct
  // plan of a current directory with a wildcard).
  int error;
  int walkAborted;  // 1 when the walk ran out of memory (it has said so)
  int programLeftOut;  // 1 when the program's name is left out: no commands
  int noExpandedRow;  // 1 when files were given but no file text holds a wildcard
};

// Makes the plan of `set` for `mode` into `plan` (emptied first). Returns
// plan->error.
int MakeRunPlan(const ParameterSet& set, int mode, const PlanPlatform& platform, RunPlan* plan);

// Gives back the memory of the plan.
void FreeRunPlan(RunPlan* plan);

// 1 when files given on the command line have a row to take them: the
// first file text that holds a wildcard, with or without a folder.
int TakesGivenFiles(const ParameterSet& set);

// The folder the command `command` of the plan runs in (its block's).
const char* CommandFolder(const RunPlan& plan, int command);

// The blocks of the plan.
int BlockCount(const RunPlan& plan);
const PlanBlock& BlockAt(const RunPlan& plan, int block);

// The text after `text` in a list of zero-ended texts (the argument texts,
// the lines), walked by count: an empty text is one too.
inline const char* NextText(const char* text) {
  while (*text != '\0') ++text;
  return text + 1;
}

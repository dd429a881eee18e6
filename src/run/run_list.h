// The direct run with its run list: the command list that RunDirect fills
// from the file expansion, the priority items the run list offers, and the
// steps its timer takes through the list. Every decision lives here; the
// system comes in through the records CommandSource and RunListPlatform.
#pragma once

#include <cstddef>

#include "run/batch_file.h"
#include "run/launch.h"
#include "support/messages.h"

// Caption of the direct run's messages; a command that cannot be built is
// reported under kCommandBuildTitle, as batch mode reports it.
inline constexpr char kRunTitle[] = "タビクス：実行";

// First item of the priority combo box: no priority class.
inline constexpr char kNoPriorityItem[] = "(ﾌﾟﾛｾｽ優先度)";

// The size the stored priority label (kProcessPriorityKey in
// settings/settings.h) is read with: at most 15 characters.
inline constexpr std::size_t kPrioritySettingSize = 16;

// The command list: argument texts one after another, each ended by a zero
// byte, the whole list ended by an empty text.
inline constexpr std::size_t kCommandListSize = 32768;

// Where the commands come from: `next` writes the next argument text into
// `out` and returns 1, or returns 0 when there is none or it could not be
// built; `ended` then tells which (1: no further command).
struct CommandSource {
  int (*next)(void* context, char* out, std::size_t capacity);
  int (*ended)();
  void* context;
};

// Fills `block` (`size` bytes) with every command of `source` and ends the
// list. Returns -1 when the whole list fitted, otherwise the program error
// to show: kErrorMemoryUsedUp when the commands do not fit in the block,
// kErrorLineTooLong when a command could not be built.
int FillCommandList(char* block, std::size_t size, const CommandSource& source);

// Caption of a program error shown by the direct run.
const char* RunErrorTitle(int code);

// The command after the one at `command` (at the list's end: the end).
const char* NextCommand(const char* command);

// The items of the priority combo box: kNoPriorityItem first, then the
// labels of the priority table, without the rows that need the newer system
// on an older one. `selected` is the item whose label equals `stored`
// (kNoPriorityItem, item 0, when none does).
struct PriorityItems {
  const char* text[kPriorityTable.size() + 1];
  int count;
  int selected;
};
void ListPriorityItems(const char* stored, int newerSystem, PriorityItems* items);

// The three phases of a run list and the buttons each enables.
enum RunListPhase { kPhaseReady = 0, kPhaseRunning = 1, kPhaseFinished = 2 };
struct RunButtons {
  int start, exit, skip, cancel;
};
inline constexpr RunButtons kRunButtons[3] = {
    {1, 0, 0, 1},  // ready: Start and Cancel
    {0, 0, 1, 1},  // running: Skip and Cancel
    {0, 1, 0, 0},  // finished: Exit
};

// What happens to the child of the current command.
enum RunChildState {
  kChildNone = 0,  // none runs: the next tick launches the next command
  kChildRunning,   // `child` runs and is watched
  kChildBusy,      // a launch is under way, or the list is used up
};

// The run list's progress through the command list.
struct RunListState {
  const char* cursor;  // the next command to launch
  int index;           // its position in the list
  int childState;      // RunChildState
  void* child;         // the running child while kChildRunning
  int started;         // 1 once Start was chosen
  int open;            // 1 while the dialog exists
  char priorityLabel[kPrioritySettingSize];  // value for the settings, once set
  int prioritySet;     // 1 once a launch chose a priority
};

// What the ticks need from the dialog and the system.
struct RunListPlatform {
  int (*exitCode)(void* child, unsigned long* code);  // 0 when the system cannot tell
  void (*releaseChild)(void* child);   // closes the handle; the child runs on
  void (*readPriority)(char* text, std::size_t size);  // text of the chosen item
  void (*markItem)(int index);         // adds the item to the selection
  void* (*launch)(const char* arguments, int priorityIndex);  // null after its own message
  void (*finish)();  // the list is used up: timer off, buttons of kPhaseFinished
  void (*abort)();   // a launch failed: timer off, error 5, close the dialog
};

// A new run list over `list`, its dialog open.
void BeginRunList(RunListState* state, const char* list);

// Start: 1 when the timer is to be armed (only the first time).
int StartRunList(RunListState* state);

// One timer tick: watches the running child, launches the next command
// with the chosen priority, or finishes the list.
void RunListTick(RunListState* state, const RunListPlatform& platform);

// Skip: lets the running child go on unwatched; the next tick launches the
// next command.
void SkipRunningChild(RunListState* state, const RunListPlatform& platform);

// The dialog is gone: a watched child is let go; the list launches no more.
void EndRunList(RunListState* state, const RunListPlatform& platform);

// The run list's scheduler: the commands of a list, started up to N at a
// time (each as soon as a slot frees), stopped, skipped and run again, and
// what became of each start. Every decision lives here; the system comes in
// through the record RunListPlatform, the user's choices through
// RunListState::chosen. What an entry says (rows, status line, log lines,
// output window title) is run/entry_text.h; the choices and their settings
// run/run_list_settings.h; the window run/run_list_win32.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "run/kept_output.h"
#include "run/run_list_settings.h"
#include "support/byte_buffer.h"

// One command of a list, as the run is planned.
struct ListedCommand {
  const char* program;    // the program as it starts (one pair of enclosing quotes removed)
  const char* arguments;  // its argument text
  const char* folder;     // the folder it runs in (null or "" for the program's own)
  const char* line;       // its command line, as it starts and as the log shows it; null: as the launch composes it
  int marks;              // its TargetMark bits (expand/target_check.h), 0 for none
};

// The three phases of a run list.
enum RunListPhase { kPhaseReady = 0, kPhaseRunning = 1, kPhaseFinished = 2 };

// The buttons a run list enables.
struct RunButtons {
  int start, exit, skip, cancel, log, rerun, stop;
};

// What became of one started command.
enum RunEntryState {
  kEntryRunning = 0,      // its child runs and is watched
  kEntryEnded = 1,        // it ended with `exitCode`
  kEntryStartFailed = 2,  // it could not be started
  kEntryStopped = 3,      // 停止 ended it
};

// A wall-clock time of day, as the log shows a start.
struct RunClockTime {
  int year, month, day, hour, minute, second;
};

// A command with its output taken in that has written nothing and used no
// processor time for this long may be waiting for input.
inline constexpr std::uint64_t kQuietMs = 60000;

// One row of the list as shown: its command and the entry of its latest
// start (-1 while it has not been started).
struct RunRow {
  int command;  // index into the list's commands
  int entry;
  int number;   // its number in the first list, from 1, kept when run again
};

// One started command: a line of the job log, in start order.
struct RunEntry {
  int number;           // its row's number
  int row;              // its row now, or -1 once the list was remade
  int command;          // index into the list's commands
  int state;            // RunEntryState
  int holdsSlot;        // 1 while it counts against the parallel limit
  int stopRequested;    // 1 once 停止 was asked of it
  unsigned long exitCode;
  std::uint64_t startMs, endMs;  // on the platform's clock
  RunClockTime started;
  void* child;          // while kEntryRunning
  std::uint64_t cpuMs;  // processor time of its job when last looked at
  std::uint64_t quietSinceMs;  // when that time last changed
  int mayWait;          // 1 while it may be waiting for input
};

// A run list: its rows, the commands started so far and those still running.
struct RunListState {
  const ListedCommand* commands;  // owned by whoever opened the list
  int commandCount;
  const char* pattern;   // the pattern the files were searched with
  ByteBuffer rows;       // RunRow[]
  ByteBuffer entries;    // RunEntry[]
  ByteBuffer running;    // int[]: entries whose child still runs
  ByteBuffer changed;    // int[]: rows to show afresh at the end of a step
  int phase;             // RunListPhase
  int halted;            // nothing more starts (a failure with 失敗で中止, a failed start)
  int next;              // the next row to start
  int slotsInUse;        // running entries that hold a slot
  int ended, failed;     // rows shown that have ended, and those that failed
  int busy;              // a step is under way (a launch may show a message)
  int open;              // 1 while the dialog exists
  std::uint64_t passStartMs, passEndMs;  // Start and the finish of this list
  RunListChoices chosen; // as the window shows them now
  RunListChoices used;   // at the last start
  int launched;          // 1 once a command was started
  OutputStore outputs;   // output i belongs to entry i
  int askBeforeStart;    // 1 when rows carried target marks as the list was made (not after RerunFailed)
};

// What the run list needs from the window and the system. `window` is handed
// to the calls that act on the window.
struct RunListPlatform {
  void* window;
  // 1 with its exit code when the child has ended (its handle waited on with
  // no time-out), 0 while it runs.
  int (*childEnded)(void* child, unsigned long* exitCode);
  void (*releaseChild)(void* child);  // closes the handle; the child runs on
  // Starts the command; null after its own message. With `output` 0 or
  // more, its output goes into that output of the store.
  void* (*launch)(void* window, const ListedCommand& command, int priorityIndex, int output);
  // Ends the child and everything it started: 1; 0 when only its own
  // process could be ended.
  int (*stopChild)(void* child);
  void (*setChildPriority)(void* child, int priorityIndex);
  std::uint64_t (*childCpuMs)(void* child);  // processor time of all its processes
  std::uint64_t (*nowMs)();            // a steady clock in milliseconds
  void (*localTime)(RunClockTime* out);
  void (*rowChanged)(void* window, int row);  // its text or mark changed
  // A start failed: nothing more starts; shows kErrorRunStopped.
  void (*reportStopped)(void* window);
};

// A new run list over `count` commands, made from the files `pattern`
// matched, its dialog open, in the Ready phase; `lock` guards its outputs
// (kept_output.h). 0 when there is no memory for its rows.
int BeginRunList(RunListState* state, const ListedCommand* commands, int count,
                 const char* pattern, void (*lock)(int enter));

// Releases the memory of the rows, entries and outputs (after EndRunList,
// once nothing adds to the outputs).
void FreeRunList(RunListState* state);

int RowCount(const RunListState& state);
int EntryCount(const RunListState& state);
int RunningCount(const RunListState& state);
const RunRow& RowAt(const RunListState& state, int row);
const RunEntry& EntryAt(const RunListState& state, int entry);
const ListedCommand& CommandOfEntry(const RunListState& state, const RunEntry& entry);

// Start: from Ready to Running, then the first step. 1 when it started.
int StartRunList(RunListState* state, const RunListPlatform& platform);

// One step: records the children that have ended, then starts waiting
// commands while slots are free, in list order. A failure (a code other
// than 0, or stopped) with 失敗で中止 on, and a command that cannot start,
// halt the list: nothing more starts. The list finishes once no command of
// it runs and every command was started or it halted. Marks the running
// commands that may be waiting for input. The rows that changed are shown
// last, so that the next command starts first. Does nothing while another
// step is under way (a launch showing its message).
void RunListStep(RunListState* state, const RunListPlatform& platform);

// Skip: the oldest running command gives up its slot (it runs on and its end
// is still recorded), so the next waiting command starts now.
void SkipRunningChild(RunListState* state, const RunListPlatform& platform);

// 停止: ends the running command of `caretRow`, or, when that row does not
// run, the oldest running command, with everything it started. It then ends
// as stopped, a failure. 1 when a command was asked to stop.
int StopRunningCommand(RunListState* state, const RunListPlatform& platform, int caretRow);

// The priority chosen now applies to the running commands too.
void ApplyPriorityToRunning(RunListState* state, const RunListPlatform& platform);

// Failed ones again: a finished list with a command that did not end with 0
// (failed, stopped, or never started) becomes just those commands, in list
// order, with their numbers, in the Ready phase; its Start asks nothing. 1
// when it did.
int RerunFailed(RunListState* state);

// The dialog is gone: the children still watched are let go (they run on);
// nothing more starts.
void EndRunList(RunListState* state, const RunListPlatform& platform);

// The buttons the list enables now.
RunButtons RunListButtons(const RunListState& state);

// 1 while the display timer is wanted: the list runs, or a child is watched.
int RunListNeedsTimer(const RunListState& state);

// Up to `max` children being watched, those holding a slot first; their
// number.
int WatchedChildren(const RunListState& state, void** out, int max);

// 1 when the row has been started (its item is marked).
int RowMarked(const RunListState& state, int row);

// How a row is drawn besides its text and mark: failed (a code other than 0,
// 起動失敗, 停止) in red, running in bold, a command carrying a target mark
// highlighted (yellow) until it is started.
struct RunRowLook {
  int failed;
  int running;
  int marked;
};
RunRowLook RowLookOf(const RunListState& state, int row);

// The entry shown in a row (its latest start), or -1.
int RowEntry(const RunListState& state, int row);

// 1 when the row's command carries a target mark.
int RowHighlighted(const RunListState& state, int row);

// 1 when Start is to ask first (AskAboutTargets): before the first Start
// of a list whose commands carry target marks.
int RunListAsksBeforeStart(const RunListState& state);

// An exit code as cmd's errorlevel shows it: signed.
long SignedExitCode(unsigned long code);

// 1 when the entry failed: ended with a code other than 0, could not start,
// or was stopped.
int EntryFailed(const RunEntry& entry);

// The rows whose command did not end with 0: failed, stopped, never started
// or still running.
int UnsuccessfulRows(const RunListState& state);

// The run list's scheduler: the priority and parallel items it offers, the
// scheduling of its commands (up to N at a time, each started as soon as a
// slot frees), and the texts of its rows and status line. Every decision
// lives here; the system comes in through the record RunListPlatform. The
// commands come from run/command_list.h, the job log is run/job_log.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "expand/target_check.h"
#include "run/batch_file.h"
#include "run/command_list.h"
#include "run/kept_output.h"
#include "run/launch.h"
#include "support/byte_buffer.h"
#include "support/messages.h"

// Caption of the direct run's messages; a command that cannot be built is
// reported under kCommandBuildTitle, as batch mode reports it.
inline constexpr char kRunTitle[] = "タビクス：実行";

// First item of the priority combo box: no priority class.
inline constexpr char kNoPriorityItem[] = "(ﾌﾟﾛｾｽ優先度)";

// The size the stored priority label (kProcessPriorityKey in
// settings/settings.h) is read with: at most 15 characters.
inline constexpr std::size_t kPrioritySettingSize = 16;

// How many commands may run at once: the items "1" to "8" of the parallel
// combo box, stored as that text (kParallelKey in settings/settings.h).
inline constexpr int kMaxParallel = 8;
inline constexpr std::size_t kParallelSettingSize = 4;

// The items of the output combo box, stored as their text (kOutputKey in
// settings/settings.h): each command in a console window of its own, or its
// output taken in.
inline constexpr const char* kOutputItems[] = {"コンソール", "取り込む"};
enum OutputMode { kOutputConsole = 0, kOutputTaken = 1 };
inline constexpr std::size_t kOutputSettingSize = 16;

// What a row or log line says of a command that could not be started, and of
// one that was stopped.
inline constexpr char kStartFailedText[] = "起動失敗";
inline constexpr char kStoppedText[] = "停止";

// The creation flags of a listed command: run/launch_flags.h.

// Where the output window opens: its top-left corner beside the run list's
// right edge when it fits there within the work area, else a little right
// of and below the list's own corner. Rectangles are left, top, right,
// bottom.
struct ScreenRect {
  int left, top, right, bottom;
};
void PlaceOutputWindow(const ScreenRect& list, int width, const ScreenRect& workArea, int* x, int* y);

// Caption of the output window: the row's number, from 1.
inline constexpr char kOutputTitleFormat[] = "出力 - %d";

// The status line of a list that nothing matched, with the pattern searched.
inline constexpr char kNoMatchFormat[] = "一致するファイルがありません: %s";

// Room for one row of the list: an exit code, a duration and an argument
// text of at most 511 characters, with the tabs between them.
inline constexpr std::size_t kRowTextCapacity = 640;
// Room for the status line (with a pattern of at most 259 characters).
inline constexpr std::size_t kStatusTextCapacity = 360;
// The status line at Ready while commands carry target marks: the commands,
// then how many carry each mark (expand/target_check.h).
inline constexpr char kMarkedStatusFormat[] = "%d 件　上書き %d　重複 %d　入力と同じ %d";

// Caption of a program error shown by the direct run.
const char* RunErrorTitle(int code);

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

// The item of the parallel combo box (0 for "1") that a stored text
// chooses: "1" to "8" exactly; anything else chooses "1".
int ParallelItemForSetting(const char* stored);

// The item of the output combo box that a stored text chooses: the item of
// that text exactly; anything else chooses kOutputConsole.
int OutputItemForSetting(const char* stored);

// 失敗で中止 as a stored text chooses it: on for "1" only.
int HaltForSetting(const char* stored);

// 1 when a choice is to be written over the `stored` text: a file that never
// held the key keeps lacking it while the default stays chosen.
int SettingNeedsStoring(const char* stored, int chosenIsDefault);

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

// One row of the list as shown: an argument text of the command list and
// the entry of its latest start (-1 while it has not been started).
struct RunRow {
  std::size_t text;  // offset into the command list
  int entry;
  int targetMarks;   // TargetMark bits of its command (0: none)
};

// One started command: a line of the job log, in start order.
struct RunEntry {
  int position;         // its row, counted from 1, when it started
  int row;              // its row now, or -1 once the list was remade
  std::size_t text;     // offset of its argument text in the command list
  int state;            // RunEntryState
  int holdsSlot;        // 1 while it counts against the parallel limit
  int stopRequested;    // 1 once 停止 was asked of it
  unsigned long exitCode;
  std::uint64_t startMs, endMs;  // on the platform's clock
  RunClockTime started;
  void* child;          // while kEntryRunning
};

// A run list: its rows, the commands started so far and those still running.
struct RunListState {
  const char* commands;  // the command list (owned by RunDirect)
  const char* program;   // program text of every launch
  const char* directory; // the folder every command starts in (null or "" for none)
  const char* pattern;   // the pattern the files were searched with
  ByteBuffer rows;       // RunRow[]
  ByteBuffer entries;    // RunEntry[]
  ByteBuffer running;    // int[]: entries whose child still runs
  ByteBuffer changed;    // int[]: rows to show afresh at the end of a step
  int phase;             // RunListPhase
  int next;              // the next row to start
  int slotsInUse;        // running entries that hold a slot
  int ended, failed;     // rows shown that have ended, and those that failed
  int busy;              // a step is under way (a launch may show a message)
  int open;              // 1 while the dialog exists
  std::uint64_t passStartMs, passEndMs;  // Start and the finish of this list
  char priorityLabel[kPrioritySettingSize];  // value for the settings, once set
  int prioritySet;       // 1 once a launch chose a priority
  int parallel;          // the parallel limit at the last launch (1-8)
  int outputMode;        // OutputMode at the last launch
  int halt;              // 失敗で中止 as last read
  OutputStore outputs;   // output i belongs to entry i
  int askBeforeStart;    // 1 when rows carried target marks as the list was made (not after RerunFailed)
};

// What the run list needs from the dialog and the system.
struct RunListPlatform {
  // 1 with its exit code when the child has ended (its handle waited on with
  // no time-out), 0 while it runs.
  int (*childEnded)(void* child, unsigned long* exitCode);
  void (*releaseChild)(void* child);  // closes the handle; the child runs on
  void (*readPriority)(char* text, std::size_t size);  // text of the chosen item
  int (*readParallel)();               // the chosen limit, 1-8
  // Starts `arguments` with the program; null after its own message.
  int (*readOutputMode)();             // OutputMode chosen
  int (*readHalt)();                   // 1 while 失敗で中止 is on
  // Starts `arguments` with the program; null after its own message. With
  // `output` 0 or more, its output goes into that output of the store.
  void* (*launch)(const char* program, const char* arguments, int priorityIndex, int output);
  // Ends the child and everything it started: 1; 0 when only its own
  // process could be ended.
  int (*stopChild)(void* child);
  void (*setChildPriority)(void* child, int priorityIndex);
  std::uint64_t (*nowMs)();            // a steady clock in milliseconds
  void (*localTime)(RunClockTime* out);
  void (*rowChanged)(int row);         // its text or mark changed
  // A start failed: the list is finished already; shows program error 5.
  void (*reportStopped)();
};

// A new run list over the command list `commands`, launched with `program`,
// made from the files `pattern` matched, its dialog open, in the Ready phase;
// `lock` guards its outputs (kept_output.h); each row carries the marks
// `targets` gives its command (null: none). 0 when there is no memory for
// its rows.
int BeginRunList(RunListState* state, const char* commands, const char* program,
                 const char* pattern, void (*lock)(int enter),
                 const TargetRecord* targets = nullptr);

// Releases the memory of the rows, entries and outputs (after EndRunList,
// once nothing adds to the outputs).
void FreeRunList(RunListState* state);

int RowCount(const RunListState& state);
int EntryCount(const RunListState& state);
const RunRow& RowAt(const RunListState& state, int row);
const RunEntry& EntryAt(const RunListState& state, int entry);

// Start: from Ready to Running, then the first step. 1 when it started.
int StartRunList(RunListState* state, const RunListPlatform& platform);

// One step: records the children that have ended, then starts waiting
// commands while slots are free, in list order; finishes the list when every
// command has been started and none holds a slot, and also, with 失敗で中止
// on, when a command failed (ended with a code other than 0 or was stopped):
// the running ones then run to their end, nothing more starts. A command that
// cannot start always finishes the list. The rows that changed are shown
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

// The priority class a running command is given for a row of the priority
// table, or for -1 (no class chosen) the class a new child would get of a
// parent in `ownClass`: its own when idle or below normal, else normal.
unsigned long PriorityClassForRunning(int priorityIndex, unsigned long ownClass);

// Failed ones again: a finished list with a command that did not end with 0
// (failed, stopped, or never started) becomes just those commands (their own
// texts and marks), in list order, in the Ready phase; its Start asks
// nothing. 1 when it did.
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

// Text of a row: the argument text while it has not ended; then
// "<exit code>\t<seconds, one decimal>秒\t<arguments>", the exit code
// "停止" when it was stopped; or "起動失敗\t\t<arguments>" when it could not
// be started.
void FormatRowText(const RunListState& state, int row, char* out, std::size_t size);

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

// "<ended>/<total> 件終了　失敗 <n>　経過 <m:ss>" of the rows shown; the time
// runs from Start to `nowMs`, or to the finish. A list without rows says
// kNoMatchFormat with its pattern; while Start is to ask first,
// kMarkedStatusFormat instead.
void FormatStatusText(const RunListState& state, std::uint64_t nowMs, char* out, std::size_t size);

// An exit code as cmd's errorlevel shows it: signed.
long SignedExitCode(unsigned long code);

// 1 when the entry failed: ended with a code other than 0, could not start,
// or was stopped.
int EntryFailed(const RunEntry& entry);

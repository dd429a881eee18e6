#include "run/run_list.h"

#include <cstring>

namespace {

// The records of a run list live in byte buffers, looked up by index and
// counted as int.
template <typename T>
int Count(const ByteBuffer& buffer) {
  return static_cast<int>(RecordCount<T>(buffer));
}

RunRow* Rows(RunListState* state) { return Records<RunRow>(state->rows); }
RunEntry* Entries(RunListState* state) { return Records<RunEntry>(state->entries); }
int* Running(RunListState* state) { return Records<int>(state->running); }

// The parallel limit chosen now, within 1 to kMaxParallel.
int ChosenParallel(const RunListState& state) {
  const int chosen = state.chosen.parallel;
  return chosen < 1 ? 1 : chosen > kMaxParallel ? kMaxParallel : chosen;
}

// An entry has ended or could not start: the counts of the rows shown, and
// 1 when it is a failure that halts the list.
int CountOutcome(RunListState* state, const RunEntry& entry) {
  EndOutput(&state->outputs, static_cast<int>(&entry - Entries(state)),
            EntryFailed(entry) ? kOutputEndedOtherwise : kOutputEndedZero);
  if (entry.row < 0) return 0;
  ++state->ended;
  state->failed += EntryFailed(entry);
  return EntryFailed(entry);
}

// A row to show afresh once the step has started what it can.
void RowChanged(RunListState* state, int row, const RunListPlatform& platform) {
  if (!AppendBytes(&state->changed, &row, sizeof row)) platform.rowChanged(platform.window, row);
}

void ShowChangedRows(RunListState* state, const RunListPlatform& platform) {
  for (int i = 0; i < Count<int>(state->changed); ++i) {
    platform.rowChanged(platform.window, Records<int>(state->changed)[i]);
  }
  state->changed.size = 0;
}

void StopWatching(RunListState* state, int at) {
  int* running = Running(state);
  const int last = RunningCount(*state) - 1;
  running[at] = running[last];
  state->running.size -= sizeof(int);
}

void Finish(RunListState* state, const RunListPlatform& platform) {
  state->phase = kPhaseFinished;
  state->passEndMs = platform.nowMs();
}

// A running command with its output taken in that has written nothing and
// whose processes have used no processor time for kQuietMs may be waiting
// for input; anything it does clears that.
void WatchQuiet(RunListState* state, RunEntry* entry, int index, const RunListPlatform& platform) {
  const std::uint64_t now = platform.nowMs();
  int mayWait = 0;
  if (OutputTaken(state->outputs, index) && OutputWritten(state->outputs, index) == 0) {
    const std::uint64_t cpu = platform.childCpuMs(entry->child);
    if (cpu != entry->cpuMs) {
      entry->cpuMs = cpu;
      entry->quietSinceMs = now;
    }
    mayWait = now - entry->quietSinceMs >= kQuietMs;
  }
  if (mayWait != entry->mayWait && entry->row >= 0) RowChanged(state, entry->row, platform);
  entry->mayWait = mayWait;
}

// Records every watched child that has ended; with 失敗で中止 on, a failure
// among them halts the list.
void CollectEnded(RunListState* state, const RunListPlatform& platform) {
  int failures = 0;
  for (int i = RunningCount(*state) - 1; i >= 0; --i) {
    RunEntry& entry = Entries(state)[Running(state)[i]];
    unsigned long code = 0;
    if (!platform.childEnded(entry.child, &code)) {
      WatchQuiet(state, &entry, Running(state)[i], platform);
      continue;
    }
    entry.mayWait = 0;
    entry.endMs = platform.nowMs();
    entry.exitCode = code;
    entry.state = entry.stopRequested ? kEntryStopped : kEntryEnded;
    platform.releaseChild(entry.child);
    entry.child = nullptr;
    state->slotsInUse -= entry.holdsSlot;
    entry.holdsSlot = 0;
    StopWatching(state, i);
    failures += CountOutcome(state, entry);
    if (entry.row >= 0) RowChanged(state, entry.row, platform);
  }
  if (failures > 0 && state->chosen.halt && state->phase == kPhaseRunning) state->halted = 1;
}

// Starts the next row: 1 when it runs, 0 when it could not start (or there
// was no memory to keep track of it: the row then stays as it was) or the
// dialog closed meanwhile.
int StartNextRow(RunListState* state, const RunListPlatform& platform) {
  const int row = state->next;
  // Room for the entry, its place among the running and its output comes
  // first, so that nothing can fail once a child was started.
  if (ExtendBuffer(&state->entries, sizeof(RunEntry)) == nullptr) return 0;
  const int index = EntryCount(*state) - 1;
  const int taken = state->chosen.output == kOutputTaken;
  if (ExtendBuffer(&state->running, sizeof(int)) == nullptr ||
      AddOutput(&state->outputs, taken) != index) {
    state->entries.size -= sizeof(RunEntry);
    return 0;
  }
  state->running.size -= sizeof(int);
  RunEntry entry{};
  entry.number = Rows(state)[row].number;
  entry.row = row;
  entry.command = Rows(state)[row].command;
  entry.state = kEntryRunning;
  entry.startMs = entry.quietSinceMs = platform.nowMs();
  platform.localTime(&entry.started);
  Entries(state)[index] = entry;
  state->used = state->chosen;
  state->used.parallel = ChosenParallel(*state);
  state->launched = 1;
  void* child = platform.launch(platform.window, state->commands[entry.command], state->chosen.priority,
                                taken ? index : -1);
  if (!state->open) {
    // The dialog was closed while the launch showed its message.
    if (child != nullptr) platform.releaseChild(child);
    state->entries.size -= sizeof(RunEntry);
    return 0;
  }
  RunEntry& started = Entries(state)[index];
  ++state->next;
  Rows(state)[row].entry = index;
  if (child != nullptr) {
    started.child = child;
    started.holdsSlot = 1;
    ++state->slotsInUse;
    *reinterpret_cast<int*>(ExtendBuffer(&state->running, sizeof(int))) = index;
  } else {
    started.state = kEntryStartFailed;
    started.endMs = started.startMs;
    CountOutcome(state, started);
  }
  RowChanged(state, row, platform);
  return child != nullptr;
}

}  // namespace

int BeginRunList(RunListState* state, const ListedCommand* commands, int count,
                 const char* pattern, void (*lock)(int enter)) {
  *state = RunListState{};
  state->commands = commands;
  state->commandCount = count;
  state->pattern = pattern;
  BeginOutputs(&state->outputs, kKeptOutputBytes, kAllOutputBytes, lock);
  state->open = 1;
  state->chosen = RunListChoices{-1, 1, kOutputConsole, 0};
  for (int i = 0; i < count; ++i) {
    state->askBeforeStart |= commands[i].marks != 0;
    const RunRow row = {i, -1, i + 1};
    if (!AppendBytes(&state->rows, &row, sizeof row)) {
      FreeRunList(state);
      return 0;
    }
  }
  return 1;
}

void FreeRunList(RunListState* state) {
  FreeByteBuffer(&state->changed);
  FreeByteBuffer(&state->rows);
  FreeByteBuffer(&state->entries);
  FreeByteBuffer(&state->running);
  FreeOutputs(&state->outputs);
}

int RowCount(const RunListState& state) { return Count<RunRow>(state.rows); }
int EntryCount(const RunListState& state) { return Count<RunEntry>(state.entries); }
const RunRow& RowAt(const RunListState& state, int row) { return Records<RunRow>(state.rows)[row]; }
const RunEntry& EntryAt(const RunListState& state, int entry) {
  return Records<RunEntry>(state.entries)[entry];
}
int RunningCount(const RunListState& state) { return Count<int>(state.running); }
const ListedCommand& CommandOfEntry(const RunListState& state, const RunEntry& entry) {
  return state.commands[entry.command];
}

int StartRunList(RunListState* state, const RunListPlatform& platform) {
  if (!state->open || state->phase != kPhaseReady) return 0;
  state->phase = kPhaseRunning;
  state->passStartMs = platform.nowMs();
  RunListStep(state, platform);
  return 1;
}

void RunListStep(RunListState* state, const RunListPlatform& platform) {
  if (!state->open || state->busy) return;
  state->busy = 1;
  CollectEnded(state, platform);
  while (state->phase == kPhaseRunning && !state->halted && state->next < RowCount(*state) &&
         state->slotsInUse < ChosenParallel(*state)) {
    if (!StartNextRow(state, platform)) {
      if (!state->open) return;
      // A failed start halts the list; it stays open with its results.
      state->halted = 1;
      ShowChangedRows(state, platform);
      platform.reportStopped(platform.window);
      break;
    }
  }
  if (state->phase == kPhaseRunning && (state->halted || state->next >= RowCount(*state)) &&
      RunningCount(*state) == 0) {
    Finish(state, platform);
  }
  ShowChangedRows(state, platform);
  state->busy = 0;
}

void SkipRunningChild(RunListState* state, const RunListPlatform& platform) {
  if (!RunListButtons(*state).skip || state->busy) return;
  int oldest = -1;
  for (int i = 0; i < RunningCount(*state); ++i) {
    const int at = Running(state)[i];
    if (Entries(state)[at].holdsSlot && (oldest < 0 || at < oldest)) oldest = at;
  }
  if (oldest < 0) return;
  Entries(state)[oldest].holdsSlot = 0;
  --state->slotsInUse;
  RunListStep(state, platform);
}

int StopRunningCommand(RunListState* state, const RunListPlatform& platform, int caretRow) {
  int chosen = RowEntry(*state, caretRow);
  if (chosen < 0 || Entries(state)[chosen].state != kEntryRunning) {
    chosen = -1;
    for (int i = 0; i < RunningCount(*state); ++i) {
      const int at = Running(state)[i];
      if (chosen < 0 || at < chosen) chosen = at;
    }
  }
  if (chosen < 0) return 0;
  RunEntry& entry = Entries(state)[chosen];
  entry.stopRequested = 1;
  if (!platform.stopChild(entry.child)) NoteOutput(&state->outputs, chosen, kNoteStoppedAlone);
  return 1;
}

void ApplyPriorityToRunning(RunListState* state, const RunListPlatform& platform) {
  for (int i = 0; i < RunningCount(*state); ++i) {
    platform.setChildPriority(Entries(state)[Running(state)[i]].child, state->chosen.priority);
  }
}

int RerunFailed(RunListState* state) {
  if (!RunListButtons(*state).rerun) return 0;
  ByteBuffer rows;
  const int count = RowCount(*state);
  for (int i = 0; i < count; ++i) {
    const RunRow& row = Rows(state)[i];
    if (row.entry >= 0 && !EntryFailed(Entries(state)[row.entry])) continue;
    const RunRow again = {row.command, -1, row.number};
    if (!AppendBytes(&rows, &again, sizeof again)) {
      FreeByteBuffer(&rows);
      return 0;
    }
  }
  for (int i = 0; i < EntryCount(*state); ++i) Entries(state)[i].row = -1;
  FreeByteBuffer(&state->rows);
  state->rows = rows;
  state->phase = kPhaseReady;
  state->halted = 0;
  state->askBeforeStart = 0;
  state->next = 0;
  state->ended = state->failed = 0;
  state->passStartMs = state->passEndMs = 0;
  return 1;
}

void EndRunList(RunListState* state, const RunListPlatform& platform) {
  for (int i = 0; i < RunningCount(*state); ++i) {
    RunEntry& entry = Entries(state)[Running(state)[i]];
    platform.releaseChild(entry.child);
    entry.child = nullptr;
    entry.holdsSlot = 0;
  }
  state->running.size = 0;
  state->slotsInUse = 0;
  state->open = 0;
}

RunButtons RunListButtons(const RunListState& state) {
  const int phase = state.phase;
  return RunButtons{phase == kPhaseReady,
                    phase == kPhaseFinished,
                    phase == kPhaseRunning && !state.halted && state.next < RowCount(state),
                    phase != kPhaseFinished,
                    EntryCount(state) > 0,
                    phase == kPhaseFinished && (state.failed > 0 || state.next < RowCount(state)),
                    RunningCount(state) > 0};
}

int RunListNeedsTimer(const RunListState& state) {
  return state.open && (state.phase == kPhaseRunning || RunningCount(state) > 0);
}

int WatchedChildren(const RunListState& state, void** out, int max) {
  int n = 0;
  for (int slot = 1; slot >= 0; --slot) {
    for (int i = 0; i < RunningCount(state) && n < max; ++i) {
      const RunEntry& entry = EntryAt(state, Records<int>(state.running)[i]);
      if (entry.holdsSlot == slot) out[n++] = entry.child;
    }
  }
  return n;
}

int EntryFailed(const RunEntry& entry) {
  return entry.state == kEntryStartFailed || entry.state == kEntryStopped ||
         (entry.state == kEntryEnded && entry.exitCode != 0);
}

int UnsuccessfulRows(const RunListState& state) {
  int count = 0;
  for (int row = 0; row < RowCount(state); ++row) {
    const int entry = RowEntry(state, row);
    count += entry < 0 || EntryAt(state, entry).state != kEntryEnded || EntryAt(state, entry).exitCode != 0;
  }
  return count;
}

long SignedExitCode(unsigned long code) {
  return static_cast<long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(code)));
}

int RowMarked(const RunListState& state, int row) { return RowAt(state, row).entry >= 0; }

int RowEntry(const RunListState& state, int row) {
  return row >= 0 && row < RowCount(state) ? RowAt(state, row).entry : -1;
}

RunRowLook RowLookOf(const RunListState& state, int row) {
  const int entry = RowEntry(state, row);
  if (entry < 0) {
    return RunRowLook{0, 0, row >= 0 && row < RowCount(state) && RowHighlighted(state, row)};
  }
  return RunRowLook{EntryFailed(EntryAt(state, entry)), EntryAt(state, entry).state == kEntryRunning, 0};
}

int RowHighlighted(const RunListState& state, int row) {
  return state.commands[RowAt(state, row).command].marks != 0;
}

int RunListAsksBeforeStart(const RunListState& state) {
  return state.phase == kPhaseReady && state.askBeforeStart;
}

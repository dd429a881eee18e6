#include "run/run_list.h"

#include <cstring>

#include "support/format_text.h"

const char* RunErrorTitle(int code) {
  return code == kErrorLineTooLong ? kCommandBuildTitle : kRunTitle;
}

void ListPriorityItems(const char* stored, int newerSystem, PriorityItems* items) {
  items->text[0] = kNoPriorityItem;
  items->count = 1;
  items->selected = 0;
  for (const PriorityRow& row : kPriorityTable) {
    if (row.needsNewerSystem && !newerSystem) continue;
    if (std::strcmp(row.label, stored) == 0) items->selected = items->count;
    items->text[items->count++] = row.label;
  }
}

int SettingNeedsStoring(const char* stored, int chosenIsDefault) {
  return stored[0] != '\0' || !chosenIsDefault;
}

void PlaceOutputWindow(const ScreenRect& list, int width, const ScreenRect& workArea, int* x, int* y) {
  constexpr int kOffset = 24;
  const int beside = list.right + width <= workArea.right;
  *x = beside ? list.right : list.left + kOffset;
  *y = beside ? list.top : list.top + kOffset;
}

int HaltForSetting(const char* stored) { return std::strcmp(stored, "1") == 0; }

int OutputItemForSetting(const char* stored) {
  for (int i = 0; i < static_cast<int>(sizeof kOutputItems / sizeof kOutputItems[0]); ++i) {
    if (std::strcmp(stored, kOutputItems[i]) == 0) return i;
  }
  return kOutputConsole;
}

int ParallelItemForSetting(const char* stored) {
  if (stored[0] >= '1' && stored[0] <= '0' + kMaxParallel && stored[1] == '\0') {
    return stored[0] - '1';
  }
  return 0;
}

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
int RunningCount(const RunListState& state) { return Count<int>(state.running); }

// The priority chosen in the combo box: the row of its label (all rows
// count, offered or not), or -1 for kNoPriorityItem. The label, or the empty
// text, becomes the value for the settings.
int ChoosePriority(RunListState* state, const RunListPlatform& platform) {
  char text[kPrioritySettingSize * 2] = {};
  platform.readPriority(text, sizeof text);
  const int index = FindPriorityByLabel(text);
  const char* value = index >= 0 ? kPriorityTable[static_cast<std::size_t>(index)].label : "";
  std::strncpy(state->priorityLabel, value, sizeof state->priorityLabel - 1);
  state->priorityLabel[sizeof state->priorityLabel - 1] = '\0';
  state->prioritySet = 1;
  return index;
}

int ChooseParallel(RunListState* state, const RunListPlatform& platform) {
  const int chosen = platform.readParallel();
  state->parallel = chosen < 1 ? 1 : chosen > kMaxParallel ? kMaxParallel : chosen;
  return state->parallel;
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
  if (!AppendBytes(&state->changed, &row, sizeof row)) platform.rowChanged(row);
}

void ShowChangedRows(RunListState* state, const RunListPlatform& platform) {
  for (int i = 0; i < Count<int>(state->changed); ++i) {
    platform.rowChanged(Records<int>(state->changed)[i]);
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

// Records every watched child that has ended; with 失敗で中止 on, a failure
// among them finishes the list.
void CollectEnded(RunListState* state, const RunListPlatform& platform) {
  int failures = 0;
  for (int i = RunningCount(*state) - 1; i >= 0; --i) {
    RunEntry& entry = Entries(state)[Running(state)[i]];
    unsigned long code = 0;
    if (!platform.childEnded(entry.child, &code)) continue;
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
  state->halt = platform.readHalt();
  if (failures > 0 && state->halt && state->phase == kPhaseRunning) Finish(state, platform);
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
  state->outputMode = platform.readOutputMode() == kOutputTaken ? kOutputTaken : kOutputConsole;
  if (ExtendBuffer(&state->running, sizeof(int)) == nullptr ||
      AddOutput(&state->outputs, state->outputMode == kOutputTaken) != index) {
    state->entries.size -= sizeof(RunEntry);
    return 0;
  }
  state->running.size -= sizeof(int);
  RunEntry entry{};
  entry.position = row + 1;
  entry.row = row;
  entry.text = Rows(state)[row].text;
  entry.state = kEntryRunning;
  entry.startMs = platform.nowMs();
  platform.localTime(&entry.started);
  Entries(state)[index] = entry;
  const int priority = ChoosePriority(state, platform);
  const int output = state->outputMode == kOutputTaken ? index : -1;
  void* child = platform.launch(state->program, state->commands + entry.text, priority, output);
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

int BeginRunList(RunListState* state, const char* commands, const char* program,
                 const char* pattern, void (*lock)(int enter),
                 const TargetRecord* targets) {
  *state = RunListState{};
  state->commands = commands;
  state->program = program;
  state->pattern = pattern;
  BeginOutputs(&state->outputs, kKeptOutputBytes, kAllOutputBytes, lock);
  state->open = 1;
  state->parallel = 1;
  for (const char* p = commands; *p != '\0'; p = NextCommand(p)) {
    const int marks = targets != nullptr ? CommandMarks(*targets, RowCount(*state)) : 0;
    state->askBeforeStart |= marks != 0;
    const RunRow row = {static_cast<std::size_t>(p - commands), -1, marks};
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
  while (state->phase == kPhaseRunning && state->next < RowCount(*state) &&
         state->slotsInUse < ChooseParallel(state, platform)) {
    if (!StartNextRow(state, platform)) {
      if (!state->open) return;
      // A failed start stops the list; it stays open with its results.
      Finish(state, platform);
      ShowChangedRows(state, platform);
      platform.reportStopped();
      break;
    }
  }
  if (state->phase == kPhaseRunning && state->next >= RowCount(*state) &&
      state->slotsInUse == 0) {
    Finish(state, platform);
  }
  ShowChangedRows(state, platform);
  state->busy = 0;
}

void SkipRunningChild(RunListState* state, const RunListPlatform& platform) {
  if (state->phase != kPhaseRunning || state->busy) return;
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
  if (RunningCount(*state) == 0) return;
  const int priority = ChoosePriority(state, platform);
  for (int i = 0; i < RunningCount(*state); ++i) {
    platform.setChildPriority(Entries(state)[Running(state)[i]].child, priority);
  }
}

unsigned long PriorityClassForRunning(int priorityIndex, unsigned long ownClass) {
  constexpr unsigned long kNormalClass = 0x20, kIdleClass = 0x40, kBelowNormalClass = 0x4000;
  const unsigned long chosen = CreationFlagsForPriority(priorityIndex);
  if (chosen != 0) return chosen;
  return ownClass == kIdleClass || ownClass == kBelowNormalClass ? ownClass : kNormalClass;
}

int RerunFailed(RunListState* state) {
  if (!RunListButtons(*state).rerun) return 0;
  ByteBuffer rows;
  const int count = RowCount(*state);
  for (int i = 0; i < count; ++i) {
    const RunRow& row = Rows(state)[i];
    if (row.entry >= 0 && !EntryFailed(Entries(state)[row.entry])) continue;
    const RunRow again = {row.text, -1, row.targetMarks};
    if (!AppendBytes(&rows, &again, sizeof again)) {
      FreeByteBuffer(&rows);
      return 0;
    }
  }
  for (int i = 0; i < EntryCount(*state); ++i) Entries(state)[i].row = -1;
  FreeByteBuffer(&state->rows);
  state->rows = rows;
  state->phase = kPhaseReady;
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
                    phase == kPhaseRunning,
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

long SignedExitCode(unsigned long code) {
  return static_cast<long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(code)));
}

void FormatRowText(const RunListState& state, int row, char* out, std::size_t size) {
  const RunRow& shown = RowAt(state, row);
  const char* arguments = state.commands + shown.text;
  const RunEntry* entry = shown.entry >= 0 ? &EntryAt(state, shown.entry) : nullptr;
  if (entry != nullptr && (entry->state == kEntryEnded || entry->state == kEntryStopped)) {
    const std::uint64_t tenths = (entry->endMs - entry->startMs + 50) / 100;
    char code[16];
    if (entry->state == kEntryStopped) {
      FormatText(code, sizeof code, "%s", kStoppedText);
    } else {
      FormatText(code, sizeof code, "%ld", SignedExitCode(entry->exitCode));
    }
    FormatText(out, size, "%s\t%lu.%u秒\t%s", code, static_cast<unsigned long>(tenths / 10),
               static_cast<unsigned>(tenths % 10), arguments);
  } else if (entry != nullptr && entry->state == kEntryStartFailed) {
    FormatText(out, size, "%s\t\t%s", kStartFailedText, arguments);
  } else {
    FormatText(out, size, "%s", arguments);
  }
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

int RowHighlighted(const RunListState& state, int row) { return RowAt(state, row).targetMarks != 0; }

int RunListAsksBeforeStart(const RunListState& state) {
  return state.phase == kPhaseReady && state.askBeforeStart;
}

void FormatStatusText(const RunListState& state, std::uint64_t nowMs, char* out, std::size_t size) {
  if (RunListAsksBeforeStart(state)) {
    int counts[kTargetMarkKinds] = {};
    for (int row = 0; row < RowCount(state); ++row) {
      for (int kind = 0; kind < kTargetMarkKinds; ++kind) {
        counts[kind] += (RowAt(state, row).targetMarks >> kind) & 1;
      }
    }
    FormatText(out, size, kMarkedStatusFormat, RowCount(state), counts[0], counts[1], counts[2]);
    return;
  }
  std::uint64_t elapsed = 0;
  if (state.phase == kPhaseRunning) elapsed = nowMs - state.passStartMs;
  if (state.phase == kPhaseFinished) elapsed = state.passEndMs - state.passStartMs;
  const std::uint64_t seconds = elapsed / 1000;
  if (RowCount(state) == 0 && state.pattern != nullptr) {
    FormatText(out, size, kNoMatchFormat, state.pattern);
    return;
  }
  FormatText(out, size, "%d/%d 件終了　失敗 %d　経過 %lu:%02u", state.ended, RowCount(state),
             state.failed, static_cast<unsigned long>(seconds / 60),
             static_cast<unsigned>(seconds % 60));
}


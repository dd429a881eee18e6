#include "run/run_list.h"

#include <cstring>
#include <string_view>

#include "run/command_line.h"

int FillCommandList(char* block, std::size_t size, const CommandSource& source) {
  if (size == 0) return kErrorMemoryUsedUp;
  std::size_t used = 0;
  char text[kArgumentTextCapacity];
  while (source.next(source.context, text, sizeof text)) {
    const std::size_t length = std::strlen(text);
    // The text, its terminator and the terminator of the whole list.
    if (length + 2 > size - used) return kErrorMemoryUsedUp;
    std::memcpy(block + used, text, length + 1);
    used += length + 1;
  }
  if (!source.ended()) return kErrorLineTooLong;
  block[used] = '\0';
  return -1;
}

const char* RunErrorTitle(int code) {
  return code == kErrorLineTooLong ? kCommandBuildTitle : kRunTitle;
}

const char* NextCommand(const char* command) {
  return *command == '\0' ? command : command + std::strlen(command) + 1;
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

namespace {

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

void LetChildGo(RunListState* state, const RunListPlatform& platform) {
  if (state->childState == kChildRunning && state->child != nullptr) {
    platform.releaseChild(state->child);
  }
  state->child = nullptr;
}

}  // namespace

void BeginRunList(RunListState* state, const char* list) {
  *state = RunListState{};
  state->cursor = list;
  state->open = 1;
}

int StartRunList(RunListState* state) {
  if (state->started || !state->open) return 0;
  state->started = 1;
  return 1;
}

void RunListTick(RunListState* state, const RunListPlatform& platform) {
  if (!state->open || state->childState == kChildBusy) return;
  if (state->childState == kChildRunning) {
    unsigned long code = 0;
    const int answered = platform.exitCode(state->child, &code);
    if (!ChildHasEnded(answered, code)) return;
    LetChildGo(state, platform);
  }
  // Ticks that arrive while a launch shows a message find the list busy.
  state->childState = kChildBusy;
  if (*state->cursor == '\0') {
    platform.finish();
    return;
  }
  platform.markItem(state->index);
  const int priority = ChoosePriority(state, platform);
  void* child = platform.launch(state->cursor, priority);
  if (!state->open) {
    // The dialog was closed while the launch showed its message.
    if (child != nullptr) platform.releaseChild(child);
    return;
  }
  if (child == nullptr) {
    platform.abort();
    return;
  }
  state->cursor = NextCommand(state->cursor);
  ++state->index;
  state->child = child;
  state->childState = kChildRunning;
}

void SkipRunningChild(RunListState* state, const RunListPlatform& platform) {
  if (state->childState != kChildRunning) return;
  LetChildGo(state, platform);
  state->childState = kChildNone;
}

void EndRunList(RunListState* state, const RunListPlatform& platform) {
  LetChildGo(state, platform);
  state->childState = kChildBusy;
  state->open = 0;
}

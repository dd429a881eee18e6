// Fixed data of process launch: the process priority table, the caption of a
// failed start, and the rule that composes a child's command line. The error
// texts shown by every subsystem live in support/messages.h. No system calls.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// Caption of the box shown when a child process cannot be started.
inline constexpr const char kLaunchFailedTitle[] = "タビクス：実行失敗";

// Size of the buffer a command line is built in (at most 1023 characters).
inline constexpr std::size_t kCommandLineCapacity = 1024;

// One row of the process priority table.
struct PriorityRow {
  unsigned long priorityClass;  // the creation flag of that class
  const char* label;            // text offered in the priority combo box
  int needsNewerSystem;         // 1: offered only when the major version > 4
};

// The process priority table, in the order it is offered.
inline constexpr std::array<PriorityRow, 5> kPriorityTable = {{
    {0x80UL, "高", 0},        // HIGH_PRIORITY_CLASS
    {0x8000UL, "通常以上", 1},  // ABOVE_NORMAL_PRIORITY_CLASS
    {0x20UL, "通常", 0},      // NORMAL_PRIORITY_CLASS
    {0x4000UL, "通常以下", 1},  // BELOW_NORMAL_PRIORITY_CLASS
    {0x40UL, "低", 0},        // IDLE_PRIORITY_CLASS
}};

// Creation flags for a priority index: 0 for a negative index (the system's
// default), otherwise exactly that row's priority class. An index past the
// table also gives 0.
unsigned long CreationFlagsForPriority(int priorityIndex);

// Exit code the system reports for a process that still runs.
inline constexpr unsigned long kStillActive = 259;

// 1 when a child counts as ended: its exit code is anything but kStillActive,
// or the system could not tell (`answered` 0).
constexpr int ChildHasEnded(int answered, unsigned long exitCode) {
  return !answered || exitCode != kStillActive;
}

// Index of the priority row whose label equals `label` byte for byte, or -1.
int FindPriorityByLabel(std::string_view label);

// Composes a child's command line into `out`: the command; then, when
// `arguments` is not null (even when it is empty), one blank and the
// arguments. Null `command` counts as empty. Returns 1, or 0 when the line
// and its terminator do not fit in `capacity` bytes (`out` then holds "").
int ComposeCommandLine(char* out, std::size_t capacity, const char* command,
                       const char* arguments);

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

// What waiting on a process handle with no time-out answers: the handle is
// signalled (0, WAIT_OBJECT_0), the wait timed out (0x102, WAIT_TIMEOUT), or
// the wait failed (0xFFFFFFFF, WAIT_FAILED).
inline constexpr unsigned long kWaitSignalled = 0;
inline constexpr unsigned long kWaitTimedOut = 0x102;

// 1 when a child counts as ended: only its handle tells, never its exit code
// (a program may well exit with 259, the code the system reports while a
// process runs). A wait that failed tells nothing more will come: ended.
constexpr int ChildHasEnded(unsigned long waitResult) { return waitResult != kWaitTimedOut; }

// Index of the priority row whose label equals `label` byte for byte, or -1.
int FindPriorityByLabel(std::string_view label);

// Composes a child's command line into `out`: the command, enclosed in
// double quotes when it holds a blank (the system would otherwise take the
// text before the blank as the program); then, when `arguments` is not null
// (even when it is empty), one blank and the arguments. A batch file (.bat,
// .cmd) as the command is started through the command interpreter `shell`
// (its full path, with kCmdSwitches) as
// `"shell" /d /e:on /v:off /c ""command" arguments"`: cmd strips the outer pair of quotes
// and reads the rest, so a folder named with "&", "^" or "(" reaches it
// whole. With cmd.exe as the command, what follows its "/c" or
// "/k" is enclosed in that pair too (unless the user did so). Null `command`
// counts as empty. Returns 1, or 0 when the line and its terminator do not
// fit in `capacity` bytes (`out` then holds "").
int ComposeCommandLine(char* out, std::size_t capacity, const char* command, const char* arguments,
                       const char* shell);

// ComposeCommandLine for a child that starts in `directory` (null or "" for
// none). cmd cannot start in a UNC folder (it runs in the Windows folder
// instead), so a batch file or cmd.exe whose folder is one enters it itself,
// and leaves it again, since the drive letter pushd maps stays until popd:
// the command becomes `pushd "directory" || exit 1 & <command> & call set
// tavix_rc=%^errorlevel% & popd & call exit %^tavix_rc%`, which ends with
// the command's exit code (1 when the folder cannot be entered, and then
// nothing runs). An interactive cmd stays there until the user leaves it:
// after "/k" the command starts with `pushd "directory" && `, and cmd.exe
// without "/c" or "/k" gets "/k pushd "directory"".
int ComposeCommandLineIn(char* out, std::size_t capacity, const char* command,
                         const char* arguments, const char* shell, const char* directory);

// The folder to hand the system for a child started in `directory` with
// `command`: `directory`, or null where the command line enters it itself
// (ComposeCommandLineIn).
const char* DirectoryForStart(const char* command, const char* directory);

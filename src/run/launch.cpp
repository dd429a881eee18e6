#include "run/launch.h"

#include <cstring>

#include "run/command_line.h"
#include "support/format_text.h"
#include "support/path_text.h"

unsigned long CreationFlagsForPriority(int priorityIndex) {
  if (priorityIndex < 0 || priorityIndex >= static_cast<int>(kPriorityTable.size())) return 0;
  return kPriorityTable[static_cast<std::size_t>(priorityIndex)].priorityClass;
}

int FindPriorityByLabel(std::string_view label) {
  for (std::size_t i = 0; i < kPriorityTable.size(); ++i) {
    if (label == kPriorityTable[i].label) return static_cast<int>(i);
  }
  return -1;
}

namespace {

// A program path: as it is when it starts with a quote or holds no blank,
// else enclosed in double quotes.
void PutProgram(LineWriter* writer, const char* path) {
  const int quote = path[0] != '"' && std::strchr(path, ' ') != nullptr;
  if (quote) Put(writer, "\"");
  Put(writer, path);
  if (quote) Put(writer, "\"");
}

// A cmd that enters a UNC folder with pushd maps a drive letter there that
// only popd removes. Its command therefore goes between kEnterFolder and
// kLeaveFolder: a folder that cannot be entered ends cmd with 1 before
// anything runs; otherwise the command runs, its exit code is kept, popd
// leaves the folder whatever the command did, and cmd ends with that code.
// "%^errorlevel%" passes the first reading of the line as it is (no
// variable has that name) and loses its caret there; "call" reads it once
// more after the command has run.
constexpr char kEnterFolder[] = "\" || exit 1 & ";
constexpr char kLeaveFolder[] = " & call set tavix_rc=%^errorlevel% & popd & call exit %^tavix_rc%";

// "pushd" and the UNC folder a command runs in; `how` follows it.
void PutEnterFolder(LineWriter* writer, const char* directory, const char* how) {
  char folder[kPathTextSize];
  CopyPathText(folder, directory);
  RemoveEnclosingQuotes(folder);
  Put(writer, "pushd \"");
  Put(writer, folder);
  Put(writer, how);
}

// Leaves the UNC folder after `command` (`length` bytes): a quote the
// command left open is closed first, or the rest would be its text.
void PutLeaveFolder(LineWriter* writer, const char* command, std::size_t length) {
  std::size_t quotes = 0;
  for (std::size_t i = 0; i < length; ++i) quotes += command[i] == '"';
  if (quotes % 2 != 0) Put(writer, "\"");
  Put(writer, kLeaveFolder);
}

// 1 when cmd.exe's command follows "/k": cmd stays for the user after it,
// in the folder it entered.
int KeepsInterpreter(const char* arguments, const InterpreterCommand& found) {
  std::size_t at = found.start;
  while (at > 0 && arguments[at - 1] == ' ') --at;
  return at > 0 && (arguments[at - 1] == 'k' || arguments[at - 1] == 'K');
}

// The arguments of cmd.exe: its command after "/c" or "/k" in the pair of
// quotes cmd strips, entering `network` (a UNC folder, or null) first and,
// after "/c", leaving it after the command. An interactive cmd (no switch,
// or "/k") stays in the folder until the user leaves it.
void PutInterpreterArguments(LineWriter* writer, const char* arguments, const CommandShape& shape,
                             const char* network) {
  const InterpreterCommand& found = shape.command;
  if (!shape.switched) {
    if (arguments != nullptr) {
      Put(writer, " ");
      Put(writer, arguments);
    }
    if (network != nullptr) {
      Put(writer, " /k ");
      PutEnterFolder(writer, network, "\"");
    }
    return;
  }
  const int keeps = KeepsInterpreter(arguments, found);
  if (found.length == 0 && !keeps) network = nullptr;  // nothing runs there
  Put(writer, " ");
  Put(writer, arguments, found.start);
  if (found.length == 0 && network == nullptr) return;
  Put(writer, "\"");
  if (network != nullptr) {
    PutEnterFolder(writer, network, keeps ? (found.length > 0 ? "\" && " : "\"") : kEnterFolder);
  }
  Put(writer, found.command, found.length);
  if (EndsInEscapingCaret(arguments)) Put(writer, "^");
  if (network != nullptr && !keeps) PutLeaveFolder(writer, found.command, found.length);
  Put(writer, "\"");
}

// 1 when `command` started in `directory` is run by cmd, which cannot start
// in a UNC folder.
int CmdInNetworkFolder(const char* command, const char* directory) {
  return directory != nullptr && IsNetworkPath(directory) &&
         ShapeOfCommand(command, nullptr).kind != kPlainProgram;
}

}  // namespace

int ComposeCommandLine(char* out, std::size_t capacity, const char* command, const char* arguments,
                       const char* shell) {
  return ComposeCommandLineIn(out, capacity, command, arguments, shell, nullptr);
}

int ComposeCommandLineIn(char* out, std::size_t capacity, const char* command,
                         const char* arguments, const char* shell, const char* directory) {
  if (out == nullptr || capacity == 0) return 0;
  LineWriter writer{out, capacity, 0, 0};
  if (command == nullptr) command = "";
  const char* network = CmdInNetworkFolder(command, directory) ? directory : nullptr;
  const CommandShape shape = ShapeOfCommand(command, arguments);
  const int batch = shell != nullptr && shape.kind == kBatchProgram;
  if (batch) {
    PutProgram(&writer, shell);
    Put(&writer, " ");
    Put(&writer, kCmdSwitches);
    Put(&writer, " /c \"");
    if (network != nullptr) PutEnterFolder(&writer, network, kEnterFolder);
    // The path without enclosing quotes of its own, in the inner pair.
    std::size_t length = std::strlen(command);
    const char* path = command;
    if (length > 0 && path[0] == '"') {
      ++path;
      --length;
      if (length > 0 && path[length - 1] == '"') --length;
    }
    Put(&writer, "\"");
    Put(&writer, path, length);
    Put(&writer, "\"");
  } else {
    PutProgram(&writer, command);
  }
  if (shape.kind == kInterpreterProgram) {
    PutInterpreterArguments(&writer, arguments, shape, network);
  } else if (arguments != nullptr) {
    Put(&writer, " ");
    Put(&writer, arguments);
    if (batch && EndsInEscapingCaret(arguments)) Put(&writer, "^");
  }
  if (batch && network != nullptr) {
    PutLeaveFolder(&writer, arguments != nullptr ? arguments : "", arguments != nullptr ? std::strlen(arguments) : 0);
  }
  if (batch) Put(&writer, "\"");
  return FinishLine(&writer);
}

const char* DirectoryForStart(const char* command, const char* directory) {
  return CmdInNetworkFolder(command != nullptr ? command : "", directory) ? nullptr : directory;
}

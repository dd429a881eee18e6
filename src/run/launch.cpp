#include "run/launch.h"

#include <cstring>

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

}  // namespace

int ComposeCommandLine(char* out, std::size_t capacity, const char* command, const char* arguments,
                       const char* shell) {
  if (out == nullptr || capacity == 0) return 0;
  LineWriter writer{out, capacity, 0, 0};
  if (command == nullptr) command = "";
  const int batch = shell != nullptr && IsBatchProgram(command);
  if (batch) {
    PutProgram(&writer, shell);
    Put(&writer, " /c \"\"");
    // The path without enclosing quotes of its own, in the inner pair.
    std::size_t length = std::strlen(command);
    const char* path = command;
    if (length > 0 && path[0] == '"') {
      ++path;
      --length;
      if (length > 0 && path[length - 1] == '"') --length;
    }
    Put(&writer, path, length);
    Put(&writer, "\"");
  } else {
    PutProgram(&writer, command);
  }
  if (arguments != nullptr) {
    Put(&writer, " ");
    Put(&writer, arguments);
  }
  if (batch) Put(&writer, "\"");
  return FinishLine(&writer);
}

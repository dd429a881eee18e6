#include "run/launch.h"

#include <cstring>

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

int ComposeCommandLine(char* out, std::size_t capacity, const char* command,
                       const char* arguments) {
  if (out == nullptr || capacity == 0) return 0;
  out[0] = '\0';
  const std::size_t commandLength = command ? std::strlen(command) : 0;
  std::size_t total = commandLength;
  std::size_t argumentsLength = 0;
  if (arguments != nullptr) {
    argumentsLength = std::strlen(arguments);
    total += 1 + argumentsLength;
  }
  if (total >= capacity) return 0;
  if (commandLength) std::memcpy(out, command, commandLength);
  std::size_t at = commandLength;
  if (arguments != nullptr) {
    out[at++] = ' ';
    std::memcpy(out + at, arguments, argumentsLength);
    at += argumentsLength;
  }
  out[at] = '\0';
  return 1;
}

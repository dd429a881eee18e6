#include "run/command_list.h"

#include <cstring>

void FreeCommandList(CommandList* list) {
  FreeByteBuffer(&list->arguments);
  list->program[0] = '\0';
  list->directory[0] = '\0';
  list->pattern[0] = '\0';
  list->form = 0;
  list->expanded = 0;
  list->count = 0;
}

const char* NextCommand(const char* command) {
  return *command == '\0' ? command : command + std::strlen(command) + 1;
}

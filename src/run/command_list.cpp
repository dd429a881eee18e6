#include "run/command_list.h"

#include <cstring>

#include "expand/file_expansion.h"
#include "expand/target_check.h"
#include "run/command_line.h"
#include "support/messages.h"

namespace {

// Appends one argument text with its zero byte.
int AddCommand(CommandList* list, const char* arguments) {
  if (!AppendBytes(&list->arguments, arguments, std::strlen(arguments) + 1)) return 0;
  ++list->count;
  return 1;
}

}  // namespace

int ComposeCommands(const ParameterSet& set, const CommandPlace& place, CommandList* list) {
  FreeCommandList(list);
  MakeDirectProgramText(set.programText, list->program);
  CopyPathText(list->directory, place.directory != nullptr ? place.directory : "");
  // The system takes a folder without quotes; the batch file's folder line
  // quotes it itself.
  if (!place.batch) RemoveEnclosingQuotes(list->directory);
  list->form = ProgramLineForm(set.programText, place.batch);

  char fileTexts[kArgumentRowCount][kRowTextSize];
  for (int i = 0; i < kArgumentRowCount; ++i) CopyPathText(fileTexts[i], set.rows.row[i].fileText);
  SetCommandFolder(list->directory);
  const char* base = place.walked ? list->directory : nullptr;
  ChooseExpandedRow(fileTexts, base, list->pattern);
  TargetRecord* targets =
      place.targets != nullptr && MayHoldTargets(set.rows) ? place.targets : nullptr;
  const SearchSource* search =
      targets != nullptr ? RecordSearches(targets, place.search) : place.search;
  list->expanded = BeginFileExpansion(fileTexts, base, search);
  if (targets != nullptr && list->expanded) BeginListTargets(targets, set.rows, list->directory);

  char arguments[kArgumentTextCapacity];
  int result = -1;
  for (;;) {
    // The targets are recorded from the match the command is made from,
    // before the assembly moves the search on.
    if (targets != nullptr && list->expanded && SearchPreStep(list->form)) {
      RecordCommandTargets(targets);
    }
    if (!AssembleArgumentText(set.rows, arguments, sizeof arguments, list->form)) {
      // After the last match the expansion has ended, and a command that
      // would hold a name left out is none; otherwise the command at hand did
      // not fit.
      if (!FileExpansionEnded()) result = kErrorLineTooLong;
      break;
    }
    if (!AddCommand(list, arguments)) {
      result = kErrorNoMemory;
      break;
    }
    if (!list->expanded) break;
  }
  EndFileExpansion();
  if (!AppendBytes(&list->arguments, "", 1) && result < 0) result = kErrorNoMemory;
  return result;
}

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

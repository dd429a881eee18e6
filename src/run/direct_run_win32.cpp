#include "run/run_questions_win32.h"
#include "run/direct_run_win32.h"

#include "expand/file_expansion.h"
#include "expand/file_expansion_win32.h"
#include "expand/target_check.h"
#include "expand/target_check_win32.h"
#include "run/batch_file.h"
#include "run/command_list.h"
#include "run/launch_win32.h"
#include "run/run_control.h"
#include "support/messages.h"
#include "run/run_list_settings_win32.h"
#include "run/run_list_win32.h"

namespace {

// 1 from the making of the commands until RunDirect returns.
int g_directRunActive = 0;

// The run list over the commands of a file expansion, each with its marks.
int ShowCommands(HWND owner, const CommandList& commands, const TargetRecord& targets) {
  ByteBuffer listed;
  const char* arguments = commands.arguments.data;
  for (int i = 0; i < commands.count; ++i, arguments = NextCommand(arguments)) {
    const ListedCommand command = {commands.program, arguments, commands.directory, nullptr, CommandMarks(targets, i)};
    AppendBytes(&listed, &command, sizeof command);
  }
  if (listed.failed) {
    FreeByteBuffer(&listed);
    ShowProgramError(owner, kRunTitle, kErrorNoMemory);
    return 0;
  }
  RunListInput input{};
  input.commands = reinterpret_cast<const ListedCommand*>(listed.data);
  input.count = commands.count;
  input.targets = &targets;
  input.caption = commands.program;
  input.pattern = commands.pattern;
  input.folder = commands.directory;
  ReadRunListSettings(&input.settings);
  input.owner = owner;
  GetWindowRect(owner, &input.ownerRect);
  const int shown = ShowRunList(input);
  FreeByteBuffer(&listed);
  return shown;
}

int RunCommands(HWND owner, const ParameterSet& set) {
  char translated[kRowTextSize];
  if (TranslateTokens(set.currentDirectory, translated, sizeof translated, 1)) {
    ShowProgramError(owner, kRunTitle, kErrorWildcardDirectory);
    return 0;
  }
  ResetLeftOutNames();
  CommandList commands{};
  TargetRecord targets{};
  const CommandPlace place = {&SystemSearchSource(), 0, set.currentDirectory, 0, &targets};
  const int error = ComposeCommands(set, place, &commands);
  if (error >= 0) ShowProgramError(owner, RunErrorTitle(error), error);
  ReportLeftOutNames(owner, kRunTitle);
  int result = 0;
  if (error < 0 && !commands.expanded && commands.count == 1) {
    // The one command of a run without file expansion.
    HANDLE child = LaunchCommand(owner, commands.program, commands.arguments.data,
                                 commands.directory, -1);
    if (child != nullptr) CloseHandle(child);
    result = 1;
  } else if (error < 0 && commands.expanded) {
    CheckTargets(&targets, SystemTargetPlatform());
    result = ShowCommands(owner, commands, targets);
  }
  FreeTargetRecord(&targets);
  FreeCommandList(&commands);
  return result;
}

}  // namespace

int RunDirect(HWND owner, const ParameterSet& set) {
  // A run list open, or still being made or taken down: this run waits.
  if (g_directRunActive || RunListOpen()) {
    ShowProgramError(owner, kRunTitle, kErrorRunListOpen);
    return 0;
  }
  g_directRunActive = 1;
  const int result = RunCommands(owner, set);
  g_directRunActive = 0;
  return result;
}

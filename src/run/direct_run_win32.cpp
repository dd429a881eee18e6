#include "run/run_questions_win32.h"
#include "run/direct_run_win32.h"

#include "expand/file_expansion.h"
#include "expand/file_expansion_win32.h"
#include "expand/target_check.h"
#include "expand/target_check_win32.h"
#include "run/batch_file.h"
#include "run/command_list.h"
#include "run/launch_win32.h"
#include "run/run_list.h"
#include "run/run_list_win32.h"

namespace {

// 1 from the making of the commands until RunDirect returns.
int g_directRunActive = 0;

int RunCommands(HWND owner, const ParameterSet& set, HANDLE* keep) {
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
    if (keep != nullptr) {
      *keep = child;
    } else if (child != nullptr) {
      CloseHandle(child);
    }
    result = 1;
  } else if (error < 0 && commands.expanded) {
    CheckTargets(&targets, SystemTargetPlatform());
    result = ShowRunList(owner, commands, targets);
  }
  FreeTargetRecord(&targets);
  FreeCommandList(&commands);
  return result;
}

}  // namespace

int RunDirect(HWND owner, const ParameterSet& set, HANDLE* child) {
  // A run list open, or still being made or taken down: this run waits.
  if (g_directRunActive || RunListOpen()) {
    ShowProgramError(owner, kRunTitle, kErrorRunListOpen);
    return 0;
  }
  g_directRunActive = 1;
  const int result = RunCommands(owner, set, child);
  g_directRunActive = 0;
  return result;
}

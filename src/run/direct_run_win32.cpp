#include "run/run_questions_win32.h"
#include "run/direct_run_win32.h"

#include "expand/target_check.h"
#include "expand/target_check_win32.h"
#include "run/batch_file.h"
#include "run/launch_win32.h"
#include "run/plan_win32.h"
#include "run/run_list.h"
#include "run/run_list_win32.h"

namespace {

// 1 from the making of the plan until RunDirect returns.
int g_directRunActive = 0;

int RunCommands(HWND owner, const ParameterSet& set) {
  TargetRecord targets{};
  RunPlan plan{};
  const int error = MakeSystemPlan(set, kPlanDirect, &targets, &plan);
  const CommandList& commands = plan.commands;
  int result = 0;
  if (error == kErrorWildcardDirectory) {
    ShowProgramError(owner, kRunTitle, error);
  } else {
    if (error >= 0) ShowProgramError(owner, RunErrorTitle(error), error);
    ReportLeftOutNames(owner, kRunTitle, plan.leftOut);
    if (error < 0 && !commands.expanded && commands.count == 1) {
      // The one command of a run without file expansion.
      HANDLE child = StartComposedLine(owner, plan.lines.data, commands.program,
                                       commands.directory, -1);
      if (child != nullptr) CloseHandle(child);
      result = 1;
    } else if (error < 0 && commands.expanded) {
      HANDLE find = INVALID_HANDLE_VALUE;
      CheckTargets(&targets, SystemTargetPlatform(&find));
      result = ShowRunList(owner, commands, targets);
    }
  }
  FreeTargetRecord(&targets);
  FreeRunPlan(&plan);
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

#include "run/run_questions_win32.h"
#include "run/direct_run_win32.h"

#include "expand/target_check.h"
#include "expand/target_check_win32.h"
#include "run/batch_file.h"
#include "run/launch_win32.h"
#include "run/plan_win32.h"
#include "run/run_control.h"
#include "run/run_list_settings_win32.h"
#include "support/messages.h"
#include "run/run_list_win32.h"

namespace {

// 1 from the making of the plan until RunDirect returns.
int g_directRunActive = 0;

// The run list over the commands of a file expansion, each with its line
// and its marks.
int ShowCommands(HWND owner, const RunPlan& plan, const TargetRecord& targets, RunExtras* extras) {
  const CommandList& commands = plan.commands;
  ByteBuffer listed;
  const char* arguments = commands.arguments.data;
  const char* line = plan.lines.data;
  for (int i = 0; i < commands.count; ++i, arguments = NextText(arguments), line = NextText(line)) {
    const ListedCommand command = {commands.program, arguments, CommandFolder(plan, i),
                                   line[0] != '\0' ? line : nullptr, CommandMarks(targets, i)};
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
  if (extras != nullptr) {
    input.startAtOnce = extras->startAtOnce;
    input.closeWhenFinished = extras->closeWhenFinished;
    input.unsuccessful = &extras->unsuccessful;
  }
  const int shown = ShowRunList(input);
  FreeByteBuffer(&listed);
  return shown;
}

int RunCommands(HWND owner, const ParameterSet& set, RunExtras* extras) {
  TargetRecord targets{};
  RunPlan plan{};
  const int error =
      MakeSystemPlan(set, kPlanDirect, &targets, &plan, extras != nullptr ? extras->given : nullptr);
  const CommandList& commands = plan.commands;
  if (extras != nullptr) extras->planned = commands.count;
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
      if (extras != nullptr) {
        extras->process = child;
      } else if (child != nullptr) {
        CloseHandle(child);
      }
      result = 1;
    } else if (error < 0 && commands.expanded) {
      HANDLE find = INVALID_HANDLE_VALUE;
      CheckTargets(&targets, SystemTargetPlatform(&find));
      result = ShowCommands(owner, plan, targets, extras);
    }
  }
  FreeTargetRecord(&targets);
  FreeRunPlan(&plan);
  return result;
}

}  // namespace

int RunDirect(HWND owner, const ParameterSet& set, RunExtras* extras) {
  // A run list open, or still being made or taken down: this run waits.
  if (g_directRunActive || RunListOpen()) {
    ShowProgramError(owner, kRunTitle, kErrorRunListOpen);
    return 0;
  }
  g_directRunActive = 1;
  const int result = RunCommands(owner, set, extras);
  g_directRunActive = 0;
  return result;
}

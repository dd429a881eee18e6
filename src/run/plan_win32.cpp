#include "run/plan_win32.h"

#include "expand/directory_walk_win32.h"
#include "expand/file_expansion_win32.h"
#include "run/launch_win32.h"

int MakeSystemPlan(const ParameterSet& set, int mode, TargetRecord* targets, RunPlan* plan,
                   const GivenFiles* given, int inWorkingFolder) {
  HANDLE find = INVALID_HANDLE_VALUE;
  const SearchSource search = SystemSearchSource(&find);
  const WalkPlatform walk = SystemWalkPlatform(&find);
  char working[kRowTextSize];
  const DWORD length = GetCurrentDirectoryA(sizeof working, working);
  if (!inWorkingFolder || length == 0 || length >= sizeof working) working[0] = '\0';
  char shell[MAX_PATH];
  CommandInterpreterPath(shell, sizeof shell);
  const PlanPlatform platform = {&search, &walk, working, shell, nullptr, targets, given};
  return MakeRunPlan(set, mode, platform, plan);
}

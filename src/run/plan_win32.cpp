#include "run/plan_win32.h"

#include "expand/directory_walk_win32.h"
#include "expand/file_expansion_win32.h"
#include "run/launch_win32.h"
#include "run/program_search.h"

namespace {

int IsSystemFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The value of an environment variable into `out`, "" when it is not set
// or does not fit.
void ReadVariable(const char* name, char* out, DWORD size) {
  const DWORD length = GetEnvironmentVariableA(name, out, size);
  if (length == 0 || length >= size) out[0] = '\0';
}

}  // namespace

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
  // PATH may hold up to 32767 characters.
  char path[32768];
  char pathext[1024];
  ReadVariable("PATH", path, sizeof path);
  ReadVariable("PATHEXT", pathext, sizeof pathext);
  const ProgramSearch programs = {path, pathext, IsSystemFile};
  const PlanPlatform platform = {&search, &walk, working, shell, &programs, targets, given};
  return MakeRunPlan(set, mode, platform, plan);
}

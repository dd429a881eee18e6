#include "run/run_control_win32.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "support/program_paths.h"
#include "run/direct_run_win32.h"
#include "run/batch_file_win32.h"
#include "run/launch.h"
#include "support/messages.h"
#include "run/launch_win32.h"
#include "run/run_control.h"
#include "support/shell_win32.h"

namespace {

// The process of the last batch-mode Run, or null.
HANDLE g_batchProcess = nullptr;

// Passes when no batch process of an earlier Run is alive; an ended one's
// handle is closed here.
int CheckBatchNotRunning(HWND dialog) {
  if (g_batchProcess == nullptr) return 1;
  DWORD code = 0;
  if (!ChildEnded(g_batchProcess, &code)) {
    ShowProgramError(dialog, kDoubleStartTitle, kErrorBatchRunning);
    return 0;
  }
  CloseHandle(g_batchProcess);
  g_batchProcess = nullptr;
  return 1;
}

// The command registered for editing batch files, environment variables
// put in; 0 when none is registered.
int QueryBatchEditCommand(char* out, DWORD size) {
  char registered[kCommandLineCapacity];
  DWORD length = sizeof registered;
  if (AssocQueryStringLate(0, ASSOCSTR_COMMAND, kBatchFileType, kEditVerb, registered, &length) !=
      S_OK) {
    return 0;
  }
  const DWORD expanded = ExpandEnvironmentStringsA(registered, out, size);
  return expanded != 0 && expanded <= size;
}

}  // namespace

int RunCommand(HWND dialog, const ParameterSet& set, RunExtras* extras) {
  if (extras != nullptr) {
    extras->process = nullptr;
    extras->unsuccessful = -1;
  }
  if (!set.batchOut) return RunDirect(dialog, set, extras);
  if (!RunBatch(dialog, set, extras != nullptr ? extras->given : nullptr,
                extras != nullptr ? &extras->planned : nullptr)) {
    return 0;
  }
  if (extras != nullptr && g_batchProcess != nullptr) {
    DuplicateHandle(GetCurrentProcess(), g_batchProcess, GetCurrentProcess(), &extras->process, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
  }
  return 1;
}

int RunBatch(HWND owner, const ParameterSet& set, const GivenFiles* given, int* planned) {
  if (!CheckBatchNotRunning(owner)) return 0;
  if (!WriteBatchFile(owner, set, nullptr, 1, given, planned)) return 0;
  g_batchProcess = LaunchCommand(owner, g_batchFilePath, nullptr, nullptr, -1);
  return 1;
}

int ConfirmBatch(HWND dialog, const ParameterSet& set) {
  if (!CheckBatchNotRunning(dialog)) return 0;
  if (!WriteBatchFile(dialog, set, nullptr)) return 0;
  char command[kCommandLineCapacity];
  if (!QueryBatchEditCommand(command, sizeof command)) {
    ShowShellError(dialog, kConfirmTitle, SE_ERR_NOASSOC);
    return 0;
  }
  char line[kCommandLineCapacity];
  if (!ExpandEditCommand(command, g_batchFilePath, line, sizeof line)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    ShowSystemError(dialog, kConfirmTitle);
    return 0;
  }
  HANDLE editor = StartCommandLine(dialog, kConfirmTitle, line, nullptr, -1);
  if (editor == nullptr) return 0;
  CloseHandle(editor);
  return 1;
}

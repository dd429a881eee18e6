#include "run/job_log_win32.h"

#include "params/field_table.h"
#include "run/job_log.h"
#include "support/messages.h"
#include "run/launch_win32.h"
#include "support/file_dialogs_win32.h"
#include "support/format_text.h"
#include "support/message_box_win32.h"
#include "support/path_text.h"
#include "support/safe_replace_win32.h"

namespace {

// The proposed name of the log: kLogProposedName in `directory`, or in the
// program's own current directory when none was given.
void ProposeLogName(const char* directory, char* out, std::size_t size) {
  char folder[kRowTextSize];
  CopyPathText(folder, directory);
  if (folder[0] == '\0') GetCurrentDirectoryA(sizeof folder, folder);
  if (!JoinPath(out, size, folder, kLogProposedName) || out[0] == '\0') {
    FormatText(out, size, "%s", kLogProposedName);
  }
}

}  // namespace

void SaveJobLog(HWND dialog, const RunListState& state, const char* directory) {
  char name[kJoinedPathSize];
  ProposeLogName(directory, name, sizeof name);
  OPENFILENAMEA request =
      FileDialogRequest(dialog, kLogFilter, name, sizeof name, kLogDialogTitle,
                        OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                        kLogDefaultExtension);
  if (!ShowSaveFileDialog(&request) || name[0] == '\0') return;
  char shell[MAX_PATH];
  CommandInterpreterPath(shell, sizeof shell);
  ByteBuffer log;
  const int composed = request.nFilterIndex == kLogWithOutputFilterIndex
                           ? ComposeRunLogWithOutput(state, shell, &log)
                           : ComposeRunLog(state, shell, &log);
  if (!composed) {
    ShowProgramError(dialog, kLogSaveTitle, kErrorNoMemory);
  } else if (!SafeReplaceFile(name, log.data, log.size, nullptr)) {
    ShowSystemError(dialog, kLogSaveTitle);
  }
  FreeByteBuffer(&log);
}

#include "run/run_questions_win32.h"
#include "run/batch_file_win32.h"

#include <cderr.h>

#include <cstring>

#include "support/program_paths.h"
#include "expand/target_check.h"
#include "expand/target_check_win32.h"
#include "params/name_list_win32.h"
#include "run/plan_win32.h"
#include "support/messages.h"
#include "support/byte_buffer.h"
#include "support/dbcs.h"
#include "support/dialog_names.h"
#include "support/file_dialogs_win32.h"
#include "support/message_box_win32.h"
#include "support/safe_replace_win32.h"

namespace {

// Shows what a composition that did not complete leaves for the user to know.
void ReportComposition(HWND dialog, int result) {
  if (result == kBatchLineTooLong) ShowProgramError(dialog, kCommandBuildTitle, kErrorLineTooLong);
  if (result == kBatchOutOfMemory) ShowProgramError(dialog, kBatchFileTitle, kErrorNoMemory);
}

}  // namespace

int WriteBatchFile(HWND owner, const ParameterSet& set, const char* path, int askAboutTargets,
                   const GivenFiles* given, int* planned) {
  TargetRecord targets{};
  RunPlan plan{};
  // The file Run starts (and Confirm shows) runs from the working folder;
  // one saved elsewhere keeps an empty current directory as none.
  MakeSystemPlan(set, kPlanBatch, askAboutTargets ? &targets : nullptr, &plan, given, path == nullptr);
  if (planned != nullptr) *planned = plan.commands.count;
  ByteBuffer text;
  const int result = PrintBatchFile(plan, &text);
  ReportComposition(owner, result);
  ReportLeftOutNames(owner, kBatchFileTitle, plan.leftOut);
  FreeRunPlan(&plan);
  int goOn = result == kBatchComplete;
  if (goOn && askAboutTargets) {
    HANDLE find = INVALID_HANDLE_VALUE;
    CheckTargets(&targets, SystemTargetPlatform(&find));
    goOn = AskAboutTargets(owner, targets);
  }
  FreeTargetRecord(&targets);

  // Only a whole file takes the place of the one there: a file that could
  // not be composed or written leaves the old one as it was.
  int written = 0;
  if (goOn) {
    written = SafeReplaceFile(path != nullptr ? path : g_batchFilePath, text.data, text.size, nullptr);
    if (!written) ShowSystemError(owner, kBatchFileTitle);
  }
  FreeByteBuffer(&text);
  return written;
}

int ChooseBatchFileName(HWND dialog, char* buffer, std::size_t size) {
  char name[kBatchNameSize] = {};
  MakeProposedFileName(buffer, name, sizeof name);
  OPENFILENAMEA dialogData =
      FileDialogRequest(dialog, kSaveBatchFilter, name, sizeof name, kSaveBatchDialogTitle,
                        OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                        kBatchDefaultExtension);
  BOOL chosen = ShowSaveFileDialog(&dialogData);
  if (!chosen && FileDialogError() == FNERR_INVALIDFILENAME) {
    name[0] = '\0';  // a proposal the dialog still refuses: none
    chosen = ShowSaveFileDialog(&dialogData);
  }
  if (!chosen || name[0] == '\0') return 0;
  if (!CopyWholeName(buffer, size, name)) {
    ShowInformationText(dialog, kBatchFileTitle, kChosenPathTooLongText);
    return 0;
  }
  return 1;
}

void SaveBatchAs(HWND dialog, const ParameterSet& set) {
  char name[kRowTextSize] = {};
  std::strncpy(name, GetCurrentSetName(), sizeof name - 1);
  CutToWholeCharacters(name);
  if (ChooseBatchFileName(dialog, name, sizeof name)) WriteBatchFile(dialog, set, name);
}

#include "params/switch_file_win32.h"

#include "support/program_paths.h"
#include "params/field_table.h"
#include "params/name_list_win32.h"
#include "params/param_file.h"
#include "params/param_file_win32.h"
#include "params/param_texts.h"
#include "support/file_dialogs_win32.h"
#include "support/format_text.h"

namespace {

constexpr char kSwitchDefaultExtension[] = "tvx";
constexpr DWORD kChosenNameSize = 261;  // room for 260 characters

// Shows the open-file dialog; 1 with the chosen path in `chosen`, 0 when the
// user cancelled.
int AskParameterFileName(HWND dialog, char* chosen) {
  chosen[0] = '\0';
  OPENFILENAMEA request =
      FileDialogRequest(dialog, kSwitchFilter, chosen, kChosenNameSize, kSwitchTitle,
                        OFN_CREATEPROMPT | OFN_HIDEREADONLY, kSwitchDefaultExtension);
  return ShowOpenFileDialog(&request) ? 1 : 0;
}

void ShowHeldFile(HWND dialog) {
  FillNameList(dialog);
  ApplySetByName(dialog, kDefaultSetName);
}

}  // namespace

int SwitchParameterFile(HWND dialog) {
  char kept[kParameterFilePathSize];
  FormatText(kept, sizeof kept, "%s", g_parameterFilePath);
  for (;;) {
    char chosen[kChosenNameSize];
    if (!AskParameterFileName(dialog, chosen)) return 0;
    SaveSetFromDialog(dialog, kDefaultSetName);
    ReleaseParameterFile();
    if (SetParameterFilePath(chosen) && TakeParameterFile()) {
      ShowHeldFile(dialog);
      return 1;
    }
    FormatText(g_parameterFilePath, kParameterFilePathSize, "%s", kept);
    if (!ReloadParameterFile()) ReportParameterFileNotReloaded(dialog);
    ShowHeldFile(dialog);
  }
}

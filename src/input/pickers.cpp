#include "input/pickers.h"

#include <cstring>

#include "resource.h"
#include "support/dialog_names.h"
#include "support/path_text.h"

namespace {

constexpr PickerButton kPickerButtons[] = {
    {IDC_EXEPATH_BROWSE, IDC_EXEPATH, kFilePicker, "実行プログラム", 1, kNoStartField},
    {IDC_HELPPATH_BROWSE, IDC_HELPPATH, kFilePicker, "ヘルプファイル", 0, IDC_EXEPATH},
    {IDC_CURPATH_BROWSE, IDC_CURPATH, kFolderPicker, kFolderPickerTitle, 0, IDC_EXEPATH},
};

// The directory of a start-place text into `out` (260 bytes); 0 when the
// text is empty or has no backslash.
int StartDirectory(const char* startText, char* out) {
  out[0] = '\0';
  if (startText == nullptr || startText[0] == '\0') return 0;
  CopyPathText(out, startText);
  if (CutToDirectory(out)) return 1;
  out[0] = '\0';
  return 0;
}

}  // namespace

const PickerButton* FindPickerButton(int id) {
  for (const PickerButton& picker : kPickerButtons) {
    if (picker.button == id) return &picker;
  }
  return nullptr;
}

int RunFilePicker(char* name, const char* startText, const FilePickerPlatform& platform) {
  name[kPickNameSize - 1] = '\0';
  if (RemoveEnclosingQuotes(name) == 0) {
    char directory[kPathTextSize];
    if (StartDirectory(startText, directory)) platform.setWorkingDirectory(directory);
  }
  int chosen = platform.showOpenDialog(name);
  if (!chosen && platform.lastDialogError() == kRefusedFileNameError) {
    name[0] = '\0';
    chosen = platform.showOpenDialog(name);
  }
  if (!chosen) return 0;
  // The field is read back in 260 bytes: a longer path would come back cut.
  char path[kPathTextSize];
  if (!CopyWholeName(path, sizeof path, name)) {
    platform.refuseLongPath();
    return 0;
  }
  QuotePathIfBlank(path);
  std::memcpy(name, path, sizeof path);
  return 1;
}

void FolderPickerStart(const char* fieldText, const char* startText, char* out) {
  if (fieldText != nullptr && fieldText[0] != '\0') {
    CopyPathText(out, fieldText);
    return;
  }
  StartDirectory(startText, out);
}

#include "input/pickers_win32.h"

#include <shlobj.h>

#include "input/pickers.h"
#include "support/path_text.h"
#include "support/control_text_win32.h"
#include "support/dialog_names.h"
#include "support/file_dialogs_win32.h"
#include "support/message_box_win32.h"
#include "support/shell_win32.h"

namespace {

// The file-open dialog as the file picker shows it; set for one PickFile.
OPENFILENAMEA* g_openFile = nullptr;

int ShowOpenDialog(char* name) {
  g_openFile->lpstrFile = name;
  return ShowOpenFileDialog(g_openFile) ? 1 : 0;
}

unsigned long LastDialogError() { return FileDialogError(); }

void SetWorkingDirectory(const char* directory) { SetCurrentDirectoryA(directory); }

void RefuseLongPath() {
  ShowInformationText(g_openFile->hwndOwner, kPickerMessageTitle, kChosenPathTooLongText);
}

constexpr FilePickerPlatform kFilePickerPlatform = {ShowOpenDialog, LastDialogError,
                                                    SetWorkingDirectory, RefuseLongPath};

// The text of edit `id` (260 bytes), or null for kNoStartField.
const char* ReadStartText(HWND dialog, int id, char* text) {
  if (id == kNoStartField) return nullptr;
  ReadControlText(dialog, id, text, kPathTextSize);
  return text;
}

void FreeShellItem(LPITEMIDLIST item) {
  IMalloc* allocator = nullptr;
  if (SUCCEEDED(GetShellMallocLate(&allocator)) && allocator != nullptr) {
    allocator->Free(item);
    allocator->Release();
  }
}

}  // namespace

int PickFile(HWND dialog, int field, const char* title, int executablesFirst, int startField) {
  char name[kPickNameSize] = {};
  char fileTitle[kPickNameSize] = {};
  char startText[kPathTextSize];
  ReadControlText(dialog, field, name, kPathTextSize);

  OPENFILENAMEA openFile =
      FileDialogRequest(dialog, executablesFirst ? kExecutablesFirstFilter : kAllFilesFirstFilter,
                        nullptr, sizeof name, title, OFN_PATHMUSTEXIST | OFN_SHOWHELP, nullptr);
  openFile.lpstrFileTitle = fileTitle;
  openFile.nMaxFileTitle = sizeof fileTitle;
  g_openFile = &openFile;
  const int chosen =
      RunFilePicker(name, ReadStartText(dialog, startField, startText), kFilePickerPlatform);
  g_openFile = nullptr;
  if (chosen) SetDlgItemTextA(dialog, field, name);
  return chosen;
}

int PickFolder(HWND dialog, int field, int startField) {
  char fieldText[kPathTextSize];
  char startText[kPathTextSize];
  char initialFolder[kPathTextSize];
  ReadControlText(dialog, field, fieldText, sizeof fieldText);
  FolderPickerStart(fieldText, ReadStartText(dialog, startField, startText), initialFolder);

  char displayName[MAX_PATH] = {};
  BROWSEINFOA browse{};
  browse.hwndOwner = dialog;
  browse.pszDisplayName = displayName;
  browse.lpszTitle = kFolderPickerTitle;
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  browse.lpfn = BrowseFolderCallback;
  browse.lParam = reinterpret_cast<LPARAM>(initialFolder);
  LPITEMIDLIST item = BrowseForFolderLate(&browse);
  if (item == nullptr) return 1;
  char path[MAX_PATH] = {};
  if (PathFromItemListLate(item, path)) SetDlgItemTextA(dialog, field, path);
  FreeShellItem(item);
  return 1;
}

int CALLBACK BrowseFolderCallback(HWND browser, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
  return 0;
}

int RunPickerButton(HWND dialog, int button) {
  const PickerButton* picker = FindPickerButton(button);
  if (picker == nullptr) return 0;
  if (picker->kind == kFolderPicker) return PickFolder(dialog, picker->field, picker->startField);
  return PickFile(dialog, picker->field, picker->title, picker->executablesFirst,
                  picker->startField);
}

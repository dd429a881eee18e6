#include "support/file_dialogs_win32.h"

#include <cderr.h>

namespace {

using FileDialog = BOOL(WINAPI*)(OPENFILENAMEA*);
using DialogError = DWORD(WINAPI*)();

// The named entry of comdlg32, loaded on first use and kept for the rest of
// the run; null when it cannot be had.
template <typename Entry>
Entry Comdlg32Entry(const char* name) {
  static HMODULE library = LoadLibraryA("comdlg32.dll");
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

BOOL ShowFileDialog(const char* name, OPENFILENAMEA* request) {
  FileDialog dialog = Comdlg32Entry<FileDialog>(name);
  return dialog != nullptr ? dialog(request) : FALSE;
}

}  // namespace

BOOL ShowOpenFileDialog(OPENFILENAMEA* request) {
  return ShowFileDialog("GetOpenFileNameA", request);
}

BOOL ShowSaveFileDialog(OPENFILENAMEA* request) {
  return ShowFileDialog("GetSaveFileNameA", request);
}

DWORD FileDialogError() {
  DialogError error = Comdlg32Entry<DialogError>("CommDlgExtendedError");
  return error != nullptr ? error() : CDERR_INITIALIZATION;
}

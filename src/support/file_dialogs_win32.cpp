#include "support/file_dialogs_win32.h"

#include <cderr.h>

#include "support/late_entry_win32.h"

namespace {

using FileDialog = BOOL(WINAPI*)(OPENFILENAMEA*);
using DialogError = DWORD(WINAPI*)();

BOOL ShowFileDialog(FileDialog dialog, OPENFILENAMEA* request) {
  return dialog != nullptr ? dialog(request) : FALSE;
}

}  // namespace

BOOL ShowOpenFileDialog(OPENFILENAMEA* request) {
  static const FileDialog dialog = LateEntry<FileDialog>("comdlg32.dll", "GetOpenFileNameA");
  return ShowFileDialog(dialog, request);
}

BOOL ShowSaveFileDialog(OPENFILENAMEA* request) {
  static const FileDialog dialog = LateEntry<FileDialog>("comdlg32.dll", "GetSaveFileNameA");
  return ShowFileDialog(dialog, request);
}

DWORD FileDialogError() {
  static const DialogError error = LateEntry<DialogError>("comdlg32.dll", "CommDlgExtendedError");
  return error != nullptr ? error() : CDERR_INITIALIZATION;
}

OPENFILENAMEA FileDialogRequest(HWND owner, const char* filter, char* name, DWORD nameSize,
                                const char* title, DWORD flags, const char* defaultExtension) {
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
  request.lpstrFilter = filter;
  request.nFilterIndex = 1;
  request.lpstrFile = name;
  request.nMaxFile = nameSize;
  request.lpstrTitle = title;
  request.Flags = flags;
  request.lpstrDefExt = defaultExtension;
  return request;
}

// The anchor of the start-up benchmark: shows the main dialog template with
// no code behind it, and ends when it is closed.
#include <windows.h>

#include "resource.h"

namespace {

INT_PTR CALLBACK AnchorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return message == WM_INITDIALOG;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, AnchorDialogProc, 0);
  return 0;
}

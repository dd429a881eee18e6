#include "run/output_window_win32.h"

#include "resource.h"
#include "run/output_window.h"
#include "support/window_size_win32.h"

namespace {

struct OutputWindowState {
  HWND dialog;  // null while closed
  HWND edit;
  HWND close;
  int row;
  int entry;
  OutputView view;
  SIZE initialDialog;
  SIZE initialEdit;
  POINT closeFromCorner;  // the button's corner from the client area's bottom right
};

OutputWindowState g_output{};

// Puts the text of `entry` as it is now into the edit. The caret stays at the
// end, so that the view follows new lines, unless the user moved it away.
void UpdateText(const OutputStore& outputs) {
  const LRESULT length = GetWindowTextLengthA(g_output.edit);
  DWORD selEnd = 0;
  SendMessageA(g_output.edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&selEnd));
  const int following = static_cast<LRESULT>(selEnd) >= length;
  const LRESULT firstLine = SendMessageA(g_output.edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  if (g_output.entry < 0) return;  // not started: nothing to show
  ByteBuffer text;
  const int change = UpdateOutputView(outputs, g_output.entry, &g_output.view, &text);
  if (change == kViewSame) return;
  AppendBytes(&text, "", 1);
  if (text.failed) {
    FreeByteBuffer(&text);
    return;
  }
  if (change == kViewMore) {
    SendMessageA(g_output.edit, EM_SETSEL, length, length);
    SendMessageA(g_output.edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.data));
  } else {
    SetWindowTextA(g_output.edit, text.data);
  }
  FreeByteBuffer(&text);
  if (following) {
    const LRESULT end = GetWindowTextLengthA(g_output.edit);
    SendMessageA(g_output.edit, EM_SETSEL, end, end);
    SendMessageA(g_output.edit, EM_SCROLLCARET, 0, 0);
  } else if (change == kViewAnew) {
    SendMessageA(g_output.edit, EM_LINESCROLL, 0, firstLine);
  }
}

BOOL OnInit(HWND dialog, HWND owner) {
  g_output.dialog = dialog;
  g_output.edit = GetDlgItem(dialog, IDC_OUTPUT_TEXT);
  g_output.close = GetDlgItem(dialog, IDCANCEL);
  g_output.initialDialog = OuterSize(dialog);
  g_output.initialEdit = OuterSize(g_output.edit);
  RECT client{}, button{};
  GetClientRect(dialog, &client);
  GetWindowRect(g_output.close, &button);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&button), 2);
  g_output.closeFromCorner = POINT{client.right - button.left, client.bottom - button.top};
  SendMessageA(g_output.edit, EM_SETLIMITTEXT, 0, 0);
  RECT ownerRect{}, work{};
  GetWindowRect(owner, &ownerRect);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  int x = 0, y = 0;
  PlaceOutputWindow(ScreenRect{ownerRect.left, ownerRect.top, ownerRect.right, ownerRect.bottom},
                    g_output.initialDialog.cx, ScreenRect{work.left, work.top, work.right, work.bottom}, &x, &y);
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;  // the focus goes to the first control, 閉じる
}

BOOL OnSize(HWND dialog, WPARAM kind) {
  if (g_output.edit == nullptr || kind == SIZE_MINIMIZED) return FALSE;
  const SIZE now = OuterSize(dialog);
  SetWindowPos(g_output.edit, nullptr, 0, 0, g_output.initialEdit.cx + now.cx - g_output.initialDialog.cx,
               g_output.initialEdit.cy + now.cy - g_output.initialDialog.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(dialog, &client);
  SetWindowPos(g_output.close, nullptr, client.right - g_output.closeFromCorner.x,
               client.bottom - g_output.closeFromCorner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(dialog, nullptr, TRUE);
  return TRUE;
}

BOOL OnGetMinMaxInfo(LPARAM lParam) {
  return KeepMinimumTrackSize(lParam, g_output.initialDialog);
}

BOOL OnClose(HWND dialog) {
  DestroyWindow(dialog);
  return TRUE;
}

BOOL OnDestroy() {
  g_output = OutputWindowState{};
  g_output.row = -1;
  return TRUE;
}

}  // namespace

void ShowOutput(HWND owner, const OutputStore& outputs, int row, int entry, const char* title,
                int activate) {
  const int opening = g_output.dialog == nullptr;
  if (opening) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    if (CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_OUTPUT), owner, OutputWindowProc,
                           reinterpret_cast<LPARAM>(owner)) == nullptr) {
      return;
    }
  }
  if (opening || row != g_output.row || entry != g_output.entry) {
    g_output.row = row;
    g_output.entry = entry;
    g_output.view = OutputView{};
    SetWindowTextA(g_output.dialog, title);
    SetWindowTextA(g_output.edit, "");
    if (!opening) SetWindowPos(g_output.dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  UpdateText(outputs);
  if (opening) ShowWindow(g_output.dialog, SW_SHOW);
  if (activate && !opening) SetActiveWindow(g_output.dialog);
}

int OutputRow() { return g_output.dialog != nullptr ? g_output.row : -1; }

void CloseOutput() {
  if (g_output.dialog != nullptr) DestroyWindow(g_output.dialog);
}

HWND OutputWindow() { return g_output.dialog; }

INT_PTR CALLBACK OutputWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInit(dialog, reinterpret_cast<HWND>(lParam));
    case WM_SIZE: return OnSize(dialog, wParam);
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(lParam);
    case WM_COMMAND: return LOWORD(wParam) == IDCANCEL ? OnClose(dialog) : FALSE;
    case WM_CLOSE: return OnClose(dialog);
    case WM_DESTROY: return OnDestroy();
    default: return FALSE;
  }
}

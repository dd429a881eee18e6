#include "app/main_dialog_win32.h"

#include "app/about.h"
#include "app/about_box_win32.h"
#include "support/main_handle_win32.h"
#include "app/placement_win32.h"
#include "app/send_to_win32.h"
#include "app/set_start_win32.h"
#include "app/startup.h"
#include "run/run_list_win32.h"
#include "run/run_quit_win32.h"
#include "input/argument_rows_win32.h"
#include "input/input_filter_win32.h"
#include "input/pickers_win32.h"
#include "params/field_table.h"
#include "params/name_list_win32.h"
#include "params/param_file_win32.h"
#include "params/param_set_win32.h"
#include "params/switch_file_win32.h"
#include "resource.h"
#include "run/batch_file_win32.h"
#include "settings/settings_win32.h"
#include "run/run_control_win32.h"

namespace {

constexpr int kSmallIconSize = 16;
constexpr UINT kMenuTextSize = 64;

HINSTANCE DialogInstance(HWND dialog) {
  return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
}

// The 16 x 16 image of icon 3 as the small icon, icon 3 at its standard size
// as the big one.
void SetDialogIcons(HWND dialog) {
  HINSTANCE instance = DialogInstance(dialog);
  HANDLE small = LoadImageA(instance, MAKEINTRESOURCEA(IDI_TAVIX), IMAGE_ICON, kSmallIconSize,
                            kSmallIconSize, 0);
  HICON big = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TAVIX));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
}

// Copies the items of menu 104 to the top of the system menu, one by one, so
// that the last item of the resource ends up first.
void ExtendSystemMenu(HWND dialog) {
  HMENU systemMenu = GetSystemMenu(dialog, FALSE);
  HMENU additions = LoadMenuA(DialogInstance(dialog), MAKEINTRESOURCEA(IDM_SYSMENU_ADD));
  if (systemMenu == nullptr || additions == nullptr) {
    if (additions != nullptr) DestroyMenu(additions);
    return;
  }
  for (UINT position = 0;; ++position) {
    char text[kMenuTextSize] = {};
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE | MIIM_DATA;
    item.dwTypeData = text;
    item.cch = kMenuTextSize - 1;
    if (!GetMenuItemInfoA(additions, position, TRUE, &item)) break;
    InsertMenuItemA(systemMenu, 0, TRUE, &item);
  }
  DestroyMenu(additions);
}

BOOL OnInitDialog(HWND dialog) {
  g_mainDialog = dialog;
  RestoreWindowPosition(dialog);
  SetDialogIcons(dialog);
  ExtendSystemMenu(dialog);
  SetWindowTextA(dialog, g_windowTitle);
  FillNameList(dialog);
  ApplySetByName(dialog, kDefaultSetName);
  SetActiveWindow(dialog);
  SetFocus(dialog);
  InstallInputHooks(dialog);
  PostWaitingRequest(dialog);
  return TRUE;
}

BOOL OnDestroy(HWND dialog) {
  RemoveInputHooks();
  ReleaseParameterFile();
  // Closed while minimised, the window is stored where it is restored to.
  long x = 0;
  long y = 0;
  GetRestoredWindowCorner(dialog, &x, &y);
  SaveDialogPosition(x, y);
  return TRUE;
}

// Escape, the close box, Alt+F4: while a run list is open only that closes.
// While taken-in commands still write, the user is asked first. Otherwise
// the screen becomes the set "default" (even if it cannot be written, the
// window closes).
BOOL OnClose(HWND dialog) {
  if (CloseRunList()) return FALSE;
  if (!MayEndWithTakenInOutput(dialog)) return TRUE;
  SaveSetFromDialog(dialog, kDefaultSetName);
  EndDialog(dialog, IDCANCEL);
  return TRUE;
}

// Log-off or shut-down: closing then asks nothing; the system's answer is
// left to the default.
BOOL OnQueryEndSession() {
  NoteSessionEnding();
  return FALSE;
}

BOOL OnNameListCommand(HWND dialog, WORD code) {
  if (code != CBN_SELCHANGE) return TRUE;
  SetLoadingFlag();
  SelectSetFromList(dialog);
  ClearLoadingFlag();
  return TRUE;
}

BOOL OnPathEditCommand(HWND dialog, WORD code) {
  if (code == EN_UPDATE) MarkSetModified(dialog);
  return TRUE;
}

BOOL OnOptionToggle(HWND dialog, int id) {
  ToggleOptionFlag(id);
  UpdateOptionButtonCaption(dialog);
  MarkSetModified(dialog);
  return TRUE;
}

BOOL OnRegister(HWND dialog) {
  RegisterSet(dialog);
  return TRUE;
}

BOOL OnDelete(HWND dialog) {
  DeleteSelectedSet(dialog);
  return TRUE;
}

BOOL OnNew(HWND dialog) {
  ClearSet(dialog);
  return TRUE;
}

// Run, Confirm and Save read the window once; everything below them works
// from that record.
BOOL OnRun(HWND dialog) {
  ParameterSet set;
  ReadParameterSet(dialog, &set);
  RunCommand(dialog, set);
  return TRUE;
}

BOOL OnConfirm(HWND dialog) {
  ParameterSet set;
  ReadParameterSet(dialog, &set);
  ConfirmBatch(dialog, set);
  return TRUE;
}

BOOL OnSaveBatch(HWND dialog) {
  ParameterSet set;
  ReadParameterSet(dialog, &set);
  SaveBatchAs(dialog, set);
  return TRUE;
}

BOOL OnOptionButton(HWND dialog) {
  ShowOptionMenu(dialog);
  return FALSE;
}

BOOL OnPickerButton(HWND dialog, int id) {
  RunPickerButton(dialog, id);
  return TRUE;
}

BOOL OnOpenHelpFile(HWND dialog) {
  ParameterSet set;
  ReadParameterSet(dialog, &set);
  OpenHelpFile(dialog, set.helpText);
  return TRUE;
}

BOOL OnAbout(HWND dialog) {
  ShowAboutBox(dialog, kAboutTitleText, kVersionText, g_buildDateText, kAuthorName,
               kWebPageAddress, kMailAddress);
  return TRUE;
}

BOOL OnShowUsageFile(HWND dialog) {
  ShowUsageFile(dialog);
  return TRUE;
}

BOOL OnSwitchParameterFile(HWND dialog) {
  if (!SwitchParameterFile(dialog)) return TRUE;
  ComposeTitleAndBatchPath();
  SetWindowTextA(dialog, g_windowTitle);
  // The new file's window position and priority live under its own name.
  ResetSettingsSection();
  return TRUE;
}

BOOL OnSendTo(HWND dialog) {
  AddSendToShortcut(dialog);
  return TRUE;
}

// A later start hands its request over; the answer goes back as the
// message's result.
BOOL OnCopyData(HWND dialog, LPARAM lParam) {
  const LRESULT answer = ReceiveHandOver(dialog, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, answer);
  return TRUE;
}

BOOL OnCarryOutRequest(HWND dialog) {
  CarryOutRequest(dialog);
  return TRUE;
}

BOOL OnCommand(HWND dialog, WPARAM wParam) {
  if (OnArgumentRowCommand(dialog, wParam)) return TRUE;
  const WORD id = LOWORD(wParam);
  const WORD code = HIWORD(wParam);
  switch (id) {
    case IDOK: return TRUE;  // Enter in an edit: there is no default button
    case IDCANCEL: return OnClose(dialog);
    case IDC_REGISTER: return OnRegister(dialog);
    case IDC_DELETE: return OnDelete(dialog);
    case IDC_NEW: return OnNew(dialog);
    case IDC_NAME_LIST: return OnNameListCommand(dialog, code);
    case IDC_EXEPATH: case IDC_CURPATH: case IDC_HELPPATH: return OnPathEditCommand(dialog, code);
    case IDC_OPTION: return OnOptionButton(dialog);
    case IDC_EXEPATH_BROWSE: case IDC_CURPATH_BROWSE: case IDC_HELPPATH_BROWSE: return OnPickerButton(dialog, id);
    case IDC_HELP_OPEN: return OnOpenHelpFile(dialog);
    case IDC_RUN: return OnRun(dialog);
    case IDC_CONFIRM: return OnConfirm(dialog);
    case IDM_OPT_BATCHOUT: case IDM_OPT_LASTPAUSE: return OnOptionToggle(dialog, id);
    case IDC_SAVE_BATCH: return OnSaveBatch(dialog);
    default: return FALSE;
  }
}

BOOL OnSysCommand(HWND dialog, WPARAM command) {
  switch (command) {
    case IDM_SWITCH_FILE: return OnSwitchParameterFile(dialog);
    case IDM_ABOUT: return OnAbout(dialog);
    case IDM_USAGE: return OnShowUsageFile(dialog);
    case IDM_SEND_TO: return OnSendTo(dialog);
    default: return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_DESTROY: return OnDestroy(dialog);
    case WM_QUERYENDSESSION: return OnQueryEndSession();
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_SYSCOMMAND: return OnSysCommand(dialog, wParam);
    case WM_COPYDATA: return OnCopyData(dialog, lParam);
    case kCarryOutRequestMessage: return OnCarryOutRequest(dialog);
    default: return FALSE;
  }
}

void ShowOptionMenu(HWND dialog) {
  SetForegroundWindow(dialog);
  SetFocus(dialog);
  POINT cursor{};
  GetCursorPos(&cursor);
  HMENU menu = LoadMenuA(DialogInstance(dialog), MAKEINTRESOURCEA(IDM_OPTION));
  if (menu == nullptr) return;
  HMENU popup = GetSubMenu(menu, 0);
  if (popup != nullptr) {
    for (int index = 0; index < kOptionCount; ++index) {
      if (!GetOptionFlag(g_optionIds[index])) continue;
      MENUITEMINFOA item{};
      item.cbSize = sizeof item;
      item.fMask = MIIM_STATE;
      item.fState = MFS_CHECKED;
      SetMenuItemInfoA(popup, static_cast<UINT>(index), TRUE, &item);
    }
    TrackPopupMenu(popup, TPM_RIGHTALIGN, cursor.x, cursor.y, 0, dialog, nullptr);
  }
  DestroyMenu(menu);
}

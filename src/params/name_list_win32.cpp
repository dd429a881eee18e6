#include "params/name_list_win32.h"

#include <cstring>

#include "params/field_table.h"
#include "params/param_file.h"
#include "params/param_file_win32.h"
#include "params/param_set_win32.h"
#include "params/param_texts.h"
#include "resource.h"
#include "support/control_text_win32.h"
#include "support/format_text.h"
#include "support/message_box_win32.h"

namespace {

// Room for the name read from the name box when a set is deleted.
constexpr int kDeleteNameSize = 256;

// The name last chosen from the name box or registered.
char g_currentSetName[kSetNameSize] = {};

// The name typed into the register dialog.
char g_enteredName[kSetNameSize] = {};

// Set while a set chosen in the name box is being applied.
int g_loadingFlag = 0;

// Copies a name, cut to 63 characters.
void CopySetName(char* target, const char* name) {
  FormatText(target, kSetNameSize, "%s", name);
}

// Register dialog commands.
void OnRegisterInit(HWND dialog) {
  g_enteredName[0] = '\0';
  EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
  SendDlgItemMessageA(dialog, IDC_REGISTER_NAME, EM_LIMITTEXT, kSetNameSize - 1, 0);
  if (g_currentSetName[0] != '\0') SetDlgItemTextA(dialog, IDC_REGISTER_NAME, g_currentSetName);
  SetActiveWindow(dialog);
  SetFocus(dialog);
}

// OK stays disabled until the name has been set or changed once.
void OnRegisterNameCommand(HWND dialog, int code) {
  if (code == EN_UPDATE) EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
}

void OnRegisterOk(HWND dialog) {
  ReadControlText(dialog, IDC_REGISTER_NAME, g_enteredName, kSetNameSize);
  BlankControlBytes(g_enteredName);  // the name as the file will keep it
  EndDialog(dialog, IDOK);
}

void OnRegisterCancel(HWND dialog) {
  EndDialog(dialog, IDCANCEL);
}

}  // namespace

void FillNameList(HWND dialog) {
  SendDlgItemMessageA(dialog, IDC_NAME_LIST, CB_RESETCONTENT, 0, 0);
  for (const StoredSet* set = FirstStoredSet(); set != nullptr; set = set->next) {
    if (std::strcmp(set->name, kDefaultSetName) == 0) continue;
    SendDlgItemMessageA(dialog, IDC_NAME_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(set->name));
  }
}

int ApplySetByName(HWND dialog, const char* name) {
  const StoredSet* set = FindSetForApply(name);
  if (set != nullptr) {
    ApplyStoredSet(dialog, set);
  } else {
    UpdateOptionButtonCaption(dialog);
  }
  return 1;
}

int SelectSetFromList(HWND dialog) {
  char name[kSetNameSize] = {};
  ReadControlText(dialog, IDC_NAME_LIST, name, kSetNameSize);
  if (name[0] == '\0') return 0;
  CopySetName(g_currentSetName, name);
  return ApplySetByName(dialog, g_currentSetName);
}

int RegisterSet(HWND dialog) {
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_REGISTER),
                                   dialog, RegisterDialogProc, 0);
  if (result != IDOK || g_enteredName[0] == '\0') return 0;
  if (!SaveSetFromDialog(dialog, g_enteredName)) return 0;
  if (!ReloadParameterFile()) ReportParameterFileNotReloaded(dialog);
  FillNameList(dialog);
  SendDlgItemMessageA(dialog, IDC_NAME_LIST, CB_SETCURSEL, 0, 0);
  CopySetName(g_currentSetName, g_enteredName);
  return 1;
}

INT_PTR CALLBACK RegisterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnRegisterInit(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_REGISTER_NAME: OnRegisterNameCommand(dialog, HIWORD(wParam)); return TRUE;
        case IDOK: OnRegisterOk(dialog); return TRUE;
        case IDCANCEL: OnRegisterCancel(dialog); return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

int DeleteSelectedSet(HWND dialog) {
  char name[kDeleteNameSize] = {};
  ReadControlText(dialog, IDC_NAME_LIST, name, kDeleteNameSize);
  if (name[0] == '\0' || !DeleteStoredSet(name)) return 0;
  if (!IsParameterFileHeld()) ReportParameterFileNotReloaded(dialog);
  FillNameList(dialog);
  return 1;
}

void ReportParameterFileNotReloaded(HWND dialog) {
  ShowInformationText(dialog, kParameterFileTitle, kParameterFileNotReloadedText);
}

const char* GetCurrentSetName() {
  return g_currentSetName;
}

void MarkSetModified(HWND dialog) {
  if (g_loadingFlag) return;
  SendDlgItemMessageA(dialog, IDC_NAME_LIST, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void SetLoadingFlag() {
  g_loadingFlag = 1;
}

void ClearLoadingFlag() {
  g_loadingFlag = 0;
}

int IsLoadingFlagSet() {
  return g_loadingFlag;
}

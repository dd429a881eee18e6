#include "input/argument_rows_win32.h"

#include "input/pickers.h"
#include "input/pickers_win32.h"
#include "params/name_list_win32.h"
#include "resource.h"

namespace {

struct ArgumentRowIds {
  int switchEdit;
  int spaceBox;
  int fileEdit;
  int browseButton;
};

constexpr ArgumentRowIds kArgumentRows[] = {
    {IDC_ARG1_SWITCH, IDC_ARG1_SPACE, IDC_ARG1_FILE, IDC_ARG1_BROWSE},
    {IDC_ARG2_SWITCH, IDC_ARG2_SPACE, IDC_ARG2_FILE, IDC_ARG2_BROWSE},
    {IDC_ARG3_SWITCH, IDC_ARG3_SPACE, IDC_ARG3_FILE, IDC_ARG3_BROWSE},
    {IDC_ARG4_SWITCH, IDC_ARG4_SPACE, IDC_ARG4_FILE, IDC_ARG4_BROWSE},
    {IDC_ARG5_SWITCH, IDC_ARG5_SPACE, IDC_ARG5_FILE, IDC_ARG5_BROWSE},
    {IDC_ARG6_SWITCH, IDC_ARG6_SPACE, IDC_ARG6_FILE, IDC_ARG6_BROWSE},
    {IDC_ARG7_SWITCH, IDC_ARG7_SPACE, IDC_ARG7_FILE, IDC_ARG7_BROWSE},
    {IDC_ARG8_SWITCH, IDC_ARG8_SPACE, IDC_ARG8_FILE, IDC_ARG8_BROWSE},
};

bool IsRowEdit(const ArgumentRowIds& row, int id) {
  return id == row.switchEdit || id == row.fileEdit;
}

}  // namespace

int OnArgumentRowCommand(HWND dialog, WPARAM command) {
  const int id = LOWORD(command);
  const int code = HIWORD(command);
  for (const ArgumentRowIds& row : kArgumentRows) {
    if (id == row.browseButton) {
      PickFile(dialog, row.fileEdit, kArgumentFilePickerTitle, 0, kNoStartField);
      return 1;
    }
    if ((IsRowEdit(row, id) && code == EN_UPDATE) || (id == row.spaceBox && code == BN_CLICKED)) {
      MarkSetModified(dialog);
    }
  }
  return 0;
}

#include "run/command_line_win32.h"

#include "resource.h"
#include "support/control_text_win32.h"

namespace {

constexpr int kSwitchEditIds[kArgumentRowCount] = {
    IDC_ARG1_SWITCH, IDC_ARG2_SWITCH, IDC_ARG3_SWITCH, IDC_ARG4_SWITCH,
    IDC_ARG5_SWITCH, IDC_ARG6_SWITCH, IDC_ARG7_SWITCH, IDC_ARG8_SWITCH};
constexpr int kSpaceBoxIds[kArgumentRowCount] = {
    IDC_ARG1_SPACE, IDC_ARG2_SPACE, IDC_ARG3_SPACE, IDC_ARG4_SPACE,
    IDC_ARG5_SPACE, IDC_ARG6_SPACE, IDC_ARG7_SPACE, IDC_ARG8_SPACE};
constexpr int kFileEditIds[kArgumentRowCount] = {
    IDC_ARG1_FILE, IDC_ARG2_FILE, IDC_ARG3_FILE, IDC_ARG4_FILE,
    IDC_ARG5_FILE, IDC_ARG6_FILE, IDC_ARG7_FILE, IDC_ARG8_FILE};

}  // namespace

void ReadArgumentRows(HWND dialog, ArgumentRows* rows) {
  for (int i = 0; i < kArgumentRowCount; ++i) {
    ArgumentRow& row = rows->row[i];
    ReadControlText(dialog, kSwitchEditIds[i], row.switchText, kRowTextSize);
    row.spaceOn = IsDlgButtonChecked(dialog, kSpaceBoxIds[i]) == BST_CHECKED;
    ReadControlText(dialog, kFileEditIds[i], row.fileText, kRowTextSize);
  }
}

int BuildArgumentText(HWND dialog, char* out, std::size_t capacity) {
  ArgumentRows rows;
  ReadArgumentRows(dialog, &rows);
  char program[kRowTextSize];
  ReadControlText(dialog, IDC_EXEPATH, program, kRowTextSize);
  return AssembleArgumentText(rows, out, capacity, ProgramLineForm(program, 0));
}

void GetBatchProgramText(HWND dialog, char* out) {
  char text[kRowTextSize];
  ReadControlText(dialog, IDC_EXEPATH, text, kRowTextSize);
  MakeBatchProgramText(text, out);
}

void GetDirectProgramText(HWND dialog, char* out) {
  char text[kRowTextSize];
  ReadControlText(dialog, IDC_EXEPATH, text, kRowTextSize);
  MakeDirectProgramText(text, out);
}

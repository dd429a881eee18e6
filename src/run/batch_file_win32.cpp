#include "run/batch_file_win32.h"


#include <cstring>

#include "support/program_paths.h"
#include "expand/directory_walk_win32.h"
#include "expand/file_expansion_win32.h"
#include "params/field_table.h"
#include "params/name_list_win32.h"
#include "resource.h"
#include "run/command_line_win32.h"
#include "run/launch.h"
#include "support/messages.h"
#include "run/launch_win32.h"
#include "support/byte_buffer.h"
#include "support/control_text_win32.h"
#include "support/dbcs.h"
#include "support/file_dialogs_win32.h"
#include "support/file_io_win32.h"

namespace {

// Writes the composed bytes with one checked write. A write that stops short
// without a system error is reported as a write fault.
int WriteWholeBuffer(HANDLE file, const ByteBuffer& text) {
  if (text.size == 0) return 1;
  SetLastError(NO_ERROR);
  if (WriteBytes(file, text.data, static_cast<DWORD>(text.size)) == text.size) return 1;
  if (GetLastError() == NO_ERROR) SetLastError(ERROR_WRITE_FAULT);
  return 0;
}

// Shows what a composition that did not complete leaves for the user to know.
void ReportComposition(HWND dialog, int result) {
  if (result == kBatchLineTooLong) ShowProgramError(dialog, kCommandBuildTitle, kErrorLineTooLong);
  if (result == kBatchOutOfMemory) ShowProgramError(dialog, kBatchFileTitle, kErrorNoMemory);
}

}  // namespace

void ReadBatchInput(HWND dialog, BatchInput* input) {
  ReadControlText(dialog, IDC_EXEPATH, input->programText, sizeof input->programText);
  ReadControlText(dialog, IDC_CURPATH, input->currentDirectory, sizeof input->currentDirectory);
  ReadArgumentRows(dialog, &input->rows);
  input->pauseAtEnd = GetOptionFlag(kOptionLastPause);
}

int WriteBatchFile(HWND dialog, const char* path) {
  HANDLE file = CreateForWrite(path != nullptr ? path : g_batchFilePath);
  if (file == INVALID_HANDLE_VALUE) {
    ShowSystemError(dialog, kBatchFileTitle);
    return 0;
  }
  BatchInput input;
  ReadBatchInput(dialog, &input);
  ByteBuffer text;
  const BatchSystem system = {&SystemSearchSource(), &SystemWalkPlatform()};
  const int result = ComposeBatchFile(input, system, &text);
  ReportComposition(dialog, result);
  ReportLeftOutNames(dialog, kBatchFileTitle);

  int written = WriteWholeBuffer(file, text);
  if (!written) ShowSystemError(dialog, kBatchFileTitle);
  FreeByteBuffer(&text);
  if (!CloseFile(file) && written) {
    ShowSystemError(dialog, kBatchFileTitle);
    written = 0;
  }
  return result == kBatchComplete && written;
}

int ChooseBatchFileName(HWND dialog, char* buffer, std::size_t size) {
  char name[kBatchNameSize] = {};
  std::strncpy(name, buffer, sizeof name - 1);
  OPENFILENAMEA dialogData{};
  dialogData.lStructSize = sizeof dialogData;
  dialogData.hwndOwner = dialog;
  dialogData.hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
  dialogData.lpstrFilter = kSaveBatchFilter;
  dialogData.nFilterIndex = 1;
  dialogData.lpstrFile = name;
  dialogData.nMaxFile = sizeof name;
  dialogData.lpstrTitle = kSaveBatchDialogTitle;
  dialogData.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
  dialogData.lpstrDefExt = kBatchDefaultExtension;
  if (!ShowSaveFileDialog(&dialogData) || name[0] == '\0' || size == 0) return 0;
  std::size_t length = strnlen(name, size - 1);
  std::memcpy(buffer, name, length);
  buffer[length] = '\0';
  CutToWholeCharacters(buffer);
  return 1;
}

void SaveBatchAs(HWND dialog) {
  char name[kRowTextSize] = {};
  std::strncpy(name, GetCurrentSetName(), sizeof name - 1);
  CutToWholeCharacters(name);
  if (ChooseBatchFileName(dialog, name, sizeof name)) WriteBatchFile(dialog, name);
}

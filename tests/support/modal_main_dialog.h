// The real main dialog run modally in the test process, as start-up runs it,
// so that the dialog loop and the dialog's message-filter hooks take part.
// Windows only.
#pragma once

#include <windows.h>

#include <string>

#include "app/main_dialog_win32.h"
#include "support/main_handle_win32.h"
#include "app/startup.h"
#include "params/param_file.h"
#include "params/param_file_win32.h"
#include "resource.h"
#include "support/format_text.h"
#include "test_env.h"

// Writes `sets` to `path` and takes it as the parameter file, gives the
// window a title of this process's own and runs dialog 101 until it ends.
// `onTimer` is called every 10 ms from the dialog's loop until it kills its
// timer. Returns the dialog's result, or -1 when it could not be run.
inline INT_PTR RunModalMainDialog(const std::string& path, const char* sets, TIMERPROC onTimer) {
  if (!WriteWholeFile(path, sets)) return -1;
  FormatText(g_parameterFilePath, kParameterFilePathSize, "%s", path.c_str());
  if (LoadParameterFile() != 1) return -1;
  FormatText(g_windowTitle, kWindowTitleSize, "modal main dialog %lu", GetCurrentProcessId());
  g_mainDialog = nullptr;
  if (SetTimer(nullptr, 0, 10, onTimer) == 0) return -1;
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
}

// The program's main dialog made from its resources behind a dialog
// procedure that handles nothing, for tests that fill and read its controls
// themselves. Windows only.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "expand/file_expansion.h"
#include "expand/file_expansion_win32.h"
#include "params/param_set_win32.h"
#include "resource.h"
#include "run/command_line.h"

// Control ids of the eight argument rows, row 1 first.
inline constexpr int kSwitchIds[8] = {1010, 1012, 1013, 1014, 1015, 1016, 1017, 1018};
inline constexpr int kSpaceIds[8] = {1011, 1019, 1020, 1021, 1022, 1023, 1024, 1025};
inline constexpr int kFileIds[8] = {1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009};

inline INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

// A hidden main dialog (dialog 101), or null when it could not be made.
inline HWND CreateHiddenMainDialog() {
  return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                            QuietDialogProc, 0);
}

// A test suite whose tests share one hidden main dialog, made before the
// first test and destroyed after the last.
class HiddenMainDialogSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { dialog_ = CreateHiddenMainDialog(); }
  static void TearDownTestSuite() {
    if (dialog_ != nullptr) DestroyWindow(dialog_);
    dialog_ = nullptr;
  }

  inline static HWND dialog_ = nullptr;
};

// The dialog's parameter set, read as a command reads it.
inline ParameterSet ReadSet(HWND dialog) {
  ParameterSet set;
  ReadParameterSet(dialog, &set);
  return set;
}

// The expansion the helpers below step, over the system's file search.
inline HANDLE g_testFind = INVALID_HANDLE_VALUE;
inline const SearchSource g_testSearch = SystemSearchSource(&g_testFind);
inline Expansion g_testExpansion{};

// Ends the expansion the helpers step and starts afresh.
inline void ResetTestExpansion() {
  EndFileExpansion(&g_testExpansion);
  g_testExpansion = Expansion{};
}

// The next argument text of the dialog's rows for a direct run, stepping the
// expansion StartFileExpansion began: 1 when one was built.
inline int BuildArgumentText(HWND dialog, char* out, std::size_t capacity) {
  const ParameterSet set = ReadSet(dialog);
  return AssembleArgumentText(&g_testExpansion, set.rows, out, capacity,
                              ProgramLineForm(set.programText, 0));
}

// Starts the file expansion of the dialog's file texts over the system's
// file search: 1 when a row expands.
inline int StartFileExpansion(HWND dialog, const char* baseDirectory) {
  const ParameterSet set = ReadSet(dialog);
  char fileTexts[8][kRowTextSize];
  for (int i = 0; i < 8; ++i) CopyPathText(fileTexts[i], set.rows.row[i].fileText);
  CopyPathText(g_testExpansion.commandFolder, set.currentDirectory);
  return BeginFileExpansion(&g_testExpansion, fileTexts, baseDirectory, &g_testSearch);
}

// A hidden main dialog per test with the parameter file pointed at a file in
// a fresh scratch folder: for tests of loading, saving and listing sets.
// Windows only.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "hidden_main_dialog.h"
#include "params/field_table.h"
#include "params/param_file.h"
#include "params/param_file_win32.h"
#include "params/param_set_win32.h"
#include "support/format_text.h"
#include "test_env.h"

class ParamFileDialogTest : public ::testing::Test {
 protected:
  // Makes the dialog and a scratch folder named after `dirName`, points the
  // parameter file at `fileName` in it and clears the dialog. Call from SetUp.
  void OpenDialogOn(const char* dirName, const char* fileName) {
    dialog_ = CreateHiddenMainDialog();
    ASSERT_NE(dialog_, nullptr);
    dir_ = MakeTempDir(dirName);
    ASSERT_FALSE(dir_.empty());
    path_ = JoinTestPath(dir_, fileName);
    ASSERT_NO_FATAL_FAILURE(UsePath(path_));
    ClearSet(dialog_);
  }

  void TearDown() override {
    ReleaseParameterFile();
    if (dialog_) DestroyWindow(dialog_);
    SetOptionFlag(kOptionBatchOut, 0);
    SetOptionFlag(kOptionLastPause, 0);
  }

  void UsePath(const std::string& path) {
    ASSERT_GE(FormatText(g_parameterFilePath, kParameterFilePathSize, "%s", path.c_str()), 0);
  }

  // Writes `bytes` as the parameter file and loads it.
  void StartWith(const std::string& bytes) {
    ASSERT_TRUE(WriteWholeFile(path_, bytes));
    ASSERT_EQ(LoadParameterFile(), 1);
  }

  HWND dialog_ = nullptr;
  std::string dir_;
  std::string path_;
};

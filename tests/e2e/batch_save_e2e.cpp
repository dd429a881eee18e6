// Save (button 1047) driven through the window and the save dialog.
#include <gtest/gtest.h>

#include <string>

#include "e2e/driver.h"
#include "e2e/steps.h"
#include "resource.h"
#include "test_env.h"

namespace {

TEST(BatchSave, SavesTheChosenSetUnderTheTypedName) {
  AppFolder folder = PrepareAppFolder("save");
  ASSERT_FALSE(folder.dir.empty());
  ASSERT_TRUE(WriteWholeFile(folder.Path("tavix.tvx"),
                             "[RUN1]\r\nEXEPATH=D:\\BIN\\CC.EXE\r\nCURPATH=D:\\WORK\r\n"
                             "ARG1FILE=a.c\r\nLASTPAUSE=1\r\n"));
  AppProcess app;
  HWND window = StartAndWaitForWindow(&app, folder.exe, DefaultWindowTitle());
  ASSERT_NE(nullptr, window);
  ChooseComboItem(window, IDC_NAME_LIST, 0);

  PostClickButton(window, IDC_SAVE_BATCH);
  HWND dialog = WaitForDialog(app, "バッチファイルに名前を付けて保存");
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("RUN1", FileDialogName(dialog));  // the chosen set's name is proposed
  ASSERT_TRUE(SetFileDialogName(dialog, folder.Path("RUN1")));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  ASSERT_TRUE(WaitForWindowGone(dialog));

  // The name gets ".bat"; nothing is shown and nothing is run.
  EXPECT_EQ(ReadWholeFile(TestDataDir() + "\\batch\\work_pause.bat"),
            ReadWholeFile(folder.Path("RUN1.bat")));
  MessageBoxSeen box;
  EXPECT_FALSE(WaitForMessageBox(app, &box, 500)) << box.caption << box.text;
  EscapeAndExpectExit0(app, window);
}

}  // namespace

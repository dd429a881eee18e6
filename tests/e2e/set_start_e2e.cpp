// Starts that name a stored set: the window showing the set, a second start
// handing its request to the window (whose unsaved edits stay), the busy
// window, and the unattended run's exit codes and log.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "e2e/driver.h"
#include "e2e/steps.h"
#include "resource.h"
#include "test_env.h"

namespace {

const char kSets[] =
    "[default]\r\nEXEPATH=def.exe\r\n"
    "[other]\r\nEXEPATH=other.exe\r\n"
    "[写真]\r\nEXEPATH=photo.exe\r\nARG1FILE=*.jpg\r\n";

DWORD Code(int exitCode) {
  return static_cast<DWORD>(exitCode);
}

// Starts `arguments`, expects one message box titled `caption` whose text
// begins with `begins`, dismisses it and returns the exit code.
DWORD StartExpectingBox(const AppFolder& folder, const std::string& arguments, const std::string& caption,
                        const std::string& begins) {
  AppProcess app;
  EXPECT_TRUE(StartApp(&app, folder.exe, arguments));
  MessageBoxSeen box;
  EXPECT_TRUE(WaitForMessageBox(app, &box)) << arguments;
  EXPECT_EQ(caption, box.caption);
  EXPECT_EQ(begins, box.text.substr(0, begins.size())) << box.text;
  DismissMessageBox(box.window);
  DWORD code = 1234;
  EXPECT_TRUE(WaitForExit(app, &code));
  return code;
}

DWORD StartAndWaitForExit(const AppFolder& folder, const std::string& arguments) {
  AppProcess app;
  EXPECT_TRUE(StartApp(&app, folder.exe, arguments));
  DWORD code = 1234;
  EXPECT_TRUE(WaitForExit(app, &code)) << arguments;
  return code;
}

TEST(SetStart, ShowsTheSetAndTakesLaterStartsWithoutTouchingTheScreen) {
  AppFolder folder = PrepareAppFolder("set_start");
  ASSERT_FALSE(folder.dir.empty());
  ASSERT_TRUE(WriteWholeFile(folder.Path("tavix.tvx"), kSets));
  AppProcess app;
  HWND window = StartAndWaitForWindow(&app, folder.exe, DefaultWindowTitle(), "/set 写真");
  ASSERT_NE(nullptr, window);
  ASSERT_TRUE(WaitUntil([&] { return ControlText(window, IDC_EXEPATH) == "photo.exe"; }));
  EXPECT_EQ(1, ComboSelection(window, IDC_NAME_LIST));
  EXPECT_EQ("*.jpg", ControlText(window, IDC_ARG1_FILE));

  // Edits not registered stay when a later start hands its request over.
  SetControlText(window, IDC_EXEPATH, "edited.exe");
  EXPECT_EQ(0u, StartAndWaitForExit(folder, "/set other"));
  EXPECT_EQ(Code(-1), StartExpectingBox(folder, "/set other /bogus", "タビクス", "/bogus は使えないスイッチです"));
  AppProcess later;
  ASSERT_TRUE(StartApp(&later, folder.exe, "/set 無い"));
  ASSERT_NO_FATAL_FAILURE(ExpectExit0(later));
  MessageBoxSeen box;
  ASSERT_TRUE(WaitForMessageBox(app, &box));
  EXPECT_EQ("タビクス：設定の実行", box.caption);
  EXPECT_EQ(0u, box.text.find("設定「無い」はパラメータファイル")) << box.text;
  // While that box is open, the window is busy: the next start says so.
  EXPECT_EQ(Code(-5), StartExpectingBox(folder, "/set other", "タビクス：二重起動チェック",
                                        "実行中のタビクスで実行リストまたはダイアログが開いている"));
  DismissMessageBox(box.window);
  EXPECT_EQ("edited.exe", ControlText(window, IDC_EXEPATH));
  EXPECT_EQ(-1, ComboSelection(window, IDC_NAME_LIST));

  // An unattended start never hands over: the file is in use.
  EXPECT_EQ(Code(-5), StartAndWaitForExit(folder, "/set other /run /exit"));
  EXPECT_NE(std::string::npos, ReadWholeFile(folder.Path("tavix.log")).find("は使用中です"));
  EscapeAndExpectExit0(app, window);
}

TEST(SetStart, UnattendedStartsEndWithTheirCodeAndLogInsteadOfAsking) {
  AppFolder folder = PrepareAppFolder("set_unattended");
  ASSERT_FALSE(folder.dir.empty());
  ASSERT_TRUE(WriteWholeFile(folder.Path("work.tvx"), kSets));
  EXPECT_EQ(Code(-2), StartAndWaitForExit(folder, "work /set 無い /run /exit"));
  EXPECT_EQ(Code(-1), StartAndWaitForExit(folder, "work /set other /exit"));
  const std::string log = ReadWholeFile(folder.Path("work.log"));
  EXPECT_NE(std::string::npos, log.find("\tタビクス：設定の実行\t設定「無い」はパラメータファイル / ")) << log;
  EXPECT_NE(std::string::npos, log.find("\tタビクス\t/exit は /run と一緒に指定します。")) << log;
  EXPECT_EQ(2, static_cast<int>(std::count(log.begin(), log.end(), '\n'))) << log;
}

// /run /exit waits for the run and ends with the number of commands that
// did not end with 0; the question about targets counts as No unless /yes.
TEST(SetStart, UnattendedRunsEndWithWhatTheirCommandsDid) {
  AppFolder folder = PrepareAppFolder("set_run_exit");
  ASSERT_FALSE(folder.dir.empty());
  const std::string child = JoinTestPath(TestExeDir(), "record_child.exe");
  ASSERT_TRUE(WriteWholeFile(folder.Path("a.in"), "in"));
  ASSERT_TRUE(WriteWholeFile(folder.Path("a.txt"), "kept"));
  ASSERT_TRUE(WriteWholeFile(folder.Path("tavix.tvx"),
                             "[ok]\r\nEXEPATH=" + child + "\r\nARG1FILE=done.txt\r\n"
                             "[fails]\r\nEXEPATH=" + child + "\r\nARG1FILE=exit3.txt\r\n"
                             "[missing]\r\nEXEPATH=" + folder.Path("none.exe") + "\r\n"
                             "[guarded]\r\nEXEPATH=" + child + "\r\nCURPATH=" + folder.dir +
                             "\r\nARG1FILE=" + folder.Path("*.in") + "\r\nARG2FILE=" + folder.Path("*.txt") +
                             "\r\nBATCHOUT=1\r\n"));
  SetEnvironmentVariableA("TAVIX_RECORD_FILE", folder.Path("record.txt").c_str());
  SetEnvironmentVariableA("TAVIX_RECORD_APPEND", "1");
  SetEnvironmentVariableA("TAVIX_RECORD_WAIT", nullptr);
  EXPECT_EQ(0u, StartAndWaitForExit(folder, "/set ok /run /exit"));
  EXPECT_EQ(1u, StartAndWaitForExit(folder, "/set fails /run /exit"));
  EXPECT_EQ(1u, StartAndWaitForExit(folder, "/set missing /run /exit"));
  EXPECT_NE(std::string::npos, ReadWholeFile(folder.Path("tavix.log")).find("\tタビクス：実行失敗\t"));
  EXPECT_EQ(Code(-4), StartAndWaitForExit(folder, "/set guarded /run /exit"));
  const std::string record = ReadWholeFile(folder.Path("record.txt"));
  EXPECT_EQ(2u, static_cast<std::size_t>(std::count(record.begin(), record.end(), '\n')) / 4) << record;
  const std::string log = ReadWholeFile(folder.Path("tavix.log"));
  EXPECT_NE(std::string::npos, log.find("出力先に問題のあるコマンドが 1 件あります")) << log;
  EXPECT_NE(std::string::npos, log.find("→ いいえ (/yes がないため)")) << log;
  EXPECT_EQ(0u, StartAndWaitForExit(folder, "/set guarded /run /exit /yes"));
  EXPECT_NE(std::string::npos, ReadWholeFile(folder.Path("tavix.log")).find("→ はい (/yes)"));
  EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(folder.Path("record.txt")).find("a.txt") != std::string::npos; }));
  SetEnvironmentVariableA("TAVIX_RECORD_FILE", nullptr);
  SetEnvironmentVariableA("TAVIX_RECORD_APPEND", nullptr);
}

}  // namespace

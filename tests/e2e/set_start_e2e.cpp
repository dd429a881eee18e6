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

// Photos in two folders and a set that runs the recording child on each:
// row 1 takes the photo, row 2 names its result beside it.
struct PhotoFolder {
  AppFolder folder;
  std::string child = JoinTestPath(TestExeDir(), "record_child.exe");

  void Prepare(const char* name) {
    folder = PrepareAppFolder(name);
    ASSERT_FALSE(folder.dir.empty());
    for (const char* sub : {"a", "b"}) CreateDirectoryA(folder.Path(sub).c_str(), nullptr);
    for (const char* file : {"a\\x.jpg", "b\\exit3.jpg", "b\\y.jpg", "b\\note.txt", "a\\x.out"}) {
      ASSERT_TRUE(WriteWholeFile(folder.Path(file), "x"));
    }
    ASSERT_TRUE(WriteWholeFile(folder.Path("tavix.tvx"),
                               "[photo]\r\nEXEPATH=" + child + "\r\nARG1FILE=C:\\photos\\*.jpg\r\nARG2FILE=*1.new\r\n"
                               "[guard]\r\nEXEPATH=" + child + "\r\nARG1FILE=*.jpg\r\nARG2FILE=*1.out\r\n"));
    SetEnvironmentVariableA("TAVIX_RECORD_FILE", folder.Path("record.txt").c_str());
    SetEnvironmentVariableA("TAVIX_RECORD_APPEND", "1");
    SetEnvironmentVariableA("TAVIX_RECORD_WAIT", nullptr);
  }
  ~PhotoFolder() {
    SetEnvironmentVariableA("TAVIX_RECORD_FILE", nullptr);
    SetEnvironmentVariableA("TAVIX_RECORD_APPEND", nullptr);
  }
  // Starts the program from the folder, as Explorer would with relative names.
  DWORD Run(const std::string& arguments) {
    AppProcess app;
    EXPECT_TRUE(StartApp(&app, folder.exe, arguments, folder.dir));
    DWORD code = 1234;
    EXPECT_TRUE(WaitForExit(app, &code)) << arguments;
    return code;
  }
  // The arguments and the folder of each start, in start order.
  std::string Starts() const {
    std::string starts;
    std::string record = ReadWholeFile(folder.Path("record.txt"));
    for (std::size_t at = 0; at < record.size();) {
      std::string lines[4];
      for (std::string& line : lines) {
        const std::size_t end = record.find('\n', at);
        line = record.substr(at, end - at);
        at = end == std::string::npos ? record.size() : end + 1;
      }
      starts += lines[0].substr(lines[0].find(".exe") + 5) + " @" + lines[1] + "\n";
    }
    return starts;
  }
};

// Files sent to a set: one command per file in the order given, each run in
// its file's folder; a name the pattern does not match is left out and said.
TEST(SetStart, FilesGivenBecomeTheRunListsCommands) {
  PhotoFolder p;
  ASSERT_NO_FATAL_FAILURE(p.Prepare("set_files"));
  AppProcess app;
  ASSERT_TRUE(StartApp(&app, p.folder.exe, "/set photo b\\y.jpg b\\note.txt \"" + p.folder.Path("a") + "\"",
                       p.folder.dir));
  MessageBoxSeen box;
  ASSERT_TRUE(WaitForMessageBox(app, &box));
  EXPECT_EQ("タビクス：実行", box.caption);
  EXPECT_NE(std::string::npos, box.text.find("パターンに合わないか、パスが長すぎる 1 個を除外しました")) << box.text;
  EXPECT_NE(std::string::npos, box.text.find(p.folder.Path("b\\note.txt"))) << box.text;
  DismissMessageBox(box.window);
  HWND list = WaitForDialog(app, p.child);
  ASSERT_NE(nullptr, list);
  EXPECT_EQ((std::vector<std::string>{p.folder.Path("b\\y.jpg") + " y.new", p.folder.Path("a\\x.jpg") + " x.new"}),
            ListItems(list));
  PostClickButton(list, IDC_RUNLIST_START);
  EXPECT_TRUE(WaitUntil([&] {
    const std::string starts = p.Starts();
    return std::count(starts.begin(), starts.end(), '\n') == 2;
  }));
  EXPECT_EQ(p.folder.Path("b\\y.jpg") + " y.new @" + p.folder.Path("b") + "\n" + p.folder.Path("a\\x.jpg") +
                " x.new @" + p.folder.Path("a") + "\n",
            p.Starts());
  // The window shows the set under the list.
  HWND window = WaitForDialog(app, DefaultWindowTitle());
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(p.child, ControlText(window, IDC_EXEPATH));
  PressEscape(list);
  ASSERT_TRUE(WaitForWindowGone(list));
  EscapeAndExpectExit0(app, window);
}

// Unattended over files: the number of commands that did not end with 0, the
// question about targets declined without /yes, nothing to run; a later
// start hands its files to the window, whose unsaved edits stay.
TEST(SetStart, FilesGivenRunUnattendedOrHandedOver) {
  PhotoFolder p;
  ASSERT_NO_FATAL_FAILURE(p.Prepare("set_files_exit"));
  EXPECT_EQ(1u, p.Run("/set photo a\\x.jpg b\\exit3.jpg /run /exit"));
  EXPECT_EQ(Code(-4), p.Run("/set guard a\\x.jpg b\\y.jpg /run /exit"));
  EXPECT_EQ(0u, p.Run("/set guard b\\y.jpg /run /exit"));
  EXPECT_EQ(Code(-3), p.Run("/set photo b\\note.txt /run /exit"));
  const std::string log = ReadWholeFile(p.folder.Path("tavix.log"));
  EXPECT_NE(std::string::npos, log.find("→ いいえ (/yes がないため)")) << log;
  EXPECT_EQ(p.folder.Path("a\\x.jpg") + " x.new @" + p.folder.Path("a") + "\n" + p.folder.Path("b\\exit3.jpg") +
                " exit3.new @" + p.folder.Path("b") + "\n" + p.folder.Path("b\\y.jpg") + " y.out @" +
                p.folder.Path("b") + "\n",
            p.Starts());

  AppProcess app;
  HWND window = StartAndWaitForWindow(&app, p.folder.exe, DefaultWindowTitle(), "", p.folder.dir);
  ASSERT_NE(nullptr, window);
  SetControlText(window, IDC_EXEPATH, "unsaved.exe");
  EXPECT_EQ(0u, p.Run("/set photo b\\y.jpg"));
  HWND list = WaitForDialog(app, p.child);
  ASSERT_NE(nullptr, list);
  EXPECT_EQ((std::vector<std::string>{p.folder.Path("b\\y.jpg") + " y.new"}), ListItems(list));
  EXPECT_EQ("unsaved.exe", ControlText(window, IDC_EXEPATH));
  PressEscape(list);
  ASSERT_TRUE(WaitForWindowGone(list));
  EscapeAndExpectExit0(app, window);
}

// The window's helpers driven as a user drives them: the about box, the help
// and usage files, the file and folder pickers and Ctrl+Tab.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/driver.h"
#include "e2e/steps.h"
#include "resource.h"
#include "tavix_version.h"
#include "test_env.h"

namespace {

TEST(Window, AboutBoxShowsItsTextOverTheWindow) {
  Session w;
  ASSERT_NO_FATAL_FAILURE(w.Start("about"));
  PostSysCommand(w.window, IDM_ABOUT);
  HWND about = WaitForDialog(w.app, "バージョン情報");
  ASSERT_NE(nullptr, about);
  EXPECT_EQ(w.window, GetWindow(about, GW_OWNER));
  RECT box{}, owner{};
  GetWindowRect(about, &box);
  GetWindowRect(w.window, &owner);
  EXPECT_NEAR(owner.left + owner.right, box.left + box.right, 1) << "not centred";
  EXPECT_NEAR(owner.top + owner.bottom, box.top + box.bottom, 1) << "not centred";
  EXPECT_EQ(
      "タイトル    ： DOSのプログラムをちょっとだけ楽に実行\r\n"
      "バージョン  ： " TAVIX_VERSION_TEXT "\r\n"
      "コンパイル日： " TAVIX_DATE_TEXT "\r\n"
      "\r\n"
      "作った人    ： TAVIX\r\n"
      "WebPage     ： https://tavix.example.org/\r\n"
      "EMAIL       ： tavix@example.org",
      ControlText(about, IDC_ABOUT_TEXT));
  PostClickButton(about, IDOK);
  ASSERT_TRUE(WaitForWindowGone(about));
  ASSERT_NO_FATAL_FAILURE(w.Close());
}

TEST(Window, HelpAndUsageFilesGoToTheShell) {
  Session w;
  ASSERT_NO_FATAL_FAILURE(w.Start("shellfiles"));  // the folder holds no tavix.txt
  SetControlText(w.window, IDC_HELPPATH, w.folder.Path("missing.hlp"));
  const struct {
    bool usage;
    const char* caption;
  } cases[] = {{true, "タビクス：使い方ファイル表示"}, {false, "タビクス：ヘルプ表示"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    if (c.usage) PostSysCommand(w.window, IDM_USAGE);
    if (!c.usage) PostClickButton(w.window, IDC_HELP_OPEN);
    MessageBoxSeen box;
    ASSERT_TRUE(WaitForMessageBox(w.app, &box));
    EXPECT_EQ(c.caption, box.caption);
    EXPECT_EQ("ファイルがありません", box.text);
    EXPECT_EQ(w.window, GetWindow(box.window, GW_OWNER));
    DismissMessageBox(box.window);
    ASSERT_TRUE(WaitForWindowGone(box.window));
  }
  // Beside the program, the usage file opens in the editor of text files.
  ASSERT_TRUE(CopyFileA(JoinTestPath(TestExeDir(), "tavix.txt").c_str(), w.folder.Path("tavix.txt").c_str(), FALSE));
  PostSysCommand(w.window, IDM_USAGE);
  HWND editor = nullptr;
  EXPECT_TRUE(WaitUntil([&] {
    editor = FindWindowA("Notepad", nullptr);
    return editor != nullptr && WindowText(editor).find("tavix.txt") != std::string::npos;
  }));
  if (editor != nullptr) PostMessageA(editor, WM_CLOSE, 0, 0);
  ASSERT_NO_FATAL_FAILURE(w.Close());
}

// Answers the file-open dialog titled `title` with `path`, or cancels it when
// `path` is empty.
void AnswerFileDialog(const AppProcess& app, const char* title, const std::string& path) {
  HWND dialog = WaitForDialog(app, title);
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(path.empty() || SetFileDialogName(dialog, path));
  const int button = path.empty() ? IDCANCEL : IDOK;
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  ASSERT_TRUE(WaitForWindowGone(dialog));
}

TEST(Window, FilePickersWriteTheChosenPathQuotedWhenItHasABlank) {
  Session w;
  ASSERT_NO_FATAL_FAILURE(w.Start("filepick"));
  const std::string tools = w.folder.Path("My Tools");
  ASSERT_TRUE(CreateDirectoryA(tools.c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(tools + "\\cc.exe", ""));
  ASSERT_TRUE(WriteWholeFile(w.folder.Path("a.txt"), ""));
  const struct {
    int button;
    int field;
    const char* title;
    std::string typed;  // empty: Cancel
    std::string expected;
  } cases[] = {
      {IDC_EXEPATH_BROWSE, IDC_EXEPATH, "実行プログラム", tools + "\\cc.exe", "\"" + tools + "\\cc.exe\""},
      {IDC_EXEPATH_BROWSE, IDC_EXEPATH, "実行プログラム", "", "\"" + tools + "\\cc.exe\""},
      {IDC_ARG3_BROWSE, IDC_ARG3_FILE, "引数ファイル", w.folder.Path("a.txt"), w.folder.Path("a.txt")},
      {IDC_HELPPATH_BROWSE, IDC_HELPPATH, "ヘルプファイル", tools + "\\cc.exe", "\"" + tools + "\\cc.exe\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title + (" " + c.typed));
    PostClickButton(w.window, c.button);
    ASSERT_NO_FATAL_FAILURE(AnswerFileDialog(w.app, c.title, c.typed));
    EXPECT_EQ(c.expected, ControlText(w.window, c.field));
  }
  ASSERT_NO_FATAL_FAILURE(w.Close());
}

TEST(Window, FolderBrowserStartsAtTheProgramsFolderAndWritesItBare) {
  Session w;
  ASSERT_NO_FATAL_FAILURE(w.Start("folderpick"));
  // Wine's folder browser cannot select folders below the user's profile
  // folder, where the scratch folders lie: this one lies on drive C itself.
  const std::string work = "C:\\tavix-e2e-" + std::to_string(GetCurrentProcessId()) + " My Work";
  ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
  SetControlText(w.window, IDC_EXEPATH, work + "\\cc.exe");
  PostClickButton(w.window, IDC_CURPATH_BROWSE);
  HWND browser = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND dialog : ProcessDialogs(w.app.Id())) {
      if (dialog != w.window && IsWindowVisible(dialog)) browser = dialog;
    }
    return browser != nullptr;
  }));
  // OK takes the folder selected when the browser opened.
  PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(browser, IDOK)));
  ASSERT_TRUE(WaitForWindowGone(browser));
  EXPECT_EQ(work, ControlText(w.window, IDC_CURPATH));
  RemoveDirectoryA(work.c_str());
  ASSERT_NO_FATAL_FAILURE(w.Close());
}

TEST(Window, CtrlTabMovesWithinAColumnAndStopsAtItsEnds) {
  Session w;
  ASSERT_NO_FATAL_FAILURE(w.Start("ctrltab"));
  struct Press {
    bool ctrl;
    bool shift;
  };
  const Press ctrlTab{true, false}, ctrlShiftTab{true, true}, tab{false, false};
  const struct {
    int from;
    std::vector<Press> presses;
    int to;
  } cases[] = {
      {IDC_CURPATH, {ctrlTab}, IDC_EXEPATH},
      {IDC_EXEPATH, {ctrlTab}, IDC_ARG1_FILE},
      {IDC_ARG8_FILE, {ctrlTab}, IDC_HELPPATH},
      // At an end the key is swallowed: the next press moves from there.
      {IDC_HELPPATH, {ctrlTab, ctrlShiftTab}, IDC_ARG8_FILE},
      {IDC_CURPATH, {ctrlShiftTab, ctrlTab}, IDC_EXEPATH},
      {IDC_ARG8_SWITCH, {ctrlTab, ctrlShiftTab}, IDC_ARG7_SWITCH},
      {IDC_ARG1_SPACE, {ctrlTab}, IDC_ARG2_SPACE},
      {IDC_ARG2_BROWSE, {ctrlShiftTab}, IDC_ARG1_BROWSE},
      // Without Ctrl, Tab goes through the whole dialog.
      {IDC_ARG1_SWITCH, {tab}, IDC_ARG1_SPACE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "from " << c.from << " to " << c.to);
    FocusControl(w.window, c.from);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlId(w.window) == c.from; }));
    for (const Press& press : c.presses) PressTab(press.ctrl, press.shift);
    EXPECT_TRUE(WaitUntil([&] { return FocusedControlId(w.window) == c.to; }, 3000))
        << "focus on " << FocusedControlId(w.window);
  }
  ASSERT_NO_FATAL_FAILURE(w.Close());
}

}  // namespace

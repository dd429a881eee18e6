// The main dialog driven from outside: registering, choosing, deleting and
// clearing sets, the name box following edits, the option toggles, switching
// the parameter file, and a parameter file that cannot be rewritten.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/driver.h"
#include "e2e/steps.h"
#include "params/param_texts.h"
#include "resource.h"
#include "test_env.h"

namespace {

using Names = std::vector<std::string>;

const char kRegisterTitle[] = "パラメータの登録";

// Registers the screen under `name` through the register dialog.
void Register(HWND window, const AppProcess& app, const std::string& name) {
  PostClickButton(window, IDC_REGISTER);
  HWND dialog = WaitForDialog(app, kRegisterTitle);
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(SetControlText(dialog, IDC_REGISTER_NAME, name));
  ASSERT_TRUE(WaitUntil([&] { return IsControlEnabled(dialog, IDOK); }));
  PostClickButton(dialog, IDOK);
  ASSERT_TRUE(WaitForWindowGone(dialog));
}

// Fills the fields that the tests below use.
void Fill(HWND window, const std::string& tag) {
  SetControlText(window, IDC_EXEPATH, tag + ".exe");
  SetControlText(window, IDC_CURPATH, "D:\\" + tag);
  SetControlText(window, IDC_ARG1_SWITCH, "-" + tag);
  SetControlText(window, IDC_ARG1_FILE, tag + ".c");
}

// The lines Fill(tag) leaves in a saved set.
std::string FilledLines(const std::string& tag) {
  return "EXEPATH=" + tag + ".exe\r\nCURPATH=D:\\" + tag + "\r\nARG1SWITCH=-" + tag + "\r\nARG1FILE=" + tag +
         ".c\r\n";
}

void ExpectFilled(HWND window, const std::string& tag) {
  EXPECT_EQ(tag + ".exe", ControlText(window, IDC_EXEPATH));
  EXPECT_EQ("D:\\" + tag, ControlText(window, IDC_CURPATH));
  EXPECT_EQ("-" + tag, ControlText(window, IDC_ARG1_SWITCH));
  EXPECT_EQ(tag + ".c", ControlText(window, IDC_ARG1_FILE));
}

int IndexOf(HWND window, const std::string& name) {
  const Names names = ComboItems(window, IDC_NAME_LIST);
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<int>(i);
  }
  return -1;
}

TEST(MainDialog, RegisterListsAndSelectsTheName) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(s.Start("register"));
  Fill(s.window, "cc");

  // Cancel changes nothing.
  PostClickButton(s.window, IDC_REGISTER);
  HWND dialog = WaitForDialog(s.app, kRegisterTitle);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(s.window, GetWindow(dialog, GW_OWNER));
  EXPECT_FALSE(IsControlEnabled(dialog, IDOK));
  PostClickButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(dialog));
  EXPECT_EQ(Names{}, ComboItems(s.window, IDC_NAME_LIST));

  ASSERT_NO_FATAL_FAILURE(Register(s.window, s.app, "cc"));
  EXPECT_EQ(Names{"cc"}, ComboItems(s.window, IDC_NAME_LIST));
  EXPECT_EQ(0, ComboSelection(s.window, IDC_NAME_LIST));
  EXPECT_EQ("cc", ControlText(s.window, IDC_NAME_LIST));
  ExpectFilled(s.window, "cc");

  Fill(s.window, "ld");
  ASSERT_NO_FATAL_FAILURE(Register(s.window, s.app, "ld"));
  EXPECT_EQ((Names{"ld", "cc"}), ComboItems(s.window, IDC_NAME_LIST));
  EXPECT_EQ(0, ComboSelection(s.window, IDC_NAME_LIST));

  ASSERT_NO_FATAL_FAILURE(s.Close());
  EXPECT_EQ("[default]\r\n" + FilledLines("ld") + "[ld]\r\n" + FilledLines("ld") + "[cc]\r\n" + FilledLines("cc"),
            ReadWholeFile(s.folder.Path("tavix.tvx")));
}

TEST(MainDialog, ChoosingANameAppliesItAndAnyEditClearsTheSelection) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(s.Start("choose"));
  Fill(s.window, "one");
  ClickButton(s.window, IDC_ARG8_SPACE);
  SendCommand(s.window, IDM_OPT_LASTPAUSE);
  ASSERT_NO_FATAL_FAILURE(Register(s.window, s.app, "one"));
  ClickButton(s.window, IDC_NEW);
  Fill(s.window, "two");
  ASSERT_NO_FATAL_FAILURE(Register(s.window, s.app, "two"));

  // Each user change of a field blanks the name box.
  struct Edit {
    const char* what;
    int id;
    int kind;  // 0 = edit text, 1 = click, 2 = option command
  };
  const Edit edits[] = {
      {"executable", IDC_EXEPATH, 0},     {"current directory", IDC_CURPATH, 0},
      {"help file", IDC_HELPPATH, 0},     {"row 1 switch", IDC_ARG1_SWITCH, 0},
      {"row 5 switch", IDC_ARG5_SWITCH, 0}, {"row 8 file", IDC_ARG8_FILE, 0},
      {"row 2 file", IDC_ARG2_FILE, 0},   {"row 3 space", IDC_ARG3_SPACE, 1},
      {"batch option", IDM_OPT_BATCHOUT, 2}, {"pause option", IDM_OPT_LASTPAUSE, 2},
  };
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.what);
    const int one = IndexOf(s.window, "one");
    ASSERT_GE(one, 0);
    ChooseComboItem(s.window, IDC_NAME_LIST, one);
    EXPECT_EQ(one, ComboSelection(s.window, IDC_NAME_LIST));
    ExpectFilled(s.window, "one");
    EXPECT_EQ(BST_CHECKED, CheckState(s.window, IDC_ARG8_SPACE));
    EXPECT_EQ("設定(&P)[01]", ControlText(s.window, IDC_OPTION));

    if (edit.kind == 0) SetControlText(s.window, edit.id, "x");
    if (edit.kind == 1) ClickButton(s.window, edit.id);
    if (edit.kind == 2) SendCommand(s.window, edit.id);
    EXPECT_EQ(-1, ComboSelection(s.window, IDC_NAME_LIST));
    EXPECT_EQ("", ControlText(s.window, IDC_NAME_LIST));
  }

  // Choosing the other set applies all of it.
  ChooseComboItem(s.window, IDC_NAME_LIST, IndexOf(s.window, "two"));
  ExpectFilled(s.window, "two");
  EXPECT_EQ(BST_UNCHECKED, CheckState(s.window, IDC_ARG8_SPACE));
  EXPECT_EQ("", ControlText(s.window, IDC_HELPPATH));
  EXPECT_EQ("設定(&P)[00]", ControlText(s.window, IDC_OPTION));
  EXPECT_EQ("two", ControlText(s.window, IDC_NAME_LIST));
  ASSERT_NO_FATAL_FAILURE(s.Close());
}

TEST(MainDialog, DeleteRemovesTheChosenSetAndNewClearsTheScreen) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(s.Start("delete"));
  for (const char* name : {"a", "b", "c"}) {
    Fill(s.window, name);
    ASSERT_NO_FATAL_FAILURE(Register(s.window, s.app, name));
  }
  ASSERT_EQ((Names{"c", "b", "a"}), ComboItems(s.window, IDC_NAME_LIST));

  // A blank name box deletes nothing.
  Fill(s.window, "z");
  ASSERT_EQ(-1, ComboSelection(s.window, IDC_NAME_LIST));
  ClickButton(s.window, IDC_DELETE);
  EXPECT_EQ((Names{"c", "b", "a"}), ComboItems(s.window, IDC_NAME_LIST));

  ChooseComboItem(s.window, IDC_NAME_LIST, 1);
  ExpectFilled(s.window, "b");
  ClickButton(s.window, IDC_DELETE);
  EXPECT_EQ((Names{"c", "a"}), ComboItems(s.window, IDC_NAME_LIST));
  EXPECT_EQ(-1, ComboSelection(s.window, IDC_NAME_LIST));
  ExpectFilled(s.window, "b");  // the screen stays

  SendCommand(s.window, IDM_OPT_BATCHOUT);
  ClickButton(s.window, IDC_ARG4_SPACE);
  ChooseComboItem(s.window, IDC_NAME_LIST, 0);
  ClickButton(s.window, IDC_NEW);
  for (int id : {IDC_EXEPATH, IDC_CURPATH, IDC_HELPPATH, IDC_ARG1_SWITCH, IDC_ARG1_FILE}) {
    EXPECT_EQ("", ControlText(s.window, id)) << id;
  }
  EXPECT_EQ(BST_UNCHECKED, CheckState(s.window, IDC_ARG4_SPACE));
  EXPECT_EQ("設定(&P)[00]", ControlText(s.window, IDC_OPTION));
  EXPECT_EQ(-1, ComboSelection(s.window, IDC_NAME_LIST));

  // Register proposes the name last chosen, also after New.
  PostClickButton(s.window, IDC_REGISTER);
  HWND dialog = WaitForDialog(s.app, kRegisterTitle);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("c", ControlText(dialog, IDC_REGISTER_NAME));
  PostClickButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(dialog));

  ASSERT_NO_FATAL_FAILURE(s.Close());
  EXPECT_EQ("[default]\r\n[c]\r\n" + FilledLines("c") + "[a]\r\n" + FilledLines("a"),
            ReadWholeFile(s.folder.Path("tavix.tvx")));
}

TEST(MainDialog, EnterDoesNotCloseTheWindow) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(s.Start("enter"));
  HWND edit = Control(s.window, IDC_EXEPATH);
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageA(edit, WM_KEYUP, VK_RETURN, 1 | (3u << 30));
  // Posted messages arrive in order (sent ones, such as the reads below, do
  // not wait for them): once this character is in the edit, Enter has been
  // handled.
  PostMessageA(edit, WM_CHAR, 'x', 1);
  ASSERT_TRUE(WaitUntil([&] { return !s.app.Running() || ControlText(s.window, IDC_EXEPATH) == "x"; }));
  EXPECT_TRUE(s.app.Running());
  EXPECT_TRUE(IsWindow(s.window));
  EXPECT_EQ("x", ControlText(s.window, IDC_EXEPATH));
  ASSERT_NO_FATAL_FAILURE(s.Close());
  EXPECT_EQ("[default]\r\nEXEPATH=x\r\n", ReadWholeFile(s.folder.Path("tavix.tvx")));
}

// Answers the open-file dialog of the switch with `path`; a missing file is
// created after the dialog asks.
void ChooseParameterFileInDialog(const AppProcess& app, const std::string& path, bool expectCreatePrompt) {
  HWND dialog = WaitForDialog(app, kSwitchTitle);
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(SetFileDialogName(dialog, path)) << ::testing::PrintToString(DescribeChildren(dialog));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  if (expectCreatePrompt) {
    MessageBoxSeen box;
    ASSERT_TRUE(WaitForMessageBox(app, &box));
    DismissMessageBox(box.window, IDYES);
  }
  ASSERT_TRUE(WaitForWindowGone(dialog));
}

TEST(MainDialog, SwitchesToAnotherParameterFileAndBack) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(s.Start("switch"));
  Fill(s.window, "base");
  ASSERT_NO_FATAL_FAILURE(Register(s.window, s.app, "base"));
  SetControlText(s.window, IDC_HELPPATH, "base.hlp");

  // Cancel keeps everything.
  PostSysCommand(s.window, IDM_SWITCH_FILE);
  HWND dialog = WaitForDialog(s.app, kSwitchTitle);
  ASSERT_NE(nullptr, dialog);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitForWindowGone(dialog));
  EXPECT_EQ(DefaultWindowTitle(), WindowText(s.window));
  EXPECT_EQ("base.hlp", ControlText(s.window, IDC_HELPPATH));

  // A new file: created, empty list, cleared screen, bracketed title; the
  // screen was kept as "default" of the old file, which is now free.
  PostSysCommand(s.window, IDM_SWITCH_FILE);
  ASSERT_NO_FATAL_FAILURE(ChooseParameterFileInDialog(s.app, s.folder.Path("work.tvx"), true));
  ASSERT_TRUE(WaitUntil([&] { return WindowText(s.window) == WindowTitleFor("work"); }));
  EXPECT_EQ(Names{}, ComboItems(s.window, IDC_NAME_LIST));
  EXPECT_EQ("", ControlText(s.window, IDC_EXEPATH));
  EXPECT_EQ("", ControlText(s.window, IDC_HELPPATH));
  EXPECT_EQ(
      "[default]\r\nEXEPATH=base.exe\r\nCURPATH=D:\\base\r\nHELPPATH=base.hlp\r\nARG1SWITCH=-base\r\n"
      "ARG1FILE=base.c\r\n[base]\r\n" + FilledLines("base"),
      ReadWholeFile(s.folder.Path("tavix.tvx")));
  EXPECT_FALSE(CanReadFile(s.folder.Path("work.tvx"))) << "work.tvx is not held";

  Fill(s.window, "work");
  PostSysCommand(s.window, IDM_SWITCH_FILE);
  ASSERT_NO_FATAL_FAILURE(ChooseParameterFileInDialog(s.app, s.folder.Path("tavix.tvx"), false));
  ASSERT_TRUE(WaitUntil([&] { return WindowText(s.window) == DefaultWindowTitle(); }));
  EXPECT_EQ(Names{"base"}, ComboItems(s.window, IDC_NAME_LIST));
  ExpectFilled(s.window, "base");
  EXPECT_EQ("base.hlp", ControlText(s.window, IDC_HELPPATH));
  EXPECT_EQ("[default]\r\n" + FilledLines("work"), ReadWholeFile(s.folder.Path("work.tvx")));
  ASSERT_NO_FATAL_FAILURE(s.Close());
}

TEST(MainDialog, SwitchDialogOffersParameterFilesAndAddsTheirExtension) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(s.Start("switchdialog"));
  ASSERT_TRUE(WriteWholeFile(s.folder.Path("work.tvx"), "[default]\r\nEXEPATH=w.exe\r\n"));
  PostSysCommand(s.window, IDM_SWITCH_FILE);
  HWND dialog = WaitForDialog(s.app, kSwitchTitle);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(s.window, GetWindow(dialog, GW_OWNER));
  constexpr int kFileTypeCombo = 0x470;  // cmb1
  constexpr int kReadOnlyBox = 0x410;    // chx1
  EXPECT_EQ((Names{"TAVIXパラメータファイル (*.tvx)", "すべてのファイル (*.*)"}), ComboItems(dialog, kFileTypeCombo));
  EXPECT_EQ(0, ComboSelection(dialog, kFileTypeCombo));
  HWND readOnly = Control(dialog, kReadOnlyBox);
  EXPECT_TRUE(readOnly == nullptr || !IsWindowVisible(readOnly));

  // "work" is work.tvx, which exists: the dialog asks nothing and the
  // program switches to it.
  ASSERT_TRUE(SetFileDialogName(dialog, s.folder.Path("work")));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  ASSERT_TRUE(WaitUntil([&] { return WindowText(s.window) == WindowTitleFor("work"); }));
  EXPECT_EQ("w.exe", ControlText(s.window, IDC_EXEPATH));
  RECT rect{};
  GetWindowRect(s.window, &rect);
  ASSERT_NO_FATAL_FAILURE(s.Close());
  // The position is kept for the file in use at the end.
  EXPECT_EQ("[work]\r\nDialogCurrentPositionX=" + std::to_string(rect.left) +
                "\r\nDialogCurrentPositionY=" + std::to_string(rect.top) + "\r\n",
            ReadWholeFile(s.folder.Path("tavix.ini")));
}

TEST(MainDialog, SwitchToAFileWithoutDefaultKeepsTheScreen) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(s.Start("nodefault"));
  ASSERT_TRUE(WriteWholeFile(s.folder.Path("other.tvx"), "[x]\r\nEXEPATH=x.exe\r\n[y]\r\n"));
  Fill(s.window, "screen");
  PostSysCommand(s.window, IDM_SWITCH_FILE);
  ASSERT_NO_FATAL_FAILURE(ChooseParameterFileInDialog(s.app, s.folder.Path("other.tvx"), false));
  ASSERT_TRUE(WaitUntil([&] { return WindowText(s.window) == WindowTitleFor("other"); }));
  EXPECT_EQ((Names{"x", "y"}), ComboItems(s.window, IDC_NAME_LIST));
  EXPECT_EQ(-1, ComboSelection(s.window, IDC_NAME_LIST));
  ExpectFilled(s.window, "screen");
  ASSERT_NO_FATAL_FAILURE(s.Close());
  EXPECT_EQ("[default]\r\n" + FilledLines("screen") + "[x]\r\nEXEPATH=x.exe\r\n[y]\r\n",
            ReadWholeFile(s.folder.Path("other.tvx")));
}

TEST(MainDialog, SwitchToAFileHeldByAnotherCopyAsksAgain) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(s.Start("held"));
  AppProcess other;
  HWND otherWindow = StartAndWaitForWindow(&other, s.folder.exe, WindowTitleFor("held"), "held");
  ASSERT_NE(nullptr, otherWindow);

  SetControlText(s.window, IDC_EXEPATH, "mine.exe");
  PostSysCommand(s.window, IDM_SWITCH_FILE);
  ASSERT_NO_FATAL_FAILURE(ChooseParameterFileInDialog(s.app, s.folder.Path("held.tvx"), false));
  // Back on the old file, asked again.
  HWND again = WaitForDialog(s.app, kSwitchTitle);
  ASSERT_NE(nullptr, again);
  EXPECT_EQ(DefaultWindowTitle(), WindowText(s.window));
  EXPECT_EQ("mine.exe", ControlText(s.window, IDC_EXEPATH));
  PostMessageA(again, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitForWindowGone(again));
  EXPECT_EQ(DefaultWindowTitle(), WindowText(s.window));

  // The old file is held again.
  EXPECT_FALSE(CanReadFile(s.folder.Path("tavix.tvx")));
  ASSERT_NO_FATAL_FAILURE(s.Close());
  EXPECT_EQ("[default]\r\nEXEPATH=mine.exe\r\n", ReadWholeFile(s.folder.Path("tavix.tvx")));

  EscapeAndExpectExit0(other, otherWindow);
}

TEST(MainDialog, KeepsRunningWhenTheParameterFileCannotBeRewritten) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(s.Start("rewrite"));
  Fill(s.window, "kept");
  ASSERT_NO_FATAL_FAILURE(Register(s.window, s.app, "kept"));

  // Another program writes to the file without letting anyone replace it.
  const std::string path = s.folder.Path("tavix.tvx");
  HANDLE blocker = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, blocker);

  Fill(s.window, "lost");
  ASSERT_NO_FATAL_FAILURE(Register(s.window, s.app, "lost"));
  EXPECT_TRUE(s.app.Running());
  EXPECT_EQ(Names{"kept"}, ComboItems(s.window, IDC_NAME_LIST));
  ChooseComboItem(s.window, IDC_NAME_LIST, 0);
  ExpectFilled(s.window, "kept");

  Fill(s.window, "closing");
  ASSERT_NO_FATAL_FAILURE(s.Close());
  CloseHandle(blocker);
  EXPECT_EQ("[kept]\r\n" + FilledLines("kept"), ReadWholeFile(path));
}

}  // namespace

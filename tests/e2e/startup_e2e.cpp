// Start-up of tavix.exe seen from outside: the title, the parameter file it
// creates and keeps, the hand-over to a running copy, and the start-up
// messages.
#include <gtest/gtest.h>

#include <string>

#include "e2e/driver.h"
#include "e2e/steps.h"
#include "resource.h"
#include "system_text.h"
#include "test_env.h"

namespace {

constexpr DWORD kExitFailed = static_cast<DWORD>(-1);

bool FileExistsAt(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Starts `exe` with `arguments`, expects one start-up message with `text`,
// dismisses it and expects exit code -1 without a window.
void ExpectStartupMessageFrom(const std::string& exe, const std::string& arguments, const std::string& text) {
  AppProcess app;
  ASSERT_TRUE(StartApp(&app, exe, arguments));
  MessageBoxSeen box;
  ASSERT_TRUE(WaitForMessageBox(app, &box)) << "no message for " << arguments;
  EXPECT_EQ("タビクス", box.caption);
  EXPECT_EQ(text, box.text);
  EXPECT_EQ(nullptr, GetWindow(box.window, GW_OWNER));
  for (HWND window : ProcessDialogs(app.Id())) {
    EXPECT_TRUE(IsMessageBox(window)) << "unexpected window " << WindowText(window);
  }
  DismissMessageBox(box.window);
  DWORD code = 0;
  ASSERT_TRUE(WaitForExit(app, &code));
  EXPECT_EQ(kExitFailed, code);
}

void ExpectStartupMessage(const AppFolder& folder, const std::string& arguments, const std::string& text) {
  ExpectStartupMessageFrom(folder.exe, arguments, text);
}

TEST(Startup, OpensTheDefaultFileAndEndsOnEscape) {
  AppFolder folder = PrepareAppFolder("start");
  ASSERT_FALSE(folder.dir.empty());
  AppProcess app;
  HWND window = StartAndWaitForWindow(&app, folder.exe, DefaultWindowTitle());
  ASSERT_NE(nullptr, window);

  // Created empty beside the executable and held: nobody else may read it.
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExA(folder.Path("tavix.tvx").c_str(), GetFileExInfoStandard, &data))
      << "tavix.tvx was not created beside the executable";
  EXPECT_EQ(0u, data.nFileSizeLow);
  EXPECT_FALSE(CanReadFile(folder.Path("tavix.tvx")));
  EXPECT_EQ(0, ComboCount(window, IDC_NAME_LIST));
  EXPECT_EQ("設定(&P)[00]", ControlText(window, IDC_OPTION));

  const struct {
    int id;
    const char* text;
  } fields[] = {
      {IDC_EXEPATH, "C:\\tools\\cc.exe"},
      {IDC_CURPATH, "D:\\作業"},
      {IDC_ARG1_SWITCH, "-o"},
      {IDC_ARG8_FILE, "*.c"},
      {IDC_HELPPATH, "C:\\tools\\cc.hlp"},
  };
  for (const auto& field : fields) ASSERT_TRUE(SetControlText(window, field.id, field.text));
  for (const auto& field : fields) EXPECT_EQ(field.text, ControlText(window, field.id));

  EscapeAndExpectExit0(app, window);
  EXPECT_EQ(
      "[default]\r\n"
      "EXEPATH=C:\\tools\\cc.exe\r\n"
      "CURPATH=D:\\作業\r\n"
      "HELPPATH=C:\\tools\\cc.hlp\r\n"
      "ARG1SWITCH=-o\r\n"
      "ARG8FILE=*.c\r\n",
      ReadWholeFile(folder.Path("tavix.tvx")));
}

TEST(Startup, KeepsTheScreenAsDefaultForTheNextStart) {
  AppFolder folder = PrepareAppFolder("keep");
  ASSERT_FALSE(folder.dir.empty());
  {
    AppProcess app;
    HWND window = StartAndWaitForWindow(&app, folder.exe, DefaultWindowTitle());
    ASSERT_NE(nullptr, window);
    SetControlText(window, IDC_EXEPATH, "D:\\tools\\cc.exe");
    SetControlText(window, IDC_CURPATH, "D:\\work");
    SetControlText(window, IDC_ARG1_SWITCH, "-o");
    ClickButton(window, IDC_ARG1_SPACE);
    SetControlText(window, IDC_ARG1_FILE, "out.exe");
    SetControlText(window, IDC_ARG2_FILE, "*.c");
    SendCommand(window, IDM_OPT_BATCHOUT);
    EXPECT_EQ("設定(&P)[10]", ControlText(window, IDC_OPTION));
    PressCloseBox(window);
    ASSERT_NO_FATAL_FAILURE(ExpectExit0(app));
  }
  EXPECT_EQ(
      "[default]\r\n"
      "EXEPATH=D:\\tools\\cc.exe\r\n"
      "CURPATH=D:\\work\r\n"
      "ARG1SWITCH=-o\r\n"
      "ARG1SPACE=1\r\n"
      "ARG1FILE=out.exe\r\n"
      "ARG2FILE=*.c\r\n"
      "BATCHOUT=1\r\n",
      ReadWholeFile(folder.Path("tavix.tvx")));

  AppProcess again;
  HWND window = StartAndWaitForWindow(&again, folder.exe, DefaultWindowTitle());
  ASSERT_NE(nullptr, window);
  EXPECT_EQ("D:\\tools\\cc.exe", ControlText(window, IDC_EXEPATH));
  EXPECT_EQ("D:\\work", ControlText(window, IDC_CURPATH));
  EXPECT_EQ("", ControlText(window, IDC_HELPPATH));
  EXPECT_EQ("-o", ControlText(window, IDC_ARG1_SWITCH));
  EXPECT_EQ(BST_CHECKED, CheckState(window, IDC_ARG1_SPACE));
  EXPECT_EQ(BST_UNCHECKED, CheckState(window, IDC_ARG2_SPACE));
  EXPECT_EQ("out.exe", ControlText(window, IDC_ARG1_FILE));
  EXPECT_EQ("*.c", ControlText(window, IDC_ARG2_FILE));
  EXPECT_EQ("設定(&P)[10]", ControlText(window, IDC_OPTION));
  EXPECT_EQ(0, ComboCount(window, IDC_NAME_LIST));
  EscapeAndExpectExit0(again, window);
}

TEST(Startup, SecondStartOnTheSameFileHandsOverToTheFirst) {
  AppFolder folder = PrepareAppFolder("twice");
  ASSERT_FALSE(folder.dir.empty());
  AppProcess first;
  HWND window = StartAndWaitForWindow(&first, folder.exe, DefaultWindowTitle());
  ASSERT_NE(nullptr, window);
  SetControlText(window, IDC_EXEPATH, "kept.exe");
  // A copy on another file takes the foreground first.
  AppProcess other;
  HWND otherWindow = StartAndWaitForWindow(&other, folder.exe, WindowTitleFor("work"), "work");
  ASSERT_NE(nullptr, otherWindow);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == otherWindow; }));

  AppProcess second;
  ASSERT_TRUE(StartApp(&second, folder.exe, "tavix.tvx"));
  ASSERT_NO_FATAL_FAILURE(ExpectExit0(second));
  EXPECT_EQ(1, CountWindowsTitled(DefaultWindowTitle()));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
  EXPECT_TRUE(first.Running());
  EXPECT_EQ("kept.exe", ControlText(window, IDC_EXEPATH));
  EscapeAndExpectExit0(first, window);
  EXPECT_EQ("[default]\r\nEXEPATH=kept.exe\r\n", ReadWholeFile(folder.Path("tavix.tvx")));
  EscapeAndExpectExit0(other, otherWindow);
}

TEST(Startup, AnotherFileOpensItsOwnWindowBesideTheExecutable) {
  AppFolder folder = PrepareAppFolder("other");
  ASSERT_FALSE(folder.dir.empty());
  ASSERT_TRUE(CreateDirectoryA(folder.Path("sets").c_str(), nullptr));
  const std::string elsewhere = MakeTempDir("elsewhere");

  AppProcess first;
  HWND firstWindow = StartAndWaitForWindow(&first, folder.exe, DefaultWindowTitle());
  ASSERT_NE(nullptr, firstWindow);

  // Relative to the executable's folder, not to the current directory.
  AppProcess second;
  HWND secondWindow =
      StartAndWaitForWindow(&second, folder.exe, WindowTitleFor("my work"), "\"sets\\my work\"", elsewhere);
  ASSERT_NE(nullptr, secondWindow);
  EXPECT_TRUE(FileExistsAt(folder.Path("sets\\my work.tvx")));
  EXPECT_FALSE(FileExistsAt(elsewhere + "\\sets\\my work.tvx"));
  EXPECT_TRUE(first.Running());

  SetControlText(secondWindow, IDC_ARG3_SWITCH, "/x");
  EscapeAndExpectExit0(second, secondWindow);
  EXPECT_EQ("[default]\r\nARG3SWITCH=/x\r\n", ReadWholeFile(folder.Path("sets\\my work.tvx")));
  EXPECT_EQ("", ReadWholeFile(folder.Path("tavix.tvx")));
  EscapeAndExpectExit0(first, firstWindow);
}

TEST(Startup, TakesAnArgumentOf259CharactersWithTheNameCutInTheTitle) {
  AppFolder folder = PrepareAppFolder("long");
  ASSERT_FALSE(folder.dir.empty());
  const size_t nameLength = 259 - folder.dir.size() - 1 - 4;
  ASSERT_GT(nameLength, 62u);
  ASSERT_LE(nameLength, 255u);
  const std::string name(nameLength, 'n');
  const std::string argument = folder.dir + "\\" + name + ".tvx";
  ASSERT_EQ(259u, argument.size());

  AppProcess app;
  HWND window = StartAndWaitForWindow(&app, folder.exe, WindowTitleFor(name.substr(0, 62)), argument);
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(FileExistsAt(argument));
  EscapeAndExpectExit0(app, window);
}

TEST(Startup, RefusesAnArgumentOf260Characters) {
  AppFolder folder = PrepareAppFolder("toolong");
  ASSERT_FALSE(folder.dir.empty());
  const std::string argument = folder.dir + "\\" + std::string(259 - folder.dir.size() - 1 - 4 + 1, 'n') + ".tvx";
  ASSERT_EQ(260u, argument.size());
  ExpectStartupMessage(folder, argument, "引数が長すぎます");
  EXPECT_FALSE(FileExistsAt(argument));
}

TEST(Startup, RefusesArgumentsWithoutFileName) {
  AppFolder folder = PrepareAppFolder("invalid");
  ASSERT_FALSE(folder.dir.empty());
  ExpectStartupMessage(folder, "\"sets\\\"", "引数が不正です");
  ExpectStartupMessage(folder, "\"\"", "引数が不正です");
  EXPECT_FALSE(FileExistsAt(folder.Path("tavix.tvx")));
}

TEST(Startup, ReportsAParameterFileThatCannotBeOpened) {
  AppFolder folder = PrepareAppFolder("unusable");
  ASSERT_FALSE(folder.dir.empty());
  // A folder where the parameter file should be: no copy of the program
  // holds it, so nobody takes over and the user is told.
  ASSERT_TRUE(CreateDirectoryA(folder.Path("broken.tvx").c_str(), nullptr));
  ExpectStartupMessage(folder, "broken", SystemErrorText(ERROR_ACCESS_DENIED));
  EXPECT_EQ(0, CountWindowsTitled(WindowTitleFor("broken")));
  // UTF-16 text cannot be read: the user is told, and the file kept as it is.
  const std::string utf16 = ReadWholeFile(TestDataDir() + "\\params\\utf16.tvx");
  ASSERT_TRUE(WriteWholeFile(folder.Path("wide.tvx"), utf16));
  ExpectStartupMessage(folder, "wide",
                       "パラメータファイルが UTF-16 (Unicode) で保存されているため読み込めません\n"
                       "ANSI (Shift_JIS) で保存し直してください");
  EXPECT_EQ(utf16, ReadWholeFile(folder.Path("wide.tvx")));
}

TEST(Startup, NeverRewritesAFileDroppedOntoIt) {
  AppFolder folder = PrepareAppFolder("dropped");
  ASSERT_FALSE(folder.dir.empty());
  const std::string notes = "shopping\r\nmilk\r\n[not a section\r\n";
  const std::string ini = "[.ShellClassInfo]\r\nIconResource=shell.dll,3\r\n[default]\r\nEXEPATH=x\r\n";
  ASSERT_TRUE(WriteWholeFile(folder.Path("notes.txt"), notes));
  ASSERT_TRUE(WriteWholeFile(folder.Path("desktop.ini"), ini));
  // One file as Explorer hands it over, then two at once.
  for (const std::string& arguments :
       {"\"" + folder.Path("notes.txt") + "\"", folder.Path("desktop.ini"),
        "\"" + folder.Path("notes.txt") + "\" \"" + folder.Path("desktop.ini") + "\""}) {
    SCOPED_TRACE(arguments);
    AppProcess app;
    ASSERT_TRUE(StartApp(&app, folder.exe, arguments));
    MessageBoxSeen box;
    ASSERT_TRUE(WaitForMessageBox(app, &box));
    EXPECT_EQ("タビクス", box.caption);
    EXPECT_NE(std::string::npos, box.text.find(folder.Path(arguments[0] == '"' ? "notes.txt" : "desktop.ini")));
    DismissMessageBox(box.window);
    DWORD code = 0;
    ASSERT_TRUE(WaitForExit(app, &code));
    EXPECT_EQ(kExitFailed, code);
  }
  EXPECT_EQ(notes, ReadWholeFile(folder.Path("notes.txt")));
  EXPECT_EQ(ini, ReadWholeFile(folder.Path("desktop.ini")));
  EXPECT_FALSE(FileExistsAt(folder.Path("notes.tvx")));
  EXPECT_FALSE(FileExistsAt(folder.Path("desktop.tvx")));
  EXPECT_FALSE(FileExistsAt(folder.Path("tavix.tvx")));
}

TEST(Startup, TakesTheArgumentAfterTheBlanksAndTabsThatFollowTheProgramName) {
  AppFolder folder = PrepareAppFolder("blanks");
  ASSERT_FALSE(folder.dir.empty());
  AppProcess app;
  HWND window = StartAndWaitForWindow(&app, folder.exe, WindowTitleFor("spaced out"), " \t  spaced out");
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(FileExistsAt(folder.Path("spaced out.tvx")));
  EscapeAndExpectExit0(app, window);
}

TEST(Startup, TakesAJapaneseArgumentWhole) {
  AppFolder folder = PrepareAppFolder("japanese");
  ASSERT_FALSE(folder.dir.empty());
  AppProcess app;
  HWND window = StartAndWaitForWindow(&app, folder.exe, WindowTitleFor("作業表"), "作業表");
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(FileExistsAt(folder.Path("作業表.tvx")));
  EscapeAndExpectExit0(app, window);
}

TEST(Startup, TakesTheArgumentAfterAnUnquotedProgramNameWithJapaneseCharacters) {
  const std::string base = MakeTempDir("unquoted");
  ASSERT_FALSE(base.empty());
  ASSERT_EQ(std::string::npos, base.find_first_of(" \t")) << "the folder must hold no blank: " << base;
  const std::string dir = base + "\\ツール";
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  const std::string exe = dir + "\\tavix.exe";
  ASSERT_TRUE(CopyFileA(JoinTestPath(TestExeDir(), "tavix.exe").c_str(), exe.c_str(), FALSE));

  AppProcess app;
  ASSERT_TRUE(StartAppWithCommandLine(&app, exe, exe + " 表示"));
  HWND window = WaitForDialog(app, WindowTitleFor("表示"));
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(FileExistsAt(dir + "\\表示.tvx"));
  EXPECT_FALSE(FileExistsAt(dir + "\\tavix.tvx"));
  EscapeAndExpectExit0(app, window);
}

TEST(Startup, RunsFromAFolderOf249CharactersButNotLonger) {
  const std::string base = MakeTempDir("deep");
  ASSERT_FALSE(base.empty());
  for (size_t length : {249u, 250u}) {
    SCOPED_TRACE(length);
    const std::string start = base + "\\" + std::to_string(length);
    ASSERT_TRUE(CreateDirectoryA(start.c_str(), nullptr));
    const std::string made = MakeFolderOfLength(start, length);
    ASSERT_EQ(length, made.size() + 1);
    const std::string exe = made + "\\t.exe";
    ASSERT_TRUE(CopyFileA(JoinTestPath(TestExeDir(), "tavix.exe").c_str(), exe.c_str(), FALSE));
    if (length == 249) {
      AppProcess app;
      HWND window = StartAndWaitForWindow(&app, exe, DefaultWindowTitle());
      ASSERT_NE(nullptr, window);
      EXPECT_TRUE(FileExistsAt(made + "\\tavix.tvx"));
      EscapeAndExpectExit0(app, window);
    } else {
      ExpectStartupMessageFrom(exe, "", "実行ファイルのパスが長すぎます");
      EXPECT_FALSE(FileExistsAt(made + "\\tavix.tvx"));
    }
  }
}

}  // namespace

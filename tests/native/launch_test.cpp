#include "run/launch.h"
#include "run/launch_flags.h"
#include "support/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "cmd_model.h"

namespace {

constexpr char kShell[] = "C:\\WINDOWS\\system32\\cmd.exe";

std::string Compose(const char* command, const char* arguments,
                    std::size_t capacity = kCommandLineCapacity, const char* directory = nullptr) {
  std::string buffer(capacity, '\x7f');
  if (!ComposeCommandLineIn(buffer.data(), capacity, command, arguments, kShell, directory)) {
    return "<fail:" + std::string(buffer.c_str()) + ">";
  }
  return std::string(buffer.c_str());
}

struct ComposeCase {
  const char* command;
  const char* arguments;
  const char* expected;
  // What starts, read as Windows' cmd reads the line: "folder>program|parameter|..."
  const char* started = nullptr;
  const char* directory = nullptr;  // where the child is started (null: C:\w)
  int exitCode = 0;                 // what the line ends with (C:\t\mk.bat ends with 3)
};

class ComposeTest : public ::testing::TestWithParam<ComposeCase> {};

TEST_P(ComposeTest, BuildsTheExactLine) {
  const ComposeCase& c = GetParam();
  const std::string line = Compose(c.command, c.arguments, kCommandLineCapacity, c.directory);
  EXPECT_EQ(line, c.expected);
  if (c.started == nullptr) return;
  CmdWorld world = MakeCmdWorld();
  world.missingFolders = {"\\\\srv\\gone"};
  world.exitCodes["c:\\t\\mk.bat"] = 3;
  const char* folder = DirectoryForStart(c.command, c.directory ? c.directory : "C:\\w");
  StartCommandLine(&world, line, folder ? folder : "C:\\own");
  // A UNC folder entered is left, and the exit code comes through.
  EXPECT_TRUE(world.mappedDrives.empty()) << line;
  EXPECT_EQ(world.exitCode, c.exitCode) << line;
  ASSERT_EQ(world.starts.size(), c.started[0] != '\0' ? 1u : 0u) << line;
  if (c.started[0] == '\0') return;
  std::string started = world.starts[0].folder + ">";
  for (const std::string& parameter : SplitArguments(world.starts[0].line))
    started += parameter + "|";
  EXPECT_EQ(started, std::string(c.started) + "|") << line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ComposeTest,
    ::testing::Values(
        ComposeCase{"cc.exe", nullptr, "cc.exe", "C:\\w>cc.exe"},
        ComposeCase{"cc.exe", "", "cc.exe ", "C:\\w>cc.exe"},
        ComposeCase{"cc.exe", "-c a.c", "cc.exe -c a.c", "C:\\w>cc.exe|-c|a.c"},
        ComposeCase{"\"C:\\My Tools\\cc.exe\"", " a.c ", "\"C:\\My Tools\\cc.exe\"  a.c ",
                    "C:\\w>C:\\My Tools\\cc.exe|a.c"},
        ComposeCase{"C:\\ソフト\\表.exe", "表.txt", "C:\\ソフト\\表.exe 表.txt",
                    "C:\\w>C:\\ソフト\\表.exe|表.txt"},
        // A program path with a blank is quoted; a batch file
        // goes through cmd /c in a pair of quotes that cmd strips.
        ComposeCase{"C:\\My Tools\\cc.exe", "a.c", "\"C:\\My Tools\\cc.exe\" a.c",
                    "C:\\w>C:\\My Tools\\cc.exe|a.c"},
        ComposeCase{"C:\\R&D\\tavix.bat", nullptr,
                    "C:\\WINDOWS\\system32\\cmd.exe /d /e:on /v:off /c \"\"C:\\R&D\\tavix.bat\"\"",
                    "C:\\w>C:\\R&D\\tavix.bat"},
        ComposeCase{"\"C:\\P (x86)\\mk.CMD\"", "\"a&b.txt\"",
                    "C:\\WINDOWS\\system32\\cmd.exe /d /e:on /v:off /c "
                    "\"\"C:\\P (x86)\\mk.CMD\" \"a&b.txt\"\"",
                    "C:\\w>C:\\P (x86)\\mk.CMD|a&b.txt"},
        ComposeCase{"C:\\t\\mk.bat", "-s^",
                    "C:\\WINDOWS\\system32\\cmd.exe /d /e:on /v:off /c \"\"C:\\t\\mk.bat\" -s^^\"",
                    "C:\\w>C:\\t\\mk.bat|-s^", nullptr, 3},
        // What follows cmd.exe's /c or /k goes in that pair too,
        // unless the user put it there.
        ComposeCase{"C:\\t\\cmd.exe", "/c copy", "C:\\t\\cmd.exe /c \"copy\"", "C:\\w>copy"},
        ComposeCase{"cmd.exe", "/c \"C:\\my tools\\conv.exe\" \"C:\\in\\a b.txt\"",
                    "cmd.exe /c \"\"C:\\my tools\\conv.exe\" \"C:\\in\\a b.txt\"\"",
                    "C:\\w>C:\\my tools\\conv.exe|C:\\in\\a b.txt"},
        ComposeCase{"CMD", "/q /K \"\"C:\\P&Q\\x.exe\" \"a b\"\"",
                    "CMD /q /K \"\"C:\\P&Q\\x.exe\" \"a b\"\"", "C:\\w>C:\\P&Q\\x.exe|a b"},
        // A command in one pair of quotes keeps them, after any switch.
        ComposeCase{"cmd.exe", "/d /S /R \"copy a.txt b.txt\"",
                    "cmd.exe /d /S /R \"copy a.txt b.txt\"", "C:\\w>copy|a.txt|b.txt"},
        // cmd cannot start in a UNC folder: it enters it itself and leaves
        // it with popd, which alone removes the drive letter pushd maps,
        // ending with the command's exit code; where it cannot enter,
        // nothing runs and it ends with 1. An interactive cmd stays there.
        ComposeCase{"C:\\t\\mk.bat", "-v",
                    "C:\\WINDOWS\\system32\\cmd.exe /d /e:on /v:off /c \"pushd \"\\\\srv\\s\" || exit 1 & "
                    "\"C:\\t\\mk.bat\" -v & call set tavix_rc=%^errorlevel% & popd & call exit %^tavix_rc%\"",
                    "\\\\srv\\s>C:\\t\\mk.bat|-v", "\"\\\\srv\\s\"", 3},
        ComposeCase{"C:\\t\\mk.bat", "\"a b",
                    "C:\\WINDOWS\\system32\\cmd.exe /d /e:on /v:off /c \"pushd \"\\\\srv\\s\" || exit 1 & "
                    "\"C:\\t\\mk.bat\" \"a b\" & call set tavix_rc=%^errorlevel% & popd & call exit %^tavix_rc%\"",
                    "\\\\srv\\s>C:\\t\\mk.bat|a b", "\\\\srv\\s", 3},
        ComposeCase{"C:\\t\\mk.bat", "x",
                    "C:\\WINDOWS\\system32\\cmd.exe /d /e:on /v:off /c \"pushd \"\\\\srv\\gone\" || exit 1 & "
                    "\"C:\\t\\mk.bat\" x & call set tavix_rc=%^errorlevel% & popd & call exit %^tavix_rc%\"",
                    "", "\\\\srv\\gone", 1},
        ComposeCase{"cmd.exe", "/c copy a b",
                    "cmd.exe /c \"pushd \"\\\\srv\\s\" || exit 1 & copy a b & call set tavix_rc=%^errorlevel% & "
                    "popd & call exit %^tavix_rc%\"",
                    "\\\\srv\\s>copy|a|b", "\\\\srv\\s"},
        ComposeCase{"cmd.exe", "/K copy a b", "cmd.exe /K \"pushd \"\\\\srv\\s\" && copy a b\"", nullptr,
                    "\\\\srv\\s"},
        ComposeCase{"cmd.exe", "", "cmd.exe  /k pushd \"\\\\srv\\s\"", nullptr, "\\\\srv\\s"},
        ComposeCase{"cc.exe", "x", "cc.exe x", "\\\\srv\\s>cc.exe|x", "\\\\srv\\s"},
        ComposeCase{nullptr, "x", " x"}, ComposeCase{nullptr, nullptr, ""}));

TEST(ComposeCommandLine, LongestLineTheProgramBuildsFits) {
  const std::string program(259, 'p');
  const std::string arguments(511, 'a');
  EXPECT_EQ(Compose(program.c_str(), arguments.c_str()), program + " " + arguments);
}

TEST(ComposeCommandLine, RefusesALineThatDoesNotFitItsBuffer) {
  // 1023 characters fit beside the terminator; 1024 do not.
  const std::string command(1000, 'c');
  const std::string fits(22, 'a');
  const std::string tooLong(23, 'a');
  EXPECT_EQ(Compose(command.c_str(), fits.c_str()).size(), 1023u);
  EXPECT_EQ(Compose(command.c_str(), tooLong.c_str()), "<fail:>");
  const std::string longCommand(1024, 'c');
  EXPECT_EQ(Compose(longCommand.c_str(), nullptr), "<fail:>");
  EXPECT_EQ(Compose(std::string(1023, 'c').c_str(), nullptr).size(), 1023u);
  // The blank counts even before empty arguments.
  EXPECT_EQ(Compose(std::string(1023, 'c').c_str(), ""), "<fail:>");
  EXPECT_EQ(Compose("ab", "", 3), "<fail:>");
  EXPECT_EQ(Compose("ab", "", 4), "ab ");
  char none[1] = {'x'};
  EXPECT_EQ(ComposeCommandLine(none, 0, "a", nullptr, kShell), 0);
  EXPECT_EQ(none[0], 'x');
}

TEST(ProgramErrorText, HoldsTheSevenTexts) {
  const char* expected[] = {
      "1行の長さが長すぎます",
      "メモリが足りません",
      "用意していたメモリが足りなくなりました",
      "直接モードでディレクトリ展開は使用できません\nBATCHモードを使用してください",
      "バッチファイルが起動中です\n終了までお待ちください",
      "実行を中断します",
      "実行リスト表示中です\n終了までお待ちください",
  };
  for (int code = 0; code <= 6; ++code) {
    ASSERT_NE(ProgramErrorText(code), nullptr) << code;
    EXPECT_STREQ(ProgramErrorText(code), expected[code]) << code;
  }
}

TEST(ProgramErrorText, LineBreaksAreSingleLineFeeds) {
  for (int code = 0; code <= 6; ++code) {
    const std::string text = ProgramErrorText(code);
    const bool twoLines = code == 3 || code == 4 || code == 6;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), twoLines ? 1 : 0) << code;
    EXPECT_EQ(text.find('\r'), std::string::npos) << code;
  }
  // "メモリが足りません" in cp932.
  EXPECT_STREQ(ProgramErrorText(kErrorNoMemory), "\x83\x81\x83\x82\x83\x8a\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
}

TEST(ProgramErrorText, CodesOutsideTheTableHaveNoText) {
  for (int code : {-1, 7, 8, 100, -2147483647 - 1, 2147483647}) EXPECT_EQ(ProgramErrorText(code), nullptr) << code;
}

TEST(ShellErrorText, OnlyTheListedValuesHaveTexts) {
  const long long listed[] = {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32};
  for (long long value = -5; value <= 300; ++value) {
    const bool isListed = std::find(std::begin(listed), std::end(listed), value) != std::end(listed);
    EXPECT_EQ(ShellErrorText(value) != nullptr, isListed) << value;
  }
  EXPECT_EQ(ShellErrorText(0x7fffffffLL), nullptr);
  EXPECT_EQ(ShellErrorText(0x100000000LL + 2), nullptr);
}

TEST(ShellErrorText, TextsOfTheValues) {
  struct Row { long long value; const char* text; } rows[] = {
      {0, "メモリまたはリソースが足りません"}, {2, "ファイルがありません"},
      {3, "パスがありません"},                {5, "アクセスできません"},
      {8, "メモリまたはリソースが足りません"}, {11, "Windowsアプリケーションではありません"},
      {26, "アクセス違反が発生しました"},     {27, "ファイルの関連付けがありません"},
      {28, "DDEタイムアウト"},                {29, "DDE失敗"},
      {30, "DDE使用中"},                      {31, "ファイルの関連付けがありません"},
      {32, "DLLがありません"},
  };
  for (const Row& row : rows) {
    ASSERT_NE(ShellErrorText(row.value), nullptr) << row.value;
    EXPECT_STREQ(ShellErrorText(row.value), row.text) << row.value;
  }
}

TEST(PriorityTable, RowsInOrderWithTheNewerSystemFlag) {
  struct Row { const char* label; unsigned long cls; int newer; } rows[] = {
      {"高", 0x80, 0}, {"通常以上", 0x8000, 1}, {"通常", 0x20, 0}, {"通常以下", 0x4000, 1}, {"低", 0x40, 0}};
  ASSERT_EQ(kPriorityTable.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_STREQ(kPriorityTable[i].label, rows[i].label) << i;
    EXPECT_EQ(kPriorityTable[i].priorityClass, rows[i].cls) << i;
    EXPECT_EQ(kPriorityTable[i].needsNewerSystem, rows[i].newer) << i;
  }
  EXPECT_STREQ(kPriorityTable[0].label, "\x8d\x82");  // cp932
}

TEST(CreationFlagsForPriority, NoneOrExactlyOneClass) {
  EXPECT_EQ(CreationFlagsForPriority(-1), 0u);
  EXPECT_EQ(CreationFlagsForPriority(-100), 0u);
  EXPECT_EQ(CreationFlagsForPriority(5), 0u);
  EXPECT_EQ(CreationFlagsForPriority(4), 0x40u);
  const unsigned long expected[] = {0x80, 0x8000, 0x20, 0x4000, 0x40};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(CreationFlagsForPriority(i), expected[i]) << i;
}

// Creation flags: suspended always; a taken-in command shares the held
// console (no console flag) or gets one without a window; a command in a
// console of its own, and a launch outside the list, ask for a new console
// only while the hidden one is held.
TEST(CreationFlags, ConsoleFlagFollowsTheOutputAndTheHiddenConsole) {
  const struct {
    int priority, taken, held, breakaway;
    unsigned long listed, own;
  } cases[] = {
      {-1, 1, 1, 0, 0x4, 0x10},
      {-1, 1, 0, 0, 0x08000004, 0},
      {-1, 0, 1, 0, 0x14, 0x10},
      {-1, 0, 0, 0, 0x4, 0},
      {0, 1, 1, 0, 0x84, 0x90},
      {4, 0, 0, 0, 0x44, 0x40},
      {3, 1, 0, 1, 0x09004004, 0x4000},
      {-1, 0, 1, 1, 0x01000014, 0x10},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.listed, ListedCreationFlags(c.priority, c.taken, c.held, c.breakaway)) << c.priority << c.taken << c.held;
    EXPECT_EQ(c.own, OwnConsoleFlags(c.priority, c.held)) << c.priority << c.held;
  }
}

// A command leaves the program's job only where jobs do not nest (before
// Windows 8) and the outer job allows it.
TEST(CreationFlags, BreakAwayOnlyBeforeWindows8FromAJobThatAllowsIt) {
  const struct {
    unsigned long major, minor;
    int inJob;
    unsigned long limits;
    int nest, leaves;
  } cases[] = {
      {6, 1, 1, 0x800, 0, 1},  {6, 0, 1, 0x1800, 0, 1}, {5, 1, 1, 0x800, 0, 1},
      {6, 1, 1, 0x1000, 0, 0}, {6, 1, 1, 0x2000, 0, 0}, {6, 1, 0, 0x800, 0, 0},
      {6, 2, 1, 0x800, 1, 0},  {6, 3, 1, 0x800, 1, 0},  {10, 0, 1, 0x800, 1, 0},
  };
  for (const auto& c : cases) {
    const int nest = JobsNest(c.major, c.minor);
    EXPECT_EQ(c.nest, nest) << c.major << "." << c.minor;
    EXPECT_EQ(c.leaves, BreakAwayFromOuterJob(nest, c.inJob, c.limits)) << c.major << "." << c.minor << " " << c.limits;
  }
}

// The job carries every chosen class but normal.
TEST(CreationFlags, JobCarriesEveryClassButNormal) {
  const unsigned long cases[][2] = {{0, 0}, {0x20, 0}, {0x80, 0x80}, {0x8000, 0x8000}, {0x4000, 0x4000}, {0x40, 0x40}};
  for (const auto& c : cases) EXPECT_EQ(c[1], JobPriorityClass(c[0])) << c[0];
}

TEST(FindPriorityByLabel, MatchesWholeLabelsOnly) {
  for (int i = 0; i < 5; ++i) EXPECT_EQ(FindPriorityByLabel(kPriorityTable[static_cast<std::size_t>(i)].label), i);
  EXPECT_EQ(FindPriorityByLabel(""), -1);
  EXPECT_EQ(FindPriorityByLabel("(ﾌﾟﾛｾｽ優先度)"), -1);
  EXPECT_EQ(FindPriorityByLabel("通常以"), -1);
  EXPECT_EQ(FindPriorityByLabel("通常 "), -1);
}

}  // namespace

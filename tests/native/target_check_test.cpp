// The target check over a fake disk: a parameter set in, its commands made
// with their targets recorded, the marks of each command out.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "command_line_cases.h"
#include "expand/target_check.h"
#include "fake_disk.h"
#include "run/plan.h"

namespace {

const std::string kLong(255, 'l');  // "C:\lll...": a folder of 258 characters
const std::string kLongFolder = "C:\\" + kLong;
const std::string kLongName(256, 'n');
const std::string kTree =
    "C:\\d\\|C:\\d\\img001.jpg|C:\\d\\img002.jpg|C:\\d\\img003.jpg|C:\\d\\img004.jpg|"
    "C:\\d\\img005.jpg|C:\\d\\img006.jpg|C:\\t\\|C:\\x\\|C:\\x\\a.txt|C:\\x\\b.txt|"
    "C:\\o\\|C:\\o\\a.bak|C:\\o\\a\\|C:\\o\\x??.bak|C:\\o\\longname.txt>LONGNA~1.TXT|"
    "C:\\Program Files\\>PROGRA~1|C:\\Program Files\\d\\|C:\\Program Files\\d\\a.txt|"
    "C:\\g\\|C:\\g\\ｂ.txt|C:\\w\\|C:\\w\\x\\|C:\\w\\y\\|C:\\w\\x\\a.txt|C:\\w\\y\\a.TXT|C:\\out\\|"
    "C:\\" + kLong + "\\|C:\\" + kLong + "\\a.bak";

const TargetPlatform kFakeTargets = {kFakeSearch, FakeLongFolder,
                                     [](char* out) { std::snprintf(out, kRowTextSize, "C:\\"); }};

// Each command's marks in list order: O 上書き, D 重複, I 入力と同じ, - none.
std::string MarkLetters(const TargetRecord& record) {
  std::string letters;
  for (int command = 0; command < record.commands; ++command) {
    const int marks = CommandMarks(record, command);
    letters += command > 0 ? " " : "";
    letters += marks == 0 ? "-" : "";
    for (int kind = 0; kind < kTargetMarkKinds; ++kind) {
      if ((marks >> kind) & 1) letters += "ODI"[kind];
    }
  }
  return letters;
}

TEST(TargetCheck, RecordInMarksOut) {
  const struct {
    const char* directory;  // the current directory; "C:\w\*" walks in a batch file
    std::vector<RowCase> rows;
    const char* marks;
    const char* question;  // checked when not empty
  } cases[] = {
      // cmd's copy mask: "thumb_" takes the place of "img001", so every
      // command writes thumb_.jpg; "*1" gives each its own name.
      {"", {{1, "", 0, "C:\\d\\img*.jpg"}, {2, "", 0, "C:\\t\\thumb_*.jpg"}}, "D D D D D D",
       "出力先に問題のあるコマンドが 6 件あります\n重複: C:\\t\\thumb_.jpg\n重複: C:\\t\\thumb_.jpg\n"
       "重複: C:\\t\\thumb_.jpg\n重複: C:\\t\\thumb_.jpg\n重複: C:\\t\\thumb_.jpg\n開始しますか?"},
      {"", {{1, "", 0, "C:\\d\\img*.jpg"}, {2, "", 0, "C:\\t\\thumb_*1.jpg"}}, "- - - - - -", ""},
      // A target that exists; one that is the input itself.
      {"", {{1, "", 0, "C:\\x\\*.txt"}, {2, "", 0, "C:\\o\\*.bak"}}, "O -", ""},
      {"", {{1, "", 0, "C:\\x\\*.txt"}, {2, "-o", 1, "\"C:\\x\\*.txt\""}}, "OI OI",
       "出力先に問題のあるコマンドが 2 件あります\n上書き・入力と同じ: C:\\x\\a.txt\n"
       "上書き・入力と同じ: C:\\x\\b.txt\n開始しますか?"},
      // Relative targets from the command's folder, or the program's own.
      {"\"C:\\x\"", {{1, "", 0, "C:\\x\\*.txt"}, {2, "", 0, "..\\o\\.\\*.bak"}}, "O -", ""},
      {"C:\\x", {{1, "", 0, "C:\\x\\*.txt"}, {2, "", 0, "\\o\\*.bak"}}, "O -", ""},
      {"", {{1, "", 0, "C:\\x\\*.txt"}, {2, "", 0, "o/*.bak."}}, "O -", ""},
      // Names compare as Windows compares them: short and long, any case
      // (full-width letters too).
      {"", {{1, "", 0, "C:\\Program Files\\d\\*.txt"}, {2, "", 0, "C:\\PROGRA~1\\D\\*.txt"}}, "OI", ""},
      {"", {{1, "", 0, "C:\\x\\*.txt"}, {2, "", 0, "C:\\o\\LONGNA~1.*2"}}, "OD OD", ""},
      {"", {{1, "", 0, "C:\\g\\*.txt"}, {2, "", 0, "C:\\g\\Ｂ.*2"}}, "OI", ""},
      {"C:\\w\\*", {{1, "", 0, "*.*"}, {2, "", 0, "C:\\out\\*.bak"}}, "D D", ""},
      // Bad input: a folder as target is there already; a target beyond
      // 259 characters, in a folder that does not exist, or holding a
      // wildcard (a character the code page lacks) carries no mark.
      {"", {{1, "", 0, "C:\\x\\*.txt"}, {2, "", 0, "C:\\o\\*"}}, "O -", ""},
      {kLongFolder.c_str(), {{1, "", 0, "C:\\x\\*.txt"}, {2, "", 0, "*.bak"}}, "- -", ""},
      {"", {{1, "", 0, "C:\\x\\*.txt"}, {2, "", 0, "C:\\none\\same*2.bak"}}, "- -", ""},
      {"", {{1, "", 0, "C:\\x\\*.txt"}, {2, "", 0, "C:\\o\\x??.bak"}}, "- -", ""},
  };
  for (const auto& c : cases) {
    FakeTree(kTree);
    const ParameterSet set = MakeParameterSet("D:\\cc.exe", c.directory, c.rows);
    TargetRecord targets{};
    RunPlan plan{};
    const int batch = std::string(c.directory).find('*') != std::string::npos;
    EXPECT_EQ(-1, FakePlan(set, batch ? kPlanBatch : kPlanDirect, &plan, &targets));
    EXPECT_EQ(plan.commands.count, targets.commands) << c.rows[1].fileText;
    FreeRunPlan(&plan);
    CheckTargets(&targets, kFakeTargets);
    const std::string letters = MarkLetters(targets);
    EXPECT_EQ(c.marks, letters) << c.rows[1].fileText;
    // The counts: commands with each mark, and with any.
    std::vector<int> expected(4);
    std::istringstream commands(letters);
    for (std::string command; commands >> command;) {
      for (int kind = 0; kind < 3; ++kind) expected[kind] += command.find("ODI"[kind]) != std::string::npos;
      expected[3] += command != "-";
    }
    EXPECT_EQ(expected, (std::vector<int>{targets.counts[0], targets.counts[1], targets.counts[2],
                                          targets.marked}));
    if (c.question[0] != '\0') {
      char question[kTargetQuestionSize];
      FormatTargetQuestion(targets, question, sizeof question);
      EXPECT_EQ(c.question, std::string(question));
    }
    FreeTargetRecord(&targets);
  }
}

// Paths as a command sees them from its folder.
TEST(TargetCheck, ResolvesPathsFromTheCommandsFolder) {
  const struct {
    const char* base;
    const char* path;
    const char* full;  // "" when it cannot be told
  } cases[] = {
      {"C:\\w", "a\\..\\..\\b. \\c.txt", "C:\\b\\c.txt"},
      {"C:\\w", "..\\..\\..", "C:\\"},
      {"\\\\srv\\s\\w", "\\x/y", "\\\\srv\\s\\x\\y"},
      {"\\\\srv\\s\\w", "..\\..\\z", "\\\\srv\\s\\z"},
      {"C:\\w", "c:x", "C:\\w\\x"},
      {"C:\\w", "D:x", ""},
      {"C:\\w", "\\\\srv", ""},
      {"C:\\w", "D:\\表\\.\\x", "D:\\表\\x"},
      {"C:\\w", kLongName.c_str(), ""},
  };
  for (const auto& c : cases) {
    char full[kRowTextSize] = "unchanged";
    EXPECT_EQ(c.full[0] != '\0', ResolvePath(c.base, c.path, full)) << c.path;
    if (c.full[0] != '\0') {
      EXPECT_STREQ(c.full, full);
    }
  }
}

}  // namespace

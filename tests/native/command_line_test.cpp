// Argument-text assembly, the program text forms and the path operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "cmd_model.h"
#include "command_line_cases.h"
#include "expand/file_expansion.h"
#include "fake_disk.h"
#include "run/command_line.h"
#include "run/launch.h"
#include "run/program_search.h"

namespace {

ArgumentRows MakeRows(const std::vector<RowCase>& rowCases) {
  ArgumentRows rows;
  std::memset(&rows, 0, sizeof rows);
  for (const RowCase& given : rowCases) {
    ArgumentRow& row = rows.row[given.row - 1];
    std::snprintf(row.switchText, sizeof row.switchText, "%s", given.switchText);
    row.spaceOn = given.spaceOn;
    std::snprintf(row.fileText, sizeof row.fileText, "%s", given.fileText);
  }
  return rows;
}

// The argument text without file expansion, "*/" standing for `folderName`,
// or "<fail>" when the assembly reports 0.
std::string Assemble(const ArgumentRows& rows, std::size_t capacity = kArgumentTextCapacity,
                     const char* folderName = "") {
  std::vector<char> out(capacity + 16, 'X');
  Expansion expansion{};
  SetFolderName(&expansion.folderName, folderName, 0);
  if (!AssembleArgumentText(&expansion, rows, out.data(), capacity)) return "<fail>";
  EXPECT_LT(std::strlen(out.data()), capacity);
  return out.data();
}

std::string BatchLine(const char* program, const std::string& arguments) {
  char line[kBatchLineSize];
  EXPECT_EQ(ComposeBatchLine(program, arguments.c_str(), line, sizeof line), 1);
  return line;
}

// The program and parameters a batch line starts, read as Windows' cmd reads it.
std::vector<std::string> Started(const std::string& line) {
  CmdWorld world = MakeCmdWorld();
  RunBatchText(&world, line + "\r\n", "Z:\\start");
  EXPECT_EQ(world.starts.size(), 1u) << line;
  return world.starts.empty() ? std::vector<std::string>() : SplitArguments(world.starts[0].line);
}

class CommandLineTest : public ::testing::Test {};

TEST_F(CommandLineTest, WorkedExamplesGiveTheirArgumentTextAndBatchLine) {
  for (const WorkedExample& example : WorkedExamples()) {
    std::string arguments = Assemble(MakeRows(example.rows));
    EXPECT_EQ(arguments, example.arguments);
    EXPECT_EQ(BatchLine(example.program, arguments), example.batchLine);
    // The program gets the parameters of the direct run (a redirection is
    // cmd's); cmd.exe runs what follows its "/c".
    if (arguments.find('>') != std::string::npos) continue;
    std::string meant = IsCommandInterpreter(example.program)
                            ? arguments.substr(arguments.find("/c ") + 3)
                            : "\"" + std::string(example.program) + "\" " + arguments;
    // cmd strips the one pair of quotes around its command.
    if (std::count(meant.begin(), meant.end(), '"') == 2 && meant.front() == '"' && meant.back() == '"')
      meant = meant.substr(1, meant.size() - 2);
    EXPECT_EQ(Started(example.batchLine), SplitArguments(meant)) << example.batchLine;
  }
}

TEST_F(CommandLineTest, SpaceFlagOfAnEmptyRowAddsNothing) {
  EXPECT_EQ(Assemble(MakeRows({{1, "-a", 0, ""}, {2, "", 1, ""}, {3, "-b", 0, ""}})), "-a -b");
}

TEST_F(CommandLineTest, SpaceFlagAfterAnEarlierRowGivesOneBlankOnly) {
  EXPECT_EQ(Assemble(MakeRows({{1, "-a", 0, ""}, {2, "", 1, "f"}})), "-a f");
}

TEST_F(CommandLineTest, LongSwitchAndFileInOneRowDoNotFit) {
  std::string text259(259, 's');
  std::string file259(259, 'f');
  EXPECT_EQ(Assemble(MakeRows({{1, text259.c_str(), 1, file259.c_str()}})), "<fail>");
  // Each alone fits.
  EXPECT_EQ(Assemble(MakeRows({{1, text259.c_str(), 1, ""}})), text259);
}

TEST_F(CommandLineTest, EightFileTextsOfSeventyFailAtRowEight) {
  std::string file70(70, 'a');
  std::vector<RowCase> seven;
  for (int row = 1; row <= 7; ++row) seven.push_back({row, "", 0, file70.c_str()});
  EXPECT_EQ(Assemble(MakeRows(seven)).size(), 496u);
  std::vector<RowCase> eight = seven;
  eight.push_back({8, "", 0, file70.c_str()});
  EXPECT_EQ(Assemble(MakeRows(eight)), "<fail>");
  // Row 8 with 14 characters makes exactly 511.
  std::string file14(14, 'b');
  eight.back().fileText = file14.c_str();
  EXPECT_EQ(Assemble(MakeRows(eight)).size(), 511u);
}

TEST_F(CommandLineTest, Exactly511CharactersFitAnd512Fail) {
  std::string first(259, 'a');
  std::string fits(251, 'b');     // 259 + 1 + 251 = 511
  std::string tooLong(252, 'b');  // 512
  EXPECT_EQ(Assemble(MakeRows({{1, "", 0, first.c_str()}, {2, "", 0, fits.c_str()}})).size(),
            511u);
  EXPECT_EQ(Assemble(MakeRows({{1, "", 0, first.c_str()}, {2, "", 0, tooLong.c_str()}})),
            "<fail>");
  // The same limit holds for switch texts and for quoted file texts.
  std::string switch251(251, 's');
  std::string switch252(252, 's');
  EXPECT_EQ(Assemble(MakeRows({{1, first.c_str(), 0, ""}, {2, switch251.c_str(), 0, ""}})).size(),
            511u);
  EXPECT_EQ(Assemble(MakeRows({{1, first.c_str(), 0, ""}, {2, switch252.c_str(), 0, ""}})),
            "<fail>");
  std::string blank249 = std::string(124, 'q') + " " + std::string(124, 'q');  // quoted: 251
  std::string blank250 = std::string(125, 'q') + " " + std::string(124, 'q');  // quoted: 252
  EXPECT_EQ(Assemble(MakeRows({{1, "", 0, first.c_str()}, {2, "", 0, blank249.c_str()}})).size(),
            511u);
  EXPECT_EQ(Assemble(MakeRows({{1, "", 0, first.c_str()}, {2, "", 0, blank250.c_str()}})),
            "<fail>");
}

TEST_F(CommandLineTest, SmallCapacityIsRespected) {
  ArgumentRows rows = MakeRows({{1, "-abc", 0, "de"}});
  EXPECT_EQ(Assemble(rows, 7), "-abcde");
  EXPECT_EQ(Assemble(rows, 6), "<fail>");
}

TEST_F(CommandLineTest, FreeCommandTextIsNeitherQuotedNorRewritten) {
  EXPECT_EQ(Assemble(MakeRows({{1, "", 0, " a b"}})), " a b");
  EXPECT_EQ(Assemble(MakeRows({{1, "", 0, "D:\\a b;c.txt"}})), "D:\\a b;c.txt");
  EXPECT_EQ(Assemble(MakeRows({{1, "", 0, "D:\\d;**.txt"}})), "D:\\d;**.txt");
  // A plain text has its tokens translated.
  EXPECT_EQ(Assemble(MakeRows({{1, "", 0, "D:\\d\\**.txt"}})), "D:\\d\\*.txt");
}

TEST_F(CommandLineTest, RowsAreReadWithAtMost259Characters) {
  ArgumentRows rows = MakeRows({});
  std::memset(rows.row[0].switchText, 's', sizeof rows.row[0].switchText);  // no terminator
  EXPECT_EQ(Assemble(rows), std::string(259, 's'));
}

TEST_F(CommandLineTest, TranslationThatWouldBeCutFailsTheCommand) {
  // The folder name makes the file text longer than any file text may be.
  const std::string folder250(250, 'F');
  EXPECT_EQ(Assemble(MakeRows({{1, "-x", 1, "C:\\out\\*/.zip"}}), kArgumentTextCapacity,
                     folder250.c_str()),
            "<fail>");
  const std::string folder240(240, 'F');
  EXPECT_EQ(Assemble(MakeRows({{1, "-x", 1, "C:\\out\\*/.zip"}}), kArgumentTextCapacity,
                     folder240.c_str()),
            "-x C:\\out\\" + std::string(240, 'F') + ".zip");
}

TEST_F(CommandLineTest, FileTextOf259CharactersPassesWhole) {
  std::string file = "C:\\" + std::string(256, 'n');
  EXPECT_EQ(Assemble(MakeRows({{1, "", 0, file.c_str()}})), file);
}

TEST(IsPlainFileText, Table) {
  struct Case {
    const char* text;
    int plain;
  };
  const Case cases[] = {
      {"", 1},
      {"a.txt", 1},
      {"D:\\My Files\\a.txt", 1},
      {" a", 0},
      {"a;b", 0},
      {"<in", 0},
      {"out>", 0},
      {"a|b", 0},
      {"ポ.txt", 1},  // trail byte 0x7C
      {"ポ|", 0},
      {"\x81", 1},  // a lead byte at the very end
  };
  ASSERT_EQ(static_cast<unsigned char>("ポ"[1]), 0x7C);
  for (const Case& c : cases) EXPECT_EQ(IsPlainFileText(c.text), c.plain) << c.text;
}

std::string Quoted(const std::string& text) {
  char buffer[kRowTextSize];
  std::snprintf(buffer, sizeof buffer, "%s", text.c_str());
  QuotePathIfBlank(buffer);
  return buffer;
}

TEST(QuotePathIfBlank, Table) {
  EXPECT_EQ(Quoted("\"D:\\x\\app.exe\""), "D:\\x\\app.exe");
  EXPECT_EQ(Quoted("D:\\x\\app.exe"), "D:\\x\\app.exe");
  EXPECT_EQ(Quoted("D:\\My x\\app.exe"), "\"D:\\My x\\app.exe\"");
  EXPECT_EQ(Quoted("\"D:\\My x\\app.exe\""), "\"D:\\My x\\app.exe\"");
  EXPECT_EQ(Quoted("\"D:\\My x"), "\"D:\\My x\"");
  EXPECT_EQ(Quoted("D:\\My x\""), "\"D:\\My x\"\"");  // only a leading quote opens a pair
  EXPECT_EQ(Quoted("\""), "");
  EXPECT_EQ(Quoted(""), "");
  std::string blank257 = std::string(128, 'a') + " " + std::string(128, 'a');
  std::string blank258 = blank257 + "a";
  EXPECT_EQ(Quoted(blank257), "\"" + blank257 + "\"");
  EXPECT_EQ(Quoted(blank258), blank258);
  EXPECT_EQ(Quoted("\"" + blank257 + "\""), "\"" + blank257 + "\"");
}

std::string Joined(const char* directory, const char* name, std::size_t size = kJoinedPathSize,
                   int* result = nullptr) {
  std::vector<char> out(size + 1, 'X');
  int r = JoinPath(out.data(), size, directory, name);
  if (result) *result = r;
  return out.data();
}

TEST(JoinPath, Table) {
  EXPECT_EQ(Joined("D:\\DATA\\", "a.txt"), "D:\\DATA\\a.txt");
  EXPECT_EQ(Joined("D:\\DATA", "a.txt"), "D:\\DATA\\a.txt");
  EXPECT_EQ(Joined("\"D:\\My Data\"", "a.txt"), "D:\\My Data\\a.txt");
  EXPECT_EQ(Joined("D:\\", "\"my file.txt\""), "D:\\my file.txt");
  EXPECT_EQ(Joined("", "a.txt"), "");
  EXPECT_EQ(Joined("D:\\", ""), "");
  EXPECT_EQ(Joined(nullptr, "a.txt"), "");
  EXPECT_EQ(Joined("D:\\DATA", nullptr), "");
  // A directory ending in a two-byte character with trail byte 0x5C still
  // gets its separator.
  ASSERT_EQ(static_cast<unsigned char>("表"[1]), 0x5C);
  EXPECT_EQ(Joined("D:\\データ表", "a.txt"), "D:\\データ表\\a.txt");
  EXPECT_EQ(Joined("D:\\データ表\\", "a.txt"), "D:\\データ表\\a.txt");
}

TEST(JoinPath, LongInputsAndSmallBuffers) {
  std::string dir260 = "D:\\" + std::string(257, 'd');
  std::string dir261 = dir260 + "d";
  std::string name260(260, 'n');
  std::string joined = Joined(dir260.c_str(), name260.c_str());
  EXPECT_EQ(joined, dir260 + "\\" + name260);
  EXPECT_EQ(Joined(dir261.c_str(), "a.txt"), "");
  EXPECT_EQ(Joined("D:\\x", (name260 + "n").c_str()), "");
  int result = -1;
  EXPECT_EQ(Joined("D:\\x", "abc", 9, &result), "D:\\x\\abc");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Joined("D:\\x", "abc", 8, &result), "");
  EXPECT_EQ(result, 0);
}

std::string Cut(const char* path, int* result) {
  char buffer[kRowTextSize];
  std::snprintf(buffer, sizeof buffer, "%s", path);
  *result = CutToDirectory(buffer);
  return buffer;
}

TEST(CutToDirectory, Table) {
  struct Case {
    const char* path;
    int result;
    const char* cut;
  };
  const Case cases[] = {
      {"CC.EXE", 0, "CC.EXE"},
      {"D:\\CC.EXE", 1, "D:\\"},
      {"D:\\TOOLS\\CC.EXE", 1, "D:\\TOOLS"},
      {"D:\\WORK\\SUB\\X.BAT", 1, "D:\\WORK\\SUB"},
      {"D:\\", 1, "D:\\"},
      {"\\\\srv\\share\\a.exe", 1, "\\\\srv\\share"},
      {"表", 0, "表"},  // trail byte 0x5C is no separator
      {"D:\\表\\ソ.exe", 1, "D:\\表"},
      {"D:\\データ表", 1, "D:\\"},
  };
  for (const Case& c : cases) {
    int result = -1;
    EXPECT_EQ(Cut(c.path, &result), c.cut) << c.path;
    EXPECT_EQ(result, c.result) << c.path;
  }
}

TEST(ProgramText, DirectFormIsShownBareAndLaunchedQuoted) {
  for (const DirectProgramCase& c : DirectProgramCases()) {
    char out[kRowTextSize];
    MakeDirectProgramText(c.typed, out);
    EXPECT_STREQ(out, c.direct) << c.typed;
    char line[kCommandLineCapacity];
    ASSERT_EQ(ComposeCommandLine(line, sizeof line, out, "x", "C:\\cmd.exe"), 1);
    EXPECT_EQ(line, std::string(c.launched) + " x") << c.typed;
    if (std::strchr(c.direct, '"') != nullptr) continue;  // a stray quote is the user's
    CmdWorld world = MakeCmdWorld();
    StartCommandLine(&world, line, "C:\\w");
    EXPECT_EQ(SplitArguments(world.starts.at(0).line), (std::vector<std::string>{c.direct, "x"}));
  }
}

TEST(ProgramText, BatchFormOfLongTexts) {
  // Lines have room for the quotes of any path.
  std::string blank258 = std::string(128, 'a') + " " + std::string(129, 'a');
  EXPECT_EQ(BatchLine(blank258.c_str(), ""), "\"" + blank258 + "\" ");
  std::string and259 = std::string(129, 'a') + "&" + std::string(129, 'a');
  EXPECT_EQ(BatchLine(and259.c_str(), "x"), "\"" + and259 + "\" x");
  std::string bat259 = std::string(255, 'p') + ".CMD";
  EXPECT_EQ(BatchLine(bat259.c_str(), "x"), "\"%ComSpec%\" /d /e:on /v:off /c ^\"\"" + bat259 + "\" x^\"");
  std::string bare259(259, 'p');
  EXPECT_EQ(BatchLine(bare259.c_str(), "x"), bare259 + " x");
}

}  // namespace

// The model of cmd the tests read lines back with, on the documented rules
// it stands for: "\n" ends a batch line; a line that is no batch file is a
// command line started in the folder. A start reads "folder>program|argument|…".
TEST(CmdModel, ReadsLinesAsWindowsCmdDoes) {
  const struct {
    bool batch;
    const char* text;
    std::vector<std::string> starts;
    int broken = 0;
    std::vector<std::string> files = {};  // files on disk: a bare name is looked up
    int joined = 0, mapped = 0;           // lines joined by a caret, drives left mapped
  } cases[] = {
      // clang-format off
      {true, "cd D:\\x\nx.exe\ncd /d D:\\x\ny.exe", {"Z:\\start>x.exe", "D:\\x>y.exe"}},
      {true, "pushd \\\\srv\\s\\a\nx.exe\npopd\ny.exe", {"\\\\srv\\s\\a>x.exe", "Z:\\start>y.exe"}},
      {true, "cd sub\\a\ncd sub\\b\nx.exe", {"Z:\\start\\sub\\a\\sub\\b>x.exe"}},
      {true, "x.exe %TAG%%1 \"a&b\" c^&d \"e^f\" g^^h 50%%.txt 50%.txt",
       {"Z:\\start>x.exe|tag|a&b|c&d|e^f|g^h|50%.txt|50.txt"}},
      {true, "call x.bat \"^\" ^^", {"Z:\\start>x.bat|\"^^\"|^"}},
      {true, "@if errorlevel 1 x.exe\n@(call )\ny.exe > log.txt", {"Z:\\start>y.exe"}, 1},
      // A batch line read again by a child cmd: its quotes nest for the first reading.
      {true, "cmd /c \"\"C:\\R&D\\x.exe\" a\"", {"Z:\\start>C:\\R", "Z:\\start>D\\x.exe a"}},
      {true, "cmd /c ^\"\"C:\\R&D\\x.exe\" a^\"", {"Z:\\start>C:\\R&D\\x.exe|a"}},
      {false, "cmd /c \"C:\\a b\\x.exe\" \"c d\"", {"Z:\\start>C:\\a|b\\x.exe c|d"}},
      {false, "cmd /c \"C:\\a b\\x.exe\"", {"Z:\\start>C:\\a b\\x.exe"}},
      {false, "cmd /c x.exe %TAG% %NONE% 50%", {"Z:\\start>x.exe|tag|%NONE%|50%"}},
      {false, "cmd /s /d /e:on /v:off /c \"x.exe !x!\"", {"Z:\\start>x.exe|!x!"}},
      // A caret ending a line joins the next one; "(call)" fails, "(call )" succeeds.
      {true, "pushd D:\\x\nx.exe -s^\npopd\ny.exe", {"D:\\x>x.exe|-spopd", "D:\\x>y.exe"}, 0, {}, 1},
      {true, "@(call)\n@if errorlevel 1 x.exe\n@(call )\n@if errorlevel 1 y.exe", {"Z:\\start>x.exe"}},
      // %NAME:…% of an undefined NAME loses "%NAME:"; an invalid %~ ends the file.
      {true, "x.exe %NONE:~1%a%TAG%", {"Z:\\start>x.exe|~1TAG"}},
      {true, "x.exe %%~1 %~f1 a\ny.exe %~\nz.exe", {"Z:\\start>x.exe|%~1|a"}, 1},
      // && runs on success only; a UNC folder of pushd holds its drive until popd.
      {true, "pushd Q:\\no && x.exe\npushd D:\\x && (y.exe & popd)\nz.exe",
       {"D:\\x>y.exe", "Z:\\start>z.exe"}},
      {true, "pushd \\\\srv\\s\\a\npushd \\\\srv\\t\nx.exe\npopd", {"\\\\srv\\t>x.exe"}, 0, {}, 0, 1},
      {false, "cmd /d /e:on /v:off /c \"pushd \\\\srv\\s && x.exe\"", {"\\\\srv\\s>x.exe"}, 0, {}, 0, 1},
      // A bare name is found through PATHEXT, here and then on PATH; a batch
      // file run without call does not come back.
      {true, "mk a,b;c=\"d e\"\nmk f", {"Z:\\start>Z:\\start\\mk.BAT|a|b|c|\"d e\""}, 0,
       {"Z:\\start\\mk.BAT", "C:\\bin\\mk.exe"}},
      {true, "call mk a\nmk b\nconv c", {"Z:\\start>C:\\bin\\mk.CMD|a", "Z:\\start>C:\\bin\\mk.CMD|b"}, 0,
       {"C:\\bin\\mk.CMD", "C:\\bin\\conv.exe"}},
      // The runtime's rules: backslashes before a quote, "" inside quotes.
      {false, "\"C:\\a b\\x.exe\" a\\\\\"b c\"\\d \"e\"\"f\" g\\\"h \"i\\\\\" \"\"", {"Z:\\start>C:\\a b\\x.exe|a\\b c\\d|e\"f|g\"h|i\\|"}},
      // cmd cannot start in a UNC folder.
      {false, "cmd /c x.exe", {"C:\\Windows>x.exe"}},
      // clang-format on
  };
  for (const auto& c : cases) {
    CmdWorld world = MakeCmdWorld();
    world.environment["tag"] = "tag";
    world.environment["path"] = "C:\\bin";
    world.missingFolders = {"Q:\\no"};
    if (!c.files.empty()) {
      world.fileExists = [&c](const std::string& path) {
        return std::find(c.files.begin(), c.files.end(), path) != c.files.end();
      };
    }
    std::string text = c.text;
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
      text.insert(at, "\r");
    const std::string folder = std::string(c.text) == "cmd /c x.exe" ? "\\\\srv\\s" : "Z:\\start";
    c.batch ? RunBatchText(&world, text + "\r\n", folder) : StartCommandLine(&world, text, folder);
    std::vector<std::string> starts;
    for (const CmdStart& start : world.starts) {
      std::string run = start.folder + ">" + start.program;
      for (const std::string& argument : start.arguments) run += "|" + argument;
      starts.push_back(run);
    }
    EXPECT_EQ(starts, c.starts) << c.text;
    EXPECT_EQ(world.brokenLines, c.broken) << c.text;
    EXPECT_EQ(world.joinedLines, c.joined) << c.text;
    EXPECT_EQ(static_cast<int>(world.mappedDrives.size()), c.mapped) << c.text;
  }
}

// A program named without an extension is looked up as cmd looks it up;
// only a batch file found first changes how it starts.
TEST(FindBatchProgram, FindsWhatCmdWouldRunFirst) {
  FakeTree("C:\\w\\mk.exe|C:\\w\\tools\\gen.cmd|C:\\bin\\mk.bat|C:\\bin\\mk.cmd|C:\\p q\\npm.cmd|"
           "C:\\bin\\z.exe|C:\\p q\\z.bat|C:\\bin\\dir.bat\\");
  const ProgramSearch search = {"C:\\none;C:\\bin;\"C:\\p q\";", ".COM;.EXE;.BAT;.CMD", FakeIsFile};
  const struct {
    const char* program;
    const char* folder;
    const char* found;  // "" when it starts as typed
  } rows[] = {
      {"mk", "C:\\w", ""},                       // mk.exe in the command's folder comes first
      {"mk", "C:\\v", "C:\\bin\\mk.bat"},          // then PATH, .BAT before .CMD
      {"npm", "", "C:\\p q\\npm.cmd"},              // a quoted folder of PATH
      {"z", "C:\\v", ""},                        // z.exe in an earlier folder of PATH
      {"tools\\gen", "C:\\w", "C:\\w\\tools\\gen.cmd"},  // a relative folder: only there
      {"C:\\bin\\mk", "C:\\w", "C:\\bin\\mk.bat"},
      {"C:\\w\\mk", "", ""},
      {"dir", "", ""},  // a folder is no program
      {"mk.exe", "", ""}, {"gen", "C:\\w", ""}, {"C:mk", "", ""}, {"", "", ""}, {"nothing", "C:\\w", ""},
  };
  for (const auto& row : rows) {
    char out[260] = "x";
    const int found = FindBatchProgram(search, row.program, row.folder, out, sizeof out);
    EXPECT_EQ(found, row.found[0] != '\0') << row.program;
    EXPECT_STREQ(out, row.found) << row.program;
  }
}

// Batch files composed over a fake disk, compared byte for byte with the
// golden files in tests/data/batch.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cmd_model.h"
#include "command_line_cases.h"
#include "fake_disk.h"
#include "run/batch_file.h"
#include "run/plan.h"
#include "support/messages.h"
#include "support/byte_buffer.h"
#include "test_env.h"

namespace {

// The one tree every case runs over, paths split by '|'; folders end in '\',
// a short name follows '>'. '?' stands for a character the code page lacks.
const char kTree[] =
    "C:\\d\\|C:\\d\\img_dir.jpg\\|C:\\d\\img001.jpg|C:\\d\\img002.jpg|C:\\p\\|C:\\p\\a\\|"
    "C:\\p\\a\\x\\|C:\\p\\b\\|C:\\p\\a\\x\\1.jpg|C:\\p\\a\\2.jpg|C:\\p\\a\\3.txt|C:\\p\\b\\4.jpg|"
    "C:\\n\\|C:\\n\\R&D.txt|C:\\n\\50%.txt|C:\\n\\a^b.txt|C:\\n\\my file.txt|C:\\n\\plain.txt|"
    "C:\\n\\\xFD%.txt|\\\\srv\\s\\|\\\\srv\\s\\a\\|\\\\srv\\s\\b c\\|"
    "C:\\w\\|C:\\w\\R&D\\|C:\\w\\50%\\|C:\\w\\my dir\\|C:\\w\\a^b\\|C:\\w\\R&D\\f.txt|"
    "C:\\w\\50%\\f.txt|C:\\w\\my dir\\f.txt|C:\\w\\a^b\\f.txt|C:\\L\\|C:\\L\\a.jpg|"
    "C:\\L\\bbbbbb.jpg|C:\\u\\|C:\\u\\a?b.txt>A_B~~VO4.TXT|C:\\u\\c?d.txt|C:\\u\\axb.txt|"
    "C:\\u\\?dir\\>_DIR~1|C:\\u\\e?f\\|p2\\|p2\\a\\|p2\\b\\|p2\\a\\1.txt|p2\\b\\2.txt|"
    "C:\\w\\50%\\g%.txt";

void MakeTree() { FakeTree(kTree); }

struct BatchCase {
  const char* golden;  // file in tests/data/batch
  const char* program;
  const char* currentDirectory;
  std::vector<RowCase> rows;
  int pause;
  int result = kBatchComplete;
  int reserves = -1;  // blocks the walk may reserve (-1: any number)
  int leftOut = 0;    // names left out for want of a usable name
  const char* firstLeftOut = "";
  int leftOutReason = kNotInCodePage;
  const char* planning = "";  // the folder Run plans in ("": a file saved)
};

const std::string x250(250, 'x'), y245(245, 'y');
// A directory of 259 characters holding a blank.
const std::string dir259 = "C:\\" + std::string(127, 'd') + " " + std::string(128, 'd');
const char* const cc = "D:\\BIN\\CC.EXE";
// clang-format off
const BatchCase kCases[] = {
    // The plain layouts: drive line, "pushd" line, one command, "popd", pause.
    {"work_pause.bat", cc, "D:\\WORK", {{1, "", 0, "a.c"}}, 1},
    {"relative.bat", cc, "..\\SRC", {{1, "", 0, "a.c"}}, 0},
    {"blank_dir.bat", cc, "D:\\My Work", {{1, "", 0, "*/"}}, 0},
    {"drive_only.bat", cc, "D:", {}, 0},
    {"quoted_dir.bat", cc, "\"D:\\WORK\"", {{1, "", 0, "*/.log"}}, 0},
    {"empty.bat", cc, "", {}, 0},
    {"empty_pause.bat", cc, "", {}, 1},
    // File expansion with placeholders; a matching folder yields nothing.
    {"placeholders.bat", cc, "", {{1, "", 0, "C:\\d\\img*.jpg"}, {2, "-t", 1, "C:\\t\\th_*1.*2"}}, 0},
    {"slash.bat", cc, "", {{1, "", 0, "C:\\d/img*.jpg"}}, 0},
    // Directory expansion with file expansion in each folder and "*/".
    {"walk_files.bat", "D:\\BIN\\CV.EXE", "C:\\p\\*",
     {{1, "", 0, "*.jpg"}, {2, "-o", 1, "C:\\out\\*/\\*.png"}}, 1},
    {"walk_aborted.bat", cc, "C:\\p\\*", {{1, "", 0, "*/"}}, 1, kBatchWalkAborted, 3},
    // Names found on disk are quoted on a blank, "&" or "^" and their '%'
    // doubled; typed text keeps its '%'.
    {"disk_names.bat", cc, "", {{1, "", 0, "C:\\n\\*.txt"}, {2, "%TAG%", 0, ""}}, 0},
    {"walk_names.bat", cc, "C:\\w\\*", {{1, "", 0, "*/"}, {2, "", 0, "*.txt"}}, 0},
    {"typed_names.bat", "C:\\R&D\\cc.exe", "C:\\100%", {{1, "", 0, "*/"}, {2, "", 0, "C:\\My Docs\\"}}, 0},
    // A command that does not fit ends the file, also during file expansion.
    {"too_long.bat", cc, "", {{1, "", 0, "C:\\L\\*.jpg"}, {2, x250.c_str(), 0, ""}, {3, y245.c_str(), 0, ""}},
     1, kBatchLineTooLong},
    // Names with '?' go by their short names, or are left out and counted.
    {"unusable_files.bat", cc, "", {{1, "", 0, "C:\\u\\*.txt"}}, 0, kBatchComplete, -1, 1, "c?d.txt"},
    {"unusable_dirs.bat", cc, "C:\\u\\*", {{1, "", 0, "*/"}}, 0, kBatchComplete, -1, 1, "e?f"},
    // A batch file as the program is called; names cmd would change on the
    // second reading are left out, also a walked folder named by "*/".
    {"call_names.bat", "D:\\R&D\\mk.bat", "", {{1, "", 0, "C:\\n\\*.txt"}}, 1, kBatchComplete, -1, 2,
     "50%.txt", kChangedByCmd},
    {"call_walk.bat", "mk.cmd", "C:\\w\\*", {{1, "", 0, "*/"}, {2, "", 0, "*.txt"}}, 0, kBatchComplete, -1,
     1, "50%", kChangedByCmd},
    // UNC folders are entered with pushd and left with popd; long folders
    // are quoted whatever their length.
    {"unc.bat", cc, "\\\\srv\\s\\*", {{1, "", 0, "*/"}}, 1},
    {"long_dir.bat", cc, dir259.c_str(), {{1, "", 0, "a.c"}}, 0},
    // Every block enters its folder with pushd and leaves it with popd: a
    // relative walk, and a quoted folder on another drive.
    {"relative_walk.bat", cc, "p2\\*", {{1, "", 0, "*.txt"}}, 0},
    {"other_drive.bat", cc, "\"D:\\my dir\"", {{1, "", 0, "a.c"}}, 0},
    // What follows cmd.exe's "/c" passes the batch file's cmd for the child.
    {"cmd_copy.bat", "cmd.exe", "", {{1, "/c copy", 1, "C:\\n\\*.txt"}, {2, "", 0, "C:\\out"}}, 0,
     kBatchComplete, -1, 2, "50%.txt", kChangedByCmd},
    // A typed text naming an existing file or folder is a name from disk;
    // others, and a text of several paths, stay as typed.
    {"typed_disk.bat", cc, "C:\\w\\50%",
     {{1, "", 0, "*/"}, {2, "", 0, "C:\\n\\50%.txt"}, {3, "", 0, "%TEMP%\\x.txt"},
      {4, "", 0, "\"C:\\a b\\x.txt\" \"C:\\c d\\y.txt\""}, {5, "", 0, "g%.txt"}}, 0},
    // A name from disk put into a text of several paths is quoted where it lands.
    {"several_names.bat", cc, "C:\\w\\*",
     {{1, "", 0, "*.txt"}, {2, "", 0, "\"C:\\a b\\x.txt\" C:\\out\\*/\\*.bak"}}, 0},
    // Every part of a path that is on disk is a name: its '%' doubled; a
    // batch program named so cannot be started by cmd at all.
    {"percent_parts.bat", "C:\\w\\50%\\cc.exe", "",
     {{1, "", 0, "C:\\w\\50%\\*.txt"}, {2, "-o", 1, "C:\\w\\50%\\new.txt"}, {3, "", 0, "%TEMP%\\x.txt"}}, 0},
    {"percent_cmd.bat", "C:\\w\\50%\\mk.bat", "", {{1, "", 0, "a.txt"}}, 0, kBatchComplete, -1, 1,
     "C:\\w\\50%\\mk.bat", kChangedByCmd},
    {"typed_cmd.bat", "mk.bat", "", {{1, "", 0, "C:\\n\\50%.txt"}}, 0, kBatchComplete, -1, 1,
     "C:\\n\\50%.txt", kChangedByCmd},
    // A caret ending a line would join the next one to it.
    {"caret_end.bat", cc, "p2\\*", {{1, "-s^", 0, ""}}, 0},
    // Run from a UNC folder, where cmd cannot start: it is entered for an
    // empty current directory ("*/" stays as typed, as without a folder
    // line), and a relative one is taken from it. Saved, the file has no
    // folder line (empty.bat).
    {"unc_run.bat", cc, "", {{1, "", 0, "*/"}, {2, "", 0, "a.c"}}, 1, kBatchComplete, -1, 0, "", kNotInCodePage,
     "\\\\srv\\s\\b c"},
    {"unc_relative.bat", cc, "a", {{1, "", 0, "*/"}}, 0, kBatchComplete, -1, 0, "", kNotInCodePage, "\\\\srv\\s"},
};

// Where each program started and with which parameters, the batch file read
// as Windows' cmd reads it from the folder Z:\start: "folder>parameter|...".
const std::map<std::string, std::vector<std::string>> kRuns = {
    {"work_pause.bat", {"D:\\WORK>a.c"}},
    {"empty.bat", {"Z:\\start>"}},
    {"empty_pause.bat", {"Z:\\start>"}},
    {"placeholders.bat",
     {"Z:\\start>C:\\d\\img001.jpg|-t|C:\\t\\th_001.jpg",
      "Z:\\start>C:\\d\\img002.jpg|-t|C:\\t\\th_002.jpg"}},
    {"slash.bat", {"Z:\\start>C:\\d/img001.jpg", "Z:\\start>C:\\d/img002.jpg"}},
    {"walk_aborted.bat", {"C:\\p\\a\\x>x"}},
    {"too_long.bat", {"Z:\\start>C:\\L\\a.jpg|" + x250 + "|" + y245}},
    {"unusable_files.bat", {"Z:\\start>C:\\u\\A_B~~VO4.TXT", "Z:\\start>C:\\u\\axb.txt"}},
    {"unusable_dirs.bat", {"C:\\u\\_DIR~1>_DIR~1"}},
    {"long_dir.bat", {dir259 + ">a.c"}},
    {"relative.bat", {"Z:\\SRC>a.c"}},
    {"blank_dir.bat", {"D:\\My Work>My Work"}},
    {"drive_only.bat", {"D:\\>"}},
    {"quoted_dir.bat", {"D:\\WORK>WORK.log"}},
    {"walk_files.bat",
     {"C:\\p\\a\\x>1.jpg|-o|C:\\out\\x\\1.png", "C:\\p\\a>2.jpg|-o|C:\\out\\a\\2.png",
      "C:\\p\\b>4.jpg|-o|C:\\out\\b\\4.png"}},
    {"disk_names.bat",
     {"Z:\\start>C:\\n\\R&D.txt|tag", "Z:\\start>C:\\n\\50%.txt|tag", "Z:\\start>C:\\n\\a^b.txt|tag",
      "Z:\\start>C:\\n\\my file.txt|tag", "Z:\\start>C:\\n\\plain.txt|tag",
      "Z:\\start>C:\\n\\\xFD%.txt|tag"}},
    {"walk_names.bat",
     {"C:\\w\\R&D>R&D|f.txt", "C:\\w\\50%>50%|f.txt", "C:\\w\\50%>50%|g%.txt",
      "C:\\w\\my dir>my dir|f.txt", "C:\\w\\a^b>a^b|f.txt"}},
    {"typed_names.bat", {"C:\\100>100|C:\\My Docs\\"}},
    {"call_names.bat",
     {"Z:\\start>C:\\n\\R&D.txt", "Z:\\start>C:\\n\\a^b.txt", "Z:\\start>C:\\n\\my file.txt",
      "Z:\\start>C:\\n\\plain.txt"}},
    {"call_walk.bat", {"C:\\w\\R&D>R&D|f.txt", "C:\\w\\my dir>my dir|f.txt", "C:\\w\\a^b>a^b|f.txt"}},
    {"unc.bat", {"\\\\srv\\s\\a>a", "\\\\srv\\s\\b c>b c"}},
    {"relative_walk.bat", {"Z:\\start\\p2\\a>1.txt", "Z:\\start\\p2\\b>2.txt"}},
    {"other_drive.bat", {"D:\\my dir>a.c"}},
    {"cmd_copy.bat",
     {"Z:\\start>C:\\n\\R&D.txt|C:\\out", "Z:\\start>C:\\n\\a^b.txt|C:\\out",
      "Z:\\start>C:\\n\\my file.txt|C:\\out", "Z:\\start>C:\\n\\plain.txt|C:\\out"}},
    {"typed_disk.bat",
     {"C:\\w\\50%>50%|C:\\n\\50%.txt|C:\\tmp\\x.txt|C:\\a b\\x.txt|C:\\c d\\y.txt|g%.txt"}},
    {"several_names.bat",
     {"C:\\w\\R&D>f.txt|C:\\a b\\x.txt|C:\\out\\R&D\\f.bak",
      "C:\\w\\50%>f.txt|C:\\a b\\x.txt|C:\\out\\50%\\f.bak",
      "C:\\w\\50%>g%.txt|C:\\a b\\x.txt|C:\\out\\50%\\g%.bak",
      "C:\\w\\my dir>f.txt|C:\\a b\\x.txt|C:\\out\\my dir\\f.bak",
      "C:\\w\\a^b>f.txt|C:\\a b\\x.txt|C:\\out\\a^b\\f.bak"}},
    {"percent_parts.bat",
     {"Z:\\start>C:\\w\\50%\\f.txt|-o|C:\\w\\50%\\new.txt|C:\\tmp\\x.txt",
      "Z:\\start>C:\\w\\50%\\g%.txt|-o|C:\\w\\50%\\new.txt|C:\\tmp\\x.txt"}},
    {"percent_cmd.bat", {}},
    {"typed_cmd.bat", {}},
    {"caret_end.bat", {"Z:\\start\\p2\\a>-s^", "Z:\\start\\p2\\b>-s^"}},
    {"unc_run.bat", {"\\\\srv\\s\\b c>*/|a.c"}},
    {"unc_relative.bat", {"\\\\srv\\s\\a>a"}},
};

// The runs of a batch file started in `folder` in the form of kRuns; every
// line starts the program (cmd.exe's command for cmd.exe) and nothing else.
std::vector<std::string> ModelRuns(const std::string& text, const char* program, const char* folder) {
  CmdWorld world = MakeCmdWorld();
  world.environment["tag"] = "tag";
  world.environment["temp"] = "C:\\tmp";
  RunBatchText(&world, text, folder[0] != '\0' ? folder : "Z:\\start");
  EXPECT_EQ(world.brokenLines + world.joinedLines, 0) << text;
  EXPECT_TRUE(world.mappedDrives.empty()) << text;
  std::string bare = program;
  RemoveEnclosingQuotes(bare.data());
  std::vector<std::string> runs;
  for (const CmdStart& start : world.starts) {
    const std::vector<std::string> argv = SplitArguments(start.line);
    EXPECT_TRUE(argv[0] == bare.c_str() || IsCommandInterpreter(program)) << start.line;
    std::string run = start.folder + ">";
    for (std::size_t i = 1; i < argv.size(); ++i) run += (i > 1 ? "|" : "") + argv[i];
    runs.push_back(run);
  }
  return runs;
}
// clang-format on

TEST(BatchFile, GoldenFiles) {
  for (const BatchCase& c : kCases) {
    MakeTree();
    g_fakeDisk.reservesLeft = c.reserves;
    ParameterSet input = MakeParameterSet(c.program, c.currentDirectory, c.rows);
    input.pauseAtEnd = c.pause;
    RunPlan plan{};
    FakePlan(input, kPlanBatch, &plan, nullptr, c.planning);
    ByteBuffer out;
    EXPECT_EQ(PrintBatchFile(plan, &out), c.result) << c.golden;
    bool read = false;
    const std::string golden = ReadWholeFile(TestDataDir() + "/batch/" + c.golden, &read);
    EXPECT_TRUE(read && std::string(out.data, out.size) == golden)
        << c.golden << ":\n"
        << std::string(out.data, out.size);
    EXPECT_TRUE(g_fakeDisk.blocks.empty()) << c.golden;
    char report[600];
    EXPECT_EQ(FormatLeftOutReport(plan.leftOut, report, sizeof report, c.leftOutReason),
              c.leftOut > 0)
        << c.golden;
    EXPECT_EQ(plan.leftOut.count[c.leftOutReason], c.leftOut) << c.golden;
    EXPECT_EQ(plan.leftOut.count[kNotInCodePage] + plan.leftOut.count[kChangedByCmd], c.leftOut)
        << c.golden;
    EXPECT_NE(std::string(report).find(c.firstLeftOut), std::string::npos) << report;
    ASSERT_EQ(kRuns.count(c.golden), 1u) << c.golden;
    EXPECT_EQ(ModelRuns(std::string(out.data, out.size), c.program, c.planning), kRuns.at(c.golden)) << c.golden;
    FreeByteBuffer(&out);
    FreeRunPlan(&plan);
  }
}

// The plan of a record: its blocks ("folder>folder name"), the program as
// it starts, the folder of a direct plan's commands, one argument text per
// match in the form the program's reader needs, and the lines of its mode.
// Files given on the command line are the matches of the first file text
// with a wildcard, each in its own folder.
TEST(RunPlan, RecordInPlanOut) {
  const std::string long250(250, 'x'), long245(245, 'y'), long259(259, 'z');
  const struct {
    const char* program;
    const char* directory;
    std::vector<RowCase> rows;
    int mode;
    int result, expanded;
    const char* listedProgram;
    const char* folder;  // the folder of a direct plan's commands
    std::vector<std::string> blocks;
    std::vector<std::string> commands;
    const char* firstLine;
    const char* given = nullptr;  // names split by '|'
    std::vector<int> leftOut = {0, 0, 0};  // by LeftOutReason, when files are given
    const char* planning = "Z:\\start";
  } cases[] = {
      {"\"D:\\My Tools\\cc.exe\"", "D:\\WORK", {{1, "-v", 1, "a.c"}}, kPlanDirect, -1, 0,
       "D:\\My Tools\\cc.exe", "D:\\WORK", {"D:\\WORK>"}, {"-v a.c"},
       "\"D:\\My Tools\\cc.exe\" -v a.c"},
      // An empty current directory is the planning folder in a direct plan,
      // none in a batch file.
      {cc, "", {{1, "", 0, "C:\\d\\img*.jpg"}, {2, "-o", 1, "C:\\t\\*1.png"}}, kPlanDirect, -1, 1,
       cc, "Z:\\start", {"Z:\\start>"},
       {"C:\\d\\img001.jpg -o C:\\t\\001.png", "C:\\d\\img002.jpg -o C:\\t\\002.png"},
       "D:\\BIN\\CC.EXE C:\\d\\img001.jpg -o C:\\t\\001.png"},
      {cc, "", {{1, "", 0, "C:\\d\\none*.jpg"}}, kPlanBatch, -1, 1, cc, "", {">"}, {}, ""},
      // The system takes a folder without quotes.
      {cc, "\"D:\\my dir\"", {{1, "", 0, "a.c"}}, kPlanDirect, -1, 0, cc, "D:\\my dir",
       {"D:\\my dir>"}, {"a.c"}, "D:\\BIN\\CC.EXE a.c"},
      // A name from disk in a text of several paths is quoted in a direct line too.
      {cc, "", {{1, "", 0, "C:\\n\\my*.txt"}, {2, "", 0, "\"C:\\a b\\x.txt\" C:\\o\\*.bak"}},
       kPlanDirect, -1, 1, cc, "Z:\\start", {"Z:\\start>"},
       {"\"C:\\n\\my file.txt\" \"C:\\a b\\x.txt\" \"C:\\o\\my file.bak\""}, nullptr},
      // A name found on disk has its '%' doubled only in a batch line.
      {cc, "", {{1, "", 0, "C:\\n\\50*.txt"}}, kPlanDirect, -1, 1, cc, "Z:\\start",
       {"Z:\\start>"}, {"C:\\n\\50%.txt"}, "D:\\BIN\\CC.EXE C:\\n\\50%.txt"},
      {cc, "", {{1, "", 0, "C:\\n\\50*.txt"}}, kPlanBatch, -1, 1, cc, "", {">"},
       {"C:\\n\\50%%.txt"}, "D:\\BIN\\CC.EXE C:\\n\\50%%.txt"},
      // One block per walked folder, relative texts searched there.
      {cc, "C:\\p\\*", {{1, "", 0, "*.jpg"}}, kPlanBatch, -1, 1, cc, "",
       {"C:\\p\\a\\x>x", "C:\\p\\a>a", "C:\\p\\b>b"}, {"1.jpg", "2.jpg", "4.jpg"},
       "D:\\BIN\\CC.EXE 1.jpg"},
      {cc, "C:\\p\\*", {}, kPlanDirect, kErrorWildcardDirectory, 0, cc, "", {}, {}, ""},
      // A batch program starts through the shell in either mode.
      {"mk.bat", "D:\\W", {{1, "a&b", 0, ""}}, kPlanDirect, -1, 0, "mk.bat", "D:\\W",
       {"D:\\W>"}, {"a&b"}, "C:\\cmd.exe /d /e:on /v:off /c \"\"mk.bat\" a&b\""},
      {"mk.bat", "D:\\W", {{1, "a&b", 0, ""}}, kPlanBatch, -1, 0, "mk.bat", "", {"D:\\W>W"},
       {"a&b"}, "\"%ComSpec%\" /d /e:on /v:off /c ^\"\"mk.bat\" a^&b^\""},
      // A command too long ends the plan; those before it stay.
      {cc, "", {{1, "", 0, "C:\\L\\*.jpg"}, {2, long250.c_str(), 0, ""}, {3, long245.c_str(), 0, ""}},
       kPlanBatch, kErrorLineTooLong, 1, cc, "", {">"}, {"C:\\L\\a.jpg " + long250 + " " + long245},
       nullptr},
      {cc, "", {{1, long250.c_str(), 0, long259.c_str()}, {2, "", 0, "b"}, {3, "", 0, "c"}}, kPlanDirect,
       kErrorLineTooLong, 0, cc, "Z:\\start", {"Z:\\start>"}, {}, ""},
      // Given files in the order given, each run in its folder; a folder
      // stands for its matches; a name the pattern does not match is left out.
      {cc, "", {{1, "", 0, "C:\\photos\\*.jpg"}, {2, "-o", 1, "out\\*1.png"}}, kPlanDirect, -1, 1, cc,
       "C:\\d", {"C:\\d>d", "C:\\p\\b>b", "C:\\d>d"},
       {"C:\\d\\img002.jpg -o out\\img002.png", "C:\\p\\b\\4.jpg -o out\\4.png",
        "C:\\d\\img001.jpg -o out\\img001.png", "C:\\d\\img002.jpg -o out\\img002.png"},
       "D:\\BIN\\CC.EXE C:\\d\\img002.jpg -o out\\img002.png", "C:\\d\\img002.jpg|C:\\p\\b\\4.jpg|C:\\p\\a\\3.txt|C:\\d",
       {0, 0, 1}},
      // A batch plan: one block per folder, in the order first met.
      {cc, "", {{1, "", 0, "*.JPG"}, {2, "", 0, "*/_*1.txt"}}, kPlanBatch, -1, 1, cc, "",
       {"C:\\d>d", "C:\\p\\b>b"}, {"C:\\d\\img002.jpg d_img002.txt", "C:\\d\\img001.jpg d_img001.txt",
       "C:\\p\\b\\4.jpg b_4.txt"}, nullptr, "C:\\d\\img002.jpg|C:\\p\\b\\4.jpg|C:\\d\\img001.jpg"},
      // A typed current directory is where they all run.
      {cc, "D:\\WORK", {{1, "", 0, "*.jpg"}}, kPlanDirect, -1, 1, cc, "D:\\WORK", {"D:\\WORK>b", "D:\\WORK>a"},
       {"C:\\p\\b\\4.jpg", "C:\\p\\a\\2.jpg"}, nullptr, "C:\\p\\b\\4.jpg|C:\\p\\a\\2.jpg"},
      // Names the code page cannot hold go by their short names or are left
      // out; so is a folder whose '%' cmd would read; "*.*" takes a name
      // without a dot too.
      {cc, "", {{1, "", 0, "*.*"}}, kPlanBatch, -1, 1, cc, "", {"C:\\u>u", "C:\\x>x"},
       {"C:\\u\\A_B~~VO4.TXT", "C:\\u\\axb.txt", "C:\\x\\README"}, nullptr,
       "C:\\u|C:\\w\\50%\\f.txt|C:\\x\\README", {1, 1, 0}},
      {cc, "", {{1, "", 0, "C:\\in\\*."}}, kPlanDirect, -1, 1, cc, "C:\\x", {"C:\\x>x"}, {"C:\\x\\README"}, nullptr,
       "C:\\x\\README|C:\\x\\a.c", {0, 0, 1}},
      // Under a UNC planning folder a relative current directory is joined
      // to it (from the share's root after a backslash); a batch program
      // there enters its folder and leaves it.
      {"mk.bat", "sub", {{1, "x", 0, ""}}, kPlanDirect, -1, 0, "mk.bat", "\\\\srv\\s\\a\\sub",
       {"\\\\srv\\s\\a\\sub>"}, {"x"},
       "C:\\cmd.exe /d /e:on /v:off /c \"pushd \"\\\\srv\\s\\a\\sub\" || exit 1 & \"mk.bat\" x & "
       "call set tavix_rc=%^errorlevel% & popd & call exit %^tavix_rc%\"", nullptr, {0, 0, 0}, "\\\\srv\\s\\a"},
      {cc, "\\up", {{1, "", 0, "*/"}}, kPlanBatch, -1, 0, cc, "", {"\\\\srv\\s\\up>up"}, {"up"}, nullptr,
       nullptr, {0, 0, 0}, "\\\\srv\\s\\a"},
      // A set without a wildcard file text takes no files.
      {cc, "", {{1, "-v", 1, "a.c"}}, kPlanDirect, -1, 0, cc, "", {}, {}, nullptr, "C:\\d\\img001.jpg"},
  };
  for (const auto& c : cases) {
    MakeTree();
    const ParameterSet set = MakeParameterSet(c.program, c.directory, c.rows);
    std::string names = c.given != nullptr ? c.given : "";
    int count = c.given != nullptr ? 1 : 0;
    for (char& ch : names) {
      if (ch == '|') ch = '\0', ++count;
    }
    const GivenFiles given = {names.c_str(), count};
    RunPlan plan{};
    EXPECT_EQ(FakePlan(set, c.mode, &plan, nullptr, c.planning, c.given != nullptr ? &given : nullptr),
              c.result)
        << c.program;
    if (c.given != nullptr) {
      EXPECT_EQ(c.leftOut, std::vector<int>(plan.leftOut.count, plan.leftOut.count + kLeftOutReasons)) << c.given;
      EXPECT_EQ(c.blocks.empty(), plan.noExpandedRow == 1) << c.given;
    }
    EXPECT_EQ(plan.commands.expanded, c.expanded) << c.rows[0].fileText;
    EXPECT_STREQ(plan.commands.program, c.listedProgram);
    EXPECT_STREQ(plan.commands.directory, c.folder);
    std::vector<std::string> blocks;
    for (int i = 0; i < BlockCount(plan); ++i) {
      blocks.push_back(std::string(BlockAt(plan, i).folder) + ">" + BlockAt(plan, i).name.text);
    }
    EXPECT_EQ(blocks, c.blocks) << c.rows[0].fileText;
    std::vector<std::string> commands;
    const char* at = plan.commands.arguments.data;
    for (int i = 0; i < plan.commands.count; ++i, at = NextText(at)) commands.push_back(at);
    EXPECT_EQ(commands, c.commands) << c.rows[0].fileText;
    if (c.firstLine != nullptr && plan.commands.count > 0) {
      EXPECT_STREQ(plan.lines.data, c.firstLine);
    }
    FreeRunPlan(&plan);
    EXPECT_TRUE(g_fakeDisk.blocks.empty());
  }
}

}  // namespace

// The decisions of the "..." buttons: the proposed name, the start place, the
// second showing after a refused name, the text written back, and the folder
// the browser starts at.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "input/pickers.h"
#include "support/dialog_names.h"

namespace {

// The file-open dialog as a script: each showing takes the next answer (a
// chosen path, or nullptr with an extended error).
struct Answer {
  const char* path;
  unsigned long error;
};
std::vector<Answer> g_answers;
std::vector<std::string> g_proposed;  // the name proposed at each showing
std::vector<std::string> g_workingDirectories;
unsigned long g_lastError = 0;

int FakeShow(char* name) {
  g_proposed.push_back(name);
  const Answer answer = g_answers[g_proposed.size() - 1];
  g_lastError = answer.error;
  if (answer.path == nullptr) return 0;
  std::snprintf(name, kPickNameSize, "%s", answer.path);
  return 1;
}
unsigned long FakeError() { return g_lastError; }
void FakeSetDirectory(const char* directory) { g_workingDirectories.push_back(directory); }
int g_refusals = 0;
void FakeRefuse() { ++g_refusals; }

constexpr FilePickerPlatform kFake = {FakeShow, FakeError, FakeSetDirectory, FakeRefuse};

TEST(FilePicker, ProposesStartsAndWritesBack) {
  using Strings = std::vector<std::string>;
  // Paths of 259 and 260 bytes ending in a double-byte character: the field
  // holds the first whole; the second is refused, never cut.
  const std::string longest = "D:\\" + std::string(249, 'p') + "\\表.bat";
  const std::string tooLong = "D:\\" + std::string(250, 'p') + "\\表.bat";
  const struct {
    const char* field;
    const char* start;  // nullptr: no start-place field
    std::vector<Answer> answers;
    Strings proposed;
    Strings workingDirectories;
    const char* written;  // nullptr: nothing chosen
    int refusals = 0;     // messages about a path too long
  } cases[] = {
      {"\"D:\\My Tools\\cc.exe\"", nullptr, {{"D:\\My Tools\\cc.exe", 0}},
       {"D:\\My Tools\\cc.exe"}, {}, "\"D:\\My Tools\\cc.exe\""},
      {"", "D:\\TOOLS\\CC.EXE", {{"D:\\TOOLS\\CC.HLP", 0}}, {""}, {"D:\\TOOLS"}, "D:\\TOOLS\\CC.HLP"},
      {"", "D:\\CC.EXE", {{nullptr, 0}}, {""}, {"D:\\"}, nullptr},
      // The cut keeps the opening quote: the system will refuse that folder.
      {"\"\"", "\"D:\\My Tools\\cc.exe\"", {{nullptr, 0}}, {""}, {"\"D:\\My Tools"}, nullptr},
      {"", "CC.EXE", {{nullptr, 0}}, {""}, {}, nullptr},
      {"", nullptr, {{"a b", 0}}, {""}, {}, "\"a b\""},
      {"old.hlp", "D:\\TOOLS\\CC.EXE", {{nullptr, 0}}, {"old.hlp"}, {}, nullptr},
      {"a|b", nullptr, {{nullptr, kRefusedFileNameError}, {"D:\\ok.txt", 0}}, {"a|b", ""}, {}, "D:\\ok.txt"},
      {"a|b", nullptr, {{nullptr, kRefusedFileNameError}, {nullptr, kRefusedFileNameError}}, {"a|b", ""}, {}, nullptr},
      {"x", nullptr, {{nullptr, 0xFFFF}}, {"x"}, {}, nullptr},
      {"", nullptr, {{longest.c_str(), 0}}, {""}, {}, longest.c_str()},
      {"", nullptr, {{tooLong.c_str(), 0}}, {""}, {}, nullptr, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " / " + (c.start ? c.start : "(none)"));
    g_answers = c.answers;
    g_proposed.clear();
    g_workingDirectories.clear();
    g_refusals = 0;
    char name[kPickNameSize];
    std::snprintf(name, sizeof name, "%s", c.field);
    EXPECT_EQ(c.written != nullptr, RunFilePicker(name, c.start, kFake) == 1);
    if (c.written != nullptr) {
      EXPECT_STREQ(c.written, name);
    }
    EXPECT_EQ(c.proposed, g_proposed);
    EXPECT_EQ(c.workingDirectories, g_workingDirectories);
    EXPECT_EQ(c.refusals, g_refusals);
  }
}

TEST(FolderPicker, StartsAtTheFieldOrTheProgramsDirectory) {
  const struct {
    const char* field;
    const char* start;
    const char* folder;
  } cases[] = {
      {"D:\\My Work", "D:\\TOOLS\\CC.EXE", "D:\\My Work"}, {"", "D:\\CC.EXE", "D:\\"},
      {"", "CC.EXE", ""}, {"", nullptr, ""},
  };
  for (const auto& c : cases) {
    char folder[260] = "junk";
    FolderPickerStart(c.field, c.start, folder);
    EXPECT_STREQ(c.folder, folder) << c.field << " / " << (c.start ? c.start : "(none)");
  }
}

// Proposed names: characters Windows refuses in file names become "_",
// double-byte characters (表 and ソ end in 0x5C, ヂ in "a") stay whole.
TEST(DialogNames, ProposedNamesHoldNoCharacterWindowsRefuses) {
  const struct { const char* text; std::size_t size; const char* proposed; } cases[] = {
      {"a/b", 64, "a_b"}, {"jpg->png", 64, "jpg-_png"}, {"x:y", 64, "x_y"}, {"\\*?\"<>|\t", 64, "________"},
      {"表|ソ\\ヂ", 64, "表_ソ_ヂ"}, {"ab表", 4, "ab"}, {"abc", 3, "ab"}};
  for (const auto& c : cases) {
    char out[64] = "garbage";
    MakeProposedFileName(c.text, out, c.size);
    EXPECT_STREQ(c.proposed, out) << c.text;
  }
}

// A chosen path goes into a 260-byte buffer whole or not at all.
TEST(DialogNames, ChosenPathsAreCopiedWholeOrRefused) {
  for (std::size_t length : {259u, 260u, 261u}) {
    const std::string path = "C:\\" + std::string(length - 10, 'd') + "\\表.bat";
    char out[260] = "old";
    EXPECT_EQ(length == 259 ? 1 : 0, CopyWholeName(out, sizeof out, path.c_str())) << length;
    EXPECT_EQ(length == 259 ? path : "old", out) << length;
  }
}

}  // namespace

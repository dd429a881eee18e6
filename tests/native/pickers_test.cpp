// The decisions of the "..." buttons: the proposed name, the start place, the
// second showing after a refused name, the text written back, and the folder
// the browser starts at.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "input/pickers.h"

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

constexpr FilePickerPlatform kFake = {FakeShow, FakeError, FakeSetDirectory};

TEST(FilePicker, ProposesStartsAndWritesBack) {
  using Strings = std::vector<std::string>;
  const std::string longest = "D:\\" + std::string(255, 'p') + " x";  // 260 characters: kept whole
  const struct {
    const char* field;
    const char* start;  // nullptr: no start-place field
    std::vector<Answer> answers;
    Strings proposed;
    Strings workingDirectories;
    const char* written;  // nullptr: nothing chosen
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
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " / " + (c.start ? c.start : "(none)"));
    g_answers = c.answers;
    g_proposed.clear();
    g_workingDirectories.clear();
    char name[kPickNameSize];
    std::snprintf(name, sizeof name, "%s", c.field);
    EXPECT_EQ(c.written != nullptr, RunFilePicker(name, c.start, kFake) == 1);
    if (c.written != nullptr) {
      EXPECT_STREQ(c.written, name);
    }
    EXPECT_EQ(c.proposed, g_proposed);
    EXPECT_EQ(c.workingDirectories, g_workingDirectories);
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

}  // namespace

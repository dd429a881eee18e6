// The decisions of the "..." buttons: the proposed name, the start place, the
// second showing after a refused name, the text written back, the folder the
// browser starts at, and the focus moves of Ctrl+Tab within a column.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "input/control_groups.h"
#include "input/pickers.h"
#include "resource.h"

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

TEST(FilePicker, ALongestChosenPathIsWrittenWhole) {
  const std::string path = "D:\\" + std::string(255, 'p') + " x";  // 260 characters
  g_answers = {{path.c_str(), 0}};
  g_proposed.clear();
  char name[kPickNameSize] = "";
  ASSERT_EQ(1, RunFilePicker(name, nullptr, kFake));
  EXPECT_EQ(path, name);
}

TEST(FolderPicker, StartsAtTheFieldOrTheProgramsDirectory) {
  const struct {
    const char* field;
    const char* start;
    const char* folder;
  } cases[] = {
      {"D:\\My Work", "D:\\TOOLS\\CC.EXE", "D:\\My Work"}, {"", "D:\\TOOLS\\CC.EXE", "D:\\TOOLS"},
      {"", "D:\\CC.EXE", "D:\\"},                           {"", "CC.EXE", ""},
      {"", "", ""},                                         {"", nullptr, ""},
  };
  for (const auto& c : cases) {
    char folder[260] = "junk";
    FolderPickerStart(c.field, c.start, folder);
    EXPECT_STREQ(c.folder, folder) << c.field << " / " << (c.start ? c.start : "(none)");
  }
}

TEST(ControlGroups, CtrlTabMovesToTheNeighbourWithinTheColumn) {
  const struct {
    int group;
    int from;
    int shiftDown;
    int to;  // 0: the focus stays
  } cases[] = {
      {kDropGroup, IDC_CURPATH, 0, IDC_EXEPATH},        {kDropGroup, IDC_EXEPATH, 0, IDC_ARG1_FILE},
      {kDropGroup, IDC_HELPPATH, 0, 0},                 {kDropGroup, IDC_HELPPATH, 1, IDC_ARG8_FILE},
      {kDropGroup, IDC_CURPATH, 1, 0},                  {kSwitchGroup, IDC_ARG8_SWITCH, 0, 0},
      {kSwitchGroup, IDC_ARG8_SWITCH, 1, IDC_ARG7_SWITCH}, {kSpaceGroup, IDC_ARG1_SPACE, 0, IDC_ARG2_SPACE},
      {kBrowseGroup, IDC_ARG1_BROWSE, 1, 0},            {kBrowseGroup, IDC_ARG7_BROWSE, 0, IDC_ARG8_BROWSE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "from " << c.from << " shift " << c.shiftDown);
    int index = 0;
    while (index < GroupMemberCount(c.group) && kControlGroups[c.group].ids[index] != c.from) ++index;
    ASSERT_LT(index, GroupMemberCount(c.group));
    const int target = FocusMoveTarget(c.group, index, c.shiftDown);
    EXPECT_EQ(c.to, target < 0 ? 0 : kControlGroups[c.group].ids[target]);
  }
}

TEST(ControlGroups, ThirtyFiveControlsEachInOneGroup) {
  std::set<int> ids;
  int members = 0;
  for (int group = 0; group < kControlGroupCount; ++group) {
    members += GroupMemberCount(group);
    for (int i = 0; i < GroupMemberCount(group); ++i) ids.insert(kControlGroups[group].ids[i]);
  }
  EXPECT_EQ(35, members);
  EXPECT_EQ(35u, ids.size());
}

}  // namespace

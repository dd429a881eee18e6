// The argument text and program texts read from the real main dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "command_line_cases.h"
#include "expand/file_expansion.h"
#include "hidden_main_dialog.h"
#include "resource.h"

namespace {

class BuildArgumentTest : public HiddenMainDialogSuite {
 protected:
  void SetUp() override {
    ASSERT_NE(dialog_, nullptr);
    ResetTestExpansion();
  }

  void SetRows(const char* program, const std::vector<RowCase>& rows) {
    SetDlgItemTextA(dialog_, IDC_EXEPATH, program);
    for (int i = 0; i < 8; ++i) {
      SetDlgItemTextA(dialog_, kSwitchIds[i], "");
      CheckDlgButton(dialog_, kSpaceIds[i], BST_UNCHECKED);
      SetDlgItemTextA(dialog_, kFileIds[i], "");
    }
    for (const RowCase& row : rows) {
      SetDlgItemTextA(dialog_, kSwitchIds[row.row - 1], row.switchText);
      CheckDlgButton(dialog_, kSpaceIds[row.row - 1], row.spaceOn ? BST_CHECKED : BST_UNCHECKED);
      SetDlgItemTextA(dialog_, kFileIds[row.row - 1], row.fileText);
    }
  }

  std::string Build() {
    char out[kArgumentTextCapacity];
    if (!BuildArgumentText(dialog_, out, sizeof out)) return "<fail>";
    return out;
  }

  std::string BatchLine() {
    std::string arguments = Build();
    char line[kBatchLineSize];
    EXPECT_EQ(ComposeBatchLine(ReadSet(dialog_).programText, arguments.c_str(), line, sizeof line), 1);
    return line;
  }
};

TEST_F(BuildArgumentTest, WorkedExamples) {
  for (const WorkedExample& example : WorkedExamples()) {
    SetRows(example.program, example.rows);
    EXPECT_EQ(Build(), example.arguments);
    EXPECT_EQ(BatchLine(), example.batchLine);
  }
}

TEST_F(BuildArgumentTest, EveryRowIsReadFromItsOwnControls) {
  std::vector<RowCase> rows;
  static const char* const switches[8] = {"S1", "S2", "S3", "S4", "S5", "S6", "S7", "S8"};
  static const char* const files[8] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8"};
  for (int row = 1; row <= 8; ++row) rows.push_back({row, switches[row - 1], row % 2 == 0, files[row - 1]});
  SetRows("p.exe", rows);
  EXPECT_EQ(Build(), "S1F1 S2 F2 S3F3 S4 F4 S5F5 S6 F6 S7F7 S8 F8");
}

TEST_F(BuildArgumentTest, LongControlTextsTakePartWith259Characters) {
  std::string file(300, 'f');
  SetRows("p.exe", {{1, "", 0, file.c_str()}});
  EXPECT_EQ(Build(), std::string(259, 'f'));
  std::string program(300, 'p');
  SetRows(program.c_str(), {});
  EXPECT_EQ(BatchLine(), std::string(259, 'p') + " ");
}

TEST_F(BuildArgumentTest, LengthLimitThroughTheDialog) {
  std::string first(259, 'a');
  std::string fits(251, 'b');
  std::string tooLong(252, 'b');
  SetRows("p.exe", {{1, "", 0, first.c_str()}, {2, "", 0, fits.c_str()}});
  EXPECT_EQ(Build().size(), 511u);
  SetRows("p.exe", {{1, "", 0, first.c_str()}, {2, "", 0, tooLong.c_str()}});
  EXPECT_EQ(Build(), "<fail>");
}

TEST_F(BuildArgumentTest, DirectProgramText) {
  for (const DirectProgramCase& c : DirectProgramCases()) {
    SetRows(c.typed, {});
    char out[kRowTextSize];
    MakeDirectProgramText(ReadSet(dialog_).programText, out);
    EXPECT_STREQ(out, c.direct);
  }
}

TEST_F(BuildArgumentTest, JapaneseTextsPassUnchanged) {
  SetRows("D:\\ツール\\表示.exe", {{1, "／表", 1, "D:\\データ表\\ソース.txt"}});
  EXPECT_EQ(Build(), "／表 D:\\データ表\\ソース.txt");
  EXPECT_EQ(BatchLine(), "D:\\ツール\\表示.exe ／表 D:\\データ表\\ソース.txt");
}

}  // namespace

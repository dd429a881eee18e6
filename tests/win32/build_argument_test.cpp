// The argument text and program texts read from the real main dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "expand/file_expansion.h"
#include "resource.h"
#include "run/command_line_win32.h"

namespace {

const int kSwitchIds[8] = {1010, 1012, 1013, 1014, 1015, 1016, 1017, 1018};
const int kSpaceIds[8] = {1011, 1019, 1020, 1021, 1022, 1023, 1024, 1025};
const int kFileIds[8] = {1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009};

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct RowSpec {
  int row;
  const char* switchText;
  int spaceOn;
  const char* fileText;
};

class BuildArgumentTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                 QuietDialogProc, 0);
  }
  static void TearDownTestSuite() {
    if (dialog_ != nullptr) DestroyWindow(dialog_);
    dialog_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(dialog_, nullptr);
    EndFileExpansion();
    g_currentFolderName[0] = '\0';
  }

  void SetRows(const char* program, const std::vector<RowSpec>& rows) {
    SetDlgItemTextA(dialog_, IDC_EXEPATH, program);
    for (int i = 0; i < 8; ++i) {
      SetDlgItemTextA(dialog_, kSwitchIds[i], "");
      CheckDlgButton(dialog_, kSpaceIds[i], BST_UNCHECKED);
      SetDlgItemTextA(dialog_, kFileIds[i], "");
    }
    for (const RowSpec& row : rows) {
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
    char program[kBatchProgramTextSize];
    GetBatchProgramText(dialog_, program);
    return program + arguments;
  }

  static HWND dialog_;
};

HWND BuildArgumentTest::dialog_ = nullptr;

struct WorkedExample {
  const char* program;
  std::vector<RowSpec> rows;
  const char* arguments;
  const char* batchLine;
};

TEST_F(BuildArgumentTest, WorkedExamples) {
  const char* cc = "D:\\BIN\\CC.EXE";
  const std::vector<WorkedExample> examples = {
      {cc, {{1, "-O", 0, ""}, {2, "-o", 1, "out.exe"}, {3, "", 0, "main.c"}},
       "-O -o out.exe main.c", "D:\\BIN\\CC.EXE -O -o out.exe main.c"},
      {cc, {{1, "/o:", 0, "result.txt"}}, "/o:result.txt", "D:\\BIN\\CC.EXE /o:result.txt"},
      {cc, {{1, "/o:", 1, "result.txt"}}, "/o: result.txt", "D:\\BIN\\CC.EXE /o: result.txt"},
      {cc, {{1, "-v", 0, ""}, {3, "", 0, "a.c"}}, "-v a.c", "D:\\BIN\\CC.EXE -v a.c"},
      {cc, {{1, "", 0, "D:\\My Files\\a.txt"}}, "\"D:\\My Files\\a.txt\"",
       "D:\\BIN\\CC.EXE \"D:\\My Files\\a.txt\""},
      {cc, {{1, "", 0, "\"D:\\My Files\\a.txt\""}}, "\"D:\\My Files\\a.txt\"",
       "D:\\BIN\\CC.EXE \"D:\\My Files\\a.txt\""},
      {cc, {{1, "", 0, "> log.txt"}}, "> log.txt", "D:\\BIN\\CC.EXE > log.txt"},
      {cc, {{1, "", 1, "x.dat"}}, " x.dat", "D:\\BIN\\CC.EXE  x.dat"},
      {cc, {{1, "-q", 1, ""}}, "-q", "D:\\BIN\\CC.EXE -q"},
      {cc, {}, "", "D:\\BIN\\CC.EXE "},
      {"D:\\Program Files\\App\\app.exe", {{1, "", 0, "x"}}, "x",
       "\"D:\\Program Files\\App\\app.exe\" x"},
  };
  for (const WorkedExample& example : examples) {
    SetRows(example.program, example.rows);
    EXPECT_EQ(Build(), example.arguments);
    EXPECT_EQ(BatchLine(), example.batchLine);
  }
}

TEST_F(BuildArgumentTest, EveryRowIsReadFromItsOwnControls) {
  std::vector<RowSpec> rows;
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
  struct Case {
    const char* typed;
    const char* direct;
  };
  const Case cases[] = {
      {"\"D:\\Program Files\\App\\app.exe\"", "D:\\Program Files\\App\\app.exe"},
      {"D:\\Program Files\\App\\app.exe", "D:\\Program Files\\App\\app.exe"},
      {"D:\\BIN\\CC.EXE", "D:\\BIN\\CC.EXE"},
  };
  for (const Case& c : cases) {
    SetRows(c.typed, {});
    char out[kRowTextSize];
    GetDirectProgramText(dialog_, out);
    EXPECT_STREQ(out, c.direct);
  }
}

TEST_F(BuildArgumentTest, JapaneseTextsPassUnchanged) {
  SetRows("D:\\ツール\\表示.exe", {{1, "／表", 1, "D:\\データ表\\ソース.txt"}});
  EXPECT_EQ(Build(), "／表 D:\\データ表\\ソース.txt");
  EXPECT_EQ(BatchLine(), "D:\\ツール\\表示.exe ／表 D:\\データ表\\ソース.txt");
}

}  // namespace

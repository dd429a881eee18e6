// Moving a parameter set between the real main dialog (created hidden from the
// program's resources) and section text or stored sets.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "hidden_main_dialog.h"
#include "param_helpers.h"
#include "params/field_table.h"
#include "params/param_set_win32.h"
#include "resource.h"
#include "support/byte_buffer.h"
#include "test_env.h"

namespace {

int IdOf(const char* key) {
  return g_fieldTable[RowOf(key)].id;
}

class ParamSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_ = CreateHiddenMainDialog();
    ASSERT_NE(dialog_, nullptr);
    SetOptionFlag(kOptionBatchOut, 0);
    SetOptionFlag(kOptionLastPause, 0);
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    SetOptionFlag(kOptionBatchOut, 0);
    SetOptionFlag(kOptionLastPause, 0);
  }

  std::string Section(const char* name) {
    ByteBuffer out;
    EXPECT_EQ(WriteSetSection(&out, name, dialog_), 1);
    return TakeBytes(&out);
  }

  std::string Text(const char* key) {
    char buffer[1024] = {};
    GetDlgItemTextA(dialog_, IdOf(key), buffer, sizeof buffer);
    return buffer;
  }

  bool Checked(const char* key) { return IsDlgButtonChecked(dialog_, IdOf(key)) == BST_CHECKED; }

  std::string Caption() {
    char buffer[64] = {};
    GetDlgItemTextA(dialog_, IDC_OPTION, buffer, sizeof buffer);
    return buffer;
  }

  // Fills every control and both options with something.
  void FillEverything() {
    for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
      const FieldDef& field = g_fieldTable[row];
      if (field.kind == kTextField) SetDlgItemTextA(dialog_, field.id, field.key);
      if (field.kind == kCheckField) CheckDlgButton(dialog_, field.id, BST_CHECKED);
      if (field.kind == kOptionField) SetOptionFlag(field.id, 1);
    }
  }

  HWND dialog_ = nullptr;
};

TEST_F(ParamSetTest, EmptyDialogWritesOnlyTheHeader) {
  EXPECT_EQ(Section("empty"), "[empty]\r\n");
}

TEST_F(ParamSetTest, OneCheckedSpaceBoxWritesOneLine) {
  CheckDlgButton(dialog_, IDC_ARG3_SPACE, BST_CHECKED);
  EXPECT_EQ(Section("row3"), "[row3]\r\nARG3SPACE=1\r\n");
}

std::string Repeat(const char* piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST_F(ParamSetTest, LongTextIsSavedCutTo259CharactersOfWholeCharacters) {
  struct Case { std::string text; std::string saved; };
  std::string ascii(300, 'x');
  ascii[258] = 'y';
  const Case cases[] = {
      {ascii, ascii.substr(0, 259)},
      // 259 bytes end inside the 130th double-byte character: it is left out.
      {Repeat("表", 140), Repeat("表", 129)},
      {"a" + Repeat("表", 140), "a" + Repeat("表", 129)},
  };
  for (const Case& c : cases) {
    SetDlgItemTextA(dialog_, IDC_EXEPATH, c.text.c_str());
    EXPECT_EQ(Section("s"), "[s]\r\nEXEPATH=" + c.saved + "\r\n") << c.text.size();
  }
}

TEST_F(ParamSetTest, EveryFieldIsWrittenInTableOrderFromItsControl) {
  FillEverything();
  std::string expected = "[all]\r\n";
  for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
    const FieldDef& field = g_fieldTable[row];
    expected += std::string(field.key) + "=" + (field.kind == kTextField ? field.key : "1") + "\r\n";
  }
  EXPECT_EQ(Section("all"), expected);
}

TEST_F(ParamSetTest, JapaneseTextsKeepTheirBytes) {
  SetDlgItemTextA(dialog_, IDC_ARG1_FILE, "ソース\\表.c");
  EXPECT_EQ(Section("表示"), "[表示]\r\nARG1FILE=ソース\\表.c\r\n");
}

TEST_F(ParamSetTest, ApplyingAStoredSetFollowsTheFlagRules) {
  FillEverything();
  StoredSet set{};
  set.name = "s";
  set.values[RowOf("EXEPATH")] = "C:\\tools\\cc.exe";
  set.values[RowOf("CURPATH")] = "";
  set.values[RowOf("ARG1SPACE")] = "0";
  set.values[RowOf("ARG2SPACE")] = "x";
  set.values[RowOf("ARG3SPACE")] = "";
  set.values[RowOf("BATCHOUT")] = "1";
  set.values[RowOf("LASTPAUSE")] = "0";
  ApplyStoredSet(dialog_, &set);
  EXPECT_EQ(Text("EXEPATH"), "C:\\tools\\cc.exe");
  EXPECT_EQ(Text("CURPATH"), "");
  EXPECT_EQ(Text("HELPPATH"), "");  // absent: emptied
  EXPECT_FALSE(Checked("ARG1SPACE"));
  EXPECT_TRUE(Checked("ARG2SPACE"));
  EXPECT_TRUE(Checked("ARG3SPACE"));
  EXPECT_FALSE(Checked("ARG4SPACE"));  // absent: unchecked
  EXPECT_EQ(GetOptionFlag(kOptionBatchOut), 1);
  EXPECT_EQ(GetOptionFlag(kOptionLastPause), 0);
  EXPECT_EQ(Caption(), "設定(&P)[10]");
}

TEST_F(ParamSetTest, AStoredSetAppliedAndSavedAgainGivesItsCarryOverSection) {
  StoredSet set{};
  set.values[RowOf("EXEPATH")] = "D:\\tools\\cc.exe";
  set.values[RowOf("ARG1SPACE")] = "yes";
  set.values[RowOf("ARG2FILE")] = "*.c";
  set.values[RowOf("LASTPAUSE")] = "2";
  ApplyStoredSet(dialog_, &set);
  ByteBuffer carried;
  ASSERT_EQ(WriteSetSection(&carried, "x", set), 1);
  EXPECT_EQ(Section("x"), TakeBytes(&carried));
}

TEST_F(ParamSetTest, ClearAndTheEmptySetEmptyEverything) {
  for (int way = 0; way < 3; ++way) {
    FillEverything();
    if (way == 0) ClearSet(dialog_);
    if (way == 1) ApplyStoredSet(dialog_, &g_emptySet);
    if (way == 2) ApplyStoredSet(dialog_, nullptr);
    EXPECT_EQ(Section("c"), "[c]\r\n") << way;
    EXPECT_EQ(Caption(), "設定(&P)[00]") << way;
  }
}

TEST_F(ParamSetTest, CaptionReplacesThePlaceholderAndFollowsTheFlags) {
  EXPECT_EQ(Caption(), "設定(&P)[_1_1_1_1]");
  ToggleOptionFlag(kOptionLastPause);
  UpdateOptionButtonCaption(dialog_);
  EXPECT_EQ(Caption(), "設定(&P)[01]");
  ToggleOptionFlag(kOptionBatchOut);
  UpdateOptionButtonCaption(dialog_);
  EXPECT_EQ(Caption(), "設定(&P)[11]");
}

TEST_F(ParamSetTest, ReadLiveSetSeesEveryKind) {
  SetDlgItemTextA(dialog_, IDC_HELPPATH, "h.txt");
  CheckDlgButton(dialog_, IDC_ARG8_SPACE, BST_CHECKED);
  SetOptionFlag(kOptionLastPause, 1);
  LiveSet live{};
  ReadLiveSet(dialog_, &live);
  EXPECT_STREQ(live.texts[RowOf("HELPPATH")], "h.txt");
  EXPECT_STREQ(live.texts[RowOf("EXEPATH")], "");
  EXPECT_EQ(live.states[RowOf("ARG8SPACE")], 1);
  EXPECT_EQ(live.states[RowOf("ARG7SPACE")], 0);
  EXPECT_EQ(live.states[RowOf("LASTPAUSE")], 1);
  EXPECT_EQ(live.states[RowOf("BATCHOUT")], 0);
}

}  // namespace

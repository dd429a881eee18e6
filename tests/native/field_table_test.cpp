// The field table, the option flags and the lines a section is made of.
#include "params/field_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "param_helpers.h"
#include "support/byte_buffer.h"
#include "support/dbcs.h"

namespace {

std::string Section(const char* name, const LiveSet& live) {
  ByteBuffer out;
  EXPECT_EQ(AppendLiveSection(&out, name, live), 1);
  return TakeBytes(&out);
}

std::string Section(const char* name, const StoredSet& set) {
  ByteBuffer out;
  EXPECT_EQ(WriteSetSection(&out, name, set), 1);
  return TakeBytes(&out);
}

class FieldTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    live_ = LiveSet{};
    SetOptionFlag(kOptionBatchOut, 0);
    SetOptionFlag(kOptionLastPause, 0);
  }
  void TearDown() override { SetUp(); }
  LiveSet live_;
};

TEST_F(FieldTableTest, TableHas29RowsAndAnEndRow) {
  int rows = 0;
  while (g_fieldTable[rows].key != nullptr) ++rows;
  EXPECT_EQ(rows, kFieldCount);
  EXPECT_EQ(g_fieldTable[kFieldCount].key, nullptr);
}

TEST_F(FieldTableTest, EveryRowHasItsKeyKindAndIdInSavingOrder) {
  struct Row { const char* key; int kind; int id; };
  const Row expected[kFieldCount] = {
      {"EXEPATH", 0, 1036},    {"CURPATH", 0, 1038},    {"HELPPATH", 0, 1040},
      {"ARG1SWITCH", 0, 1010}, {"ARG1SPACE", 1, 1011},  {"ARG1FILE", 0, 1002},
      {"ARG2SWITCH", 0, 1012}, {"ARG2SPACE", 1, 1019},  {"ARG2FILE", 0, 1003},
      {"ARG3SWITCH", 0, 1013}, {"ARG3SPACE", 1, 1020},  {"ARG3FILE", 0, 1004},
      {"ARG4SWITCH", 0, 1014}, {"ARG4SPACE", 1, 1021},  {"ARG4FILE", 0, 1005},
      {"ARG5SWITCH", 0, 1015}, {"ARG5SPACE", 1, 1022},  {"ARG5FILE", 0, 1006},
      {"ARG6SWITCH", 0, 1016}, {"ARG6SPACE", 1, 1023},  {"ARG6FILE", 0, 1007},
      {"ARG7SWITCH", 0, 1017}, {"ARG7SPACE", 1, 1024},  {"ARG7FILE", 0, 1008},
      {"ARG8SWITCH", 0, 1018}, {"ARG8SPACE", 1, 1025},  {"ARG8FILE", 0, 1009},
      {"BATCHOUT", 2, 40013},  {"LASTPAUSE", 2, 40014},
  };
  for (int row = 0; row < kFieldCount; ++row) {
    ASSERT_NE(g_fieldTable[row].key, nullptr) << row;
    EXPECT_STREQ(g_fieldTable[row].key, expected[row].key) << row;
    EXPECT_EQ(g_fieldTable[row].kind, expected[row].kind) << expected[row].key;
    EXPECT_EQ(g_fieldTable[row].id, expected[row].id) << expected[row].key;
  }
  EXPECT_EQ(g_optionIds[0], 40013);
  EXPECT_EQ(g_optionIds[1], 40014);
}

TEST_F(FieldTableTest, KeysAndIdsAreUniqueAndRowsFollowTheArgumentPattern) {
  std::set<std::string> keys;
  std::set<int> ids;
  for (int row = 0; row < kFieldCount; ++row) {
    keys.insert(g_fieldTable[row].key);
    ids.insert(g_fieldTable[row].id);
  }
  EXPECT_EQ(keys.size(), static_cast<size_t>(kFieldCount));
  EXPECT_EQ(ids.size(), static_cast<size_t>(kFieldCount));
  // Rows 4..27: argument rows 1..8 as switch (text), space (check), file (text).
  for (int n = 1; n <= 8; ++n) {
    int base = 3 + (n - 1) * 3;
    EXPECT_EQ(std::string(g_fieldTable[base].key), "ARG" + std::to_string(n) + "SWITCH");
    EXPECT_EQ(std::string(g_fieldTable[base + 1].key), "ARG" + std::to_string(n) + "SPACE");
    EXPECT_EQ(std::string(g_fieldTable[base + 2].key), "ARG" + std::to_string(n) + "FILE");
    EXPECT_EQ(g_fieldTable[base].kind, kTextField);
    EXPECT_EQ(g_fieldTable[base + 1].kind, kCheckField);
    EXPECT_EQ(g_fieldTable[base + 2].kind, kTextField);
    EXPECT_EQ(g_fieldTable[base + 2].id, 1001 + n);  // file edits 1002..1009
  }
  EXPECT_EQ(g_fieldTable[4].id, 1011);
  EXPECT_EQ(g_fieldTable[7].id, 1019);
  EXPECT_EQ(g_fieldTable[6].id, 1012);
  EXPECT_EQ(g_fieldTable[RowOf("BATCHOUT")].id, 40013);
  EXPECT_EQ(g_fieldTable[RowOf("LASTPAUSE")].id, 40014);
  EXPECT_EQ(g_fieldTable[RowOf("BATCHOUT")].kind, kOptionField);
}

TEST_F(FieldTableTest, OptionFlagsFollowTheirIds) {
  EXPECT_EQ(GetOptionFlag(40013), 0);
  ToggleOptionFlag(40013);
  EXPECT_EQ(GetOptionFlag(40013), 1);
  EXPECT_EQ(GetOptionFlag(40014), 0);
  SetOptionFlag(40014, 7);
  EXPECT_EQ(GetOptionFlag(40014), 1);
  ToggleOptionFlag(40013);
  EXPECT_EQ(GetOptionFlag(40013), 0);
  SetOptionFlag(40014, 0);
  EXPECT_EQ(GetOptionFlag(40014), 0);
}

TEST_F(FieldTableTest, IdsOutsideTheOptionTableChangeNothing) {
  SetOptionFlag(40013, 1);
  for (int id : {40001, 0, -1, 40015, 1046}) {
    EXPECT_EQ(GetOptionFlag(id), 0) << id;
    ToggleOptionFlag(id);
    SetOptionFlag(id, 0);
    SetOptionFlag(id, 1);
    EXPECT_EQ(GetOptionFlag(40013), 1) << id;
    EXPECT_EQ(GetOptionFlag(40014), 0) << id;
  }
  EXPECT_EQ(OptionIndex(40013), 0);
  EXPECT_EQ(OptionIndex(40014), 1);
  EXPECT_EQ(OptionIndex(40001), -1);
}

TEST_F(FieldTableTest, CaptionShowsOneDigitPerFlagInIndexOrder) {
  struct Case { int batch, pause; const char* expected; };
  const Case cases[] = {
      {0, 0, "設定(&P)[00]"}, {1, 0, "設定(&P)[10]"}, {0, 1, "設定(&P)[01]"}, {1, 1, "設定(&P)[11]"}};
  for (const Case& c : cases) {
    SetOptionFlag(40013, c.batch);
    SetOptionFlag(40014, c.pause);
    char caption[kOptionCaptionSize];
    BuildOptionButtonCaption(caption, sizeof caption);
    EXPECT_STREQ(caption, c.expected);
  }
}

TEST_F(FieldTableTest, EmptyLiveSetWritesOnlyTheHeader) {
  EXPECT_EQ(Section("empty", live_), "[empty]\r\n");
}

TEST_F(FieldTableTest, OneCheckedSpaceBoxWritesOneLine) {
  live_.states[RowOf("ARG3SPACE")] = 1;
  EXPECT_EQ(Section("s", live_), "[s]\r\nARG3SPACE=1\r\n");
}

TEST_F(FieldTableTest, OnlyTheCheckedStateCountsForABox) {
  live_.states[RowOf("ARG1SPACE")] = 2;  // indeterminate
  live_.states[RowOf("ARG2SPACE")] = 0;
  EXPECT_EQ(Section("s", live_), "[s]\r\n");
}

TEST_F(FieldTableTest, LiveLinesFollowTableOrderNotFillOrder) {
  std::strcpy(live_.texts[RowOf("ARG8FILE")], "last.txt");
  live_.states[RowOf("LASTPAUSE")] = 1;
  std::strcpy(live_.texts[RowOf("EXEPATH")], "C:\\a.exe");
  std::strcpy(live_.texts[RowOf("ARG1SWITCH")], "表");
  live_.states[RowOf("ARG1SPACE")] = 1;
  EXPECT_EQ(Section("名前", live_),
            "[名前]\r\nEXEPATH=C:\\a.exe\r\nARG1SWITCH=表\r\nARG1SPACE=1\r\n"
            "ARG8FILE=last.txt\r\nLASTPAUSE=1\r\n");
}

TEST_F(FieldTableTest, HeaderNameIsWrittenUnchecked) {
  EXPECT_EQ(Section("a]b[c=d", live_), "[a]b[c=d]\r\n");
  EXPECT_EQ(Section("", live_), "[]\r\n");
}

TEST_F(FieldTableTest, ControlBytesAreWrittenAsBlanksAndNothingElseChanges) {
  struct Case { const char* text; const char* written; };
  const Case cases[] = {
      {"a\tb", "a b"},       {"\x01x\x1f", " x "},  {"表\t示", "表 示"},
      {"\r\n", "  "},        {"a\x7F\x81@", "a\x7F\x81@"},
  };
  for (const Case& c : cases) {
    std::strcpy(live_.texts[RowOf("ARG2FILE")], c.text);
    EXPECT_EQ(Section(c.text, live_),
              std::string("[") + c.written + "]\r\nARG2FILE=" + c.written + "\r\n");
    char name[16];
    std::strcpy(name, c.text);
    BlankControlBytes(name);
    EXPECT_STREQ(name, c.written);
  }
}

TEST_F(FieldTableTest, StoredFlagReadingRule) {
  EXPECT_EQ(StoredFlagIsOn(nullptr), 0);
  EXPECT_EQ(StoredFlagIsOn(""), 1);
  EXPECT_EQ(StoredFlagIsOn("0"), 0);
  EXPECT_EQ(StoredFlagIsOn("01"), 0);
  EXPECT_EQ(StoredFlagIsOn("1"), 1);
  EXPECT_EQ(StoredFlagIsOn("x"), 1);
}

TEST_F(FieldTableTest, CarryOverRules) {
  struct Case { const char* key; const char* stored; const char* line; };
  const Case cases[] = {
      {"ARG1SPACE", "0", nullptr},        {"ARG1SPACE", "0x", nullptr},
      {"ARG1SPACE", "", nullptr},         {"ARG1SPACE", "x", "1"},
      {"ARG1SPACE", "1", "1"},            {"BATCHOUT", "yes", "1"},
      {"LASTPAUSE", "0", nullptr},        {"LASTPAUSE", "", nullptr},
      {"EXEPATH", "", ""},                {"EXEPATH", "0", "0"},
      {"ARG2FILE", "*.c", "*.c"},         {"ARG2FILE", nullptr, nullptr},
      {"ARG1SPACE", nullptr, nullptr},    {"BATCHOUT", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    StoredSet set{};
    int row = RowOf(c.key);
    set.values[row] = c.stored;
    const char* line = StoredLineValue(set, row);
    if (c.line == nullptr) {
      EXPECT_EQ(line, nullptr) << c.key << "=" << (c.stored ? c.stored : "(absent)");
    } else {
      ASSERT_NE(line, nullptr) << c.key;
      EXPECT_STREQ(line, c.line) << c.key;
    }
  }
}

TEST_F(FieldTableTest, StoredSectionKeepsEmptyTextsAndNormalisesFlags) {
  StoredSet set{};
  set.name = "x";
  set.values[RowOf("EXEPATH")] = "";
  set.values[RowOf("ARG1SPACE")] = "";
  set.values[RowOf("ARG2SPACE")] = "a";
  set.values[RowOf("ARG3SPACE")] = "0";
  set.values[RowOf("BATCHOUT")] = "2";
  EXPECT_EQ(Section("x", set), "[x]\r\nEXEPATH=\r\nARG2SPACE=1\r\nBATCHOUT=1\r\n");
}

TEST_F(FieldTableTest, CarriedOverTextIsWrittenWhole) {
  std::string longText(600, 'a');
  StoredSet set{};
  set.values[RowOf("CURPATH")] = longText.c_str();
  EXPECT_EQ(Section("x", set), "[x]\r\nCURPATH=" + longText + "\r\n");
}

TEST_F(FieldTableTest, StoredSetGivesTheRecordTheWindowWouldGive) {
  const std::string longText = std::string(258, 'a') + "表";  // cut before the last character
  StoredSet stored{};
  stored.values[RowOf("EXEPATH")] = "cc.exe";
  stored.values[RowOf("CURPATH")] = longText.c_str();
  stored.values[RowOf("ARG8FILE")] = "*.c";
  stored.values[RowOf("ARG8SPACE")] = "";
  stored.values[RowOf("ARG1SPACE")] = "0";
  stored.values[RowOf("LASTPAUSE")] = "1";
  ParameterSet set;
  ParameterSetFromStored(stored, &set);
  EXPECT_STREQ("cc.exe", set.programText);
  EXPECT_EQ(std::string(258, 'a'), set.currentDirectory);
  EXPECT_STREQ("", set.helpText);
  EXPECT_STREQ("*.c", set.rows.row[7].fileText);
  EXPECT_EQ(1, set.rows.row[7].spaceOn);
  EXPECT_EQ(0, set.rows.row[0].spaceOn);
  EXPECT_EQ(0, set.batchOut);
  EXPECT_EQ(1, set.pauseAtEnd);
}

TEST_F(FieldTableTest, EmptySetIsDefaultWithEveryValueAbsent) {
  EXPECT_STREQ(g_emptySet.name, "default");
  for (int row = 0; row < kFieldCount; ++row) EXPECT_EQ(g_emptySet.values[row], nullptr);
  EXPECT_EQ(Section("default", g_emptySet), "[default]\r\n");
}

TEST(CutToWholeCharactersTest, DropsOnlyALoneLeadByteAtTheEnd) {
  struct Case { const char* text; const char* kept; };
  const Case cases[] = {
      {"", ""},
      {"abc", "abc"},
      {"表示", "表示"},            // whole characters, the last with trail byte 0x5C
      {"表\x95", "表"},          // half of a second 表
      {"a\x95", "a"},
      {"\xE0", ""},
      {"ab\x80", "ab\x80"},  // 0x80 and 0xFD-0xFF are single bytes
      {"ab\xFD", "ab\xFD"},
      {"\x95\x95\x95", "\x95\x95"},  // 表-like pair, then a lone lead byte
      {"ｱ", "ｱ"},                 // half-width katakana is one byte, not a lead byte
      {"a\x7F", "a\x7F"},
  };
  for (const Case& c : cases) {
    char text[32];
    std::strcpy(text, c.text);
    CutToWholeCharacters(text);
    EXPECT_STREQ(text, c.kept) << c.text;
  }
}

TEST(ByteBufferTest, GrowsAcrossManyAppendsAndKeepsEveryByte) {
  ByteBuffer buffer;
  std::string expected;
  for (int i = 0; i < 5000; ++i) {
    std::string piece = std::to_string(i) + ",";
    ASSERT_EQ(AppendText(&buffer, piece.c_str()), 1);
    expected += piece;
  }
  ASSERT_EQ(AppendBytes(&buffer, "\0z", 2), 1);
  expected.append("\0z", 2);
  EXPECT_EQ(std::string(buffer.data, buffer.size), expected);
  FreeByteBuffer(&buffer);
  EXPECT_EQ(buffer.data, nullptr);
  EXPECT_EQ(buffer.size, 0u);
}

TEST(ByteBufferTest, AFailedBufferRefusesLaterAppends) {
  ByteBuffer buffer;
  ASSERT_EQ(AppendText(&buffer, "ab"), 1);
  buffer.failed = 1;
  EXPECT_EQ(AppendText(&buffer, "cd"), 0);
  EXPECT_EQ(buffer.size, 2u);
  FreeByteBuffer(&buffer);
  EXPECT_EQ(buffer.failed, 0);
}

}  // namespace

// The parameter file's parser, its set list and the bytes of a rewrite.
#include "params/param_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "param_helpers.h"
#include "support/byte_buffer.h"
#include "test_env.h"

namespace {

// Holds a text block the way the program does: the bytes and one zero byte.
class ParamFileTest : public ::testing::Test {
 protected:
  void TearDown() override { FreeStoredSets(); }

  void Load(const std::string& bytes) {
    FreeStoredSets();
    block_.assign(bytes.begin(), bytes.end());
    block_.push_back('\0');
    ASSERT_EQ(ParseParameterText(block_.data(), bytes.size()), 1);
  }

  // The bytes a rewrite writes, a byte-order mark of the file kept in front.
  std::string Rewrite(const char* name, const LiveSet* live, const char* skip) {
    ByteBuffer out;
    EXPECT_EQ(AppendParameterFileMark(&out), 1);
    EXPECT_EQ(BuildParameterFileText(&out, name, live, skip), 1);
    return TakeBytes(&out);
  }

  const char* Value(const StoredSet* set, const char* key) { return set->values[RowOf(key)]; }

  std::vector<char> block_;
};

TEST_F(ParamFileTest, NextLineSkipsEveryRunOfControlBytes) {
  struct Case { std::string text; std::vector<std::string> lines; };
  const Case cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\n\r\n\r\nb", {"a", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a\tb", {"a", "b"}},
      {"a\x01\x1f" "b", {"a", "b"}},
      {"a b\r\n", {"a b"}},
      {"only", {"only"}},
      {"x\r\n\r\n", {"x"}},
  };
  for (const Case& c : cases) {
    std::vector<char> text(c.text.begin(), c.text.end());
    text.push_back('\0');
    std::vector<std::string> lines;
    for (char* line = text.data(); line != nullptr;) {
      char* next = NextLine(line, &text.back());
      lines.push_back(line);  // terminated by the step
      line = next;
    }
    EXPECT_EQ(lines, c.lines) << c.text;
  }
}

TEST_F(ParamFileTest, NextLineReportsTheEndAtTheTerminator) {
  char text[] = "abc";
  EXPECT_EQ(NextLine(text, text + 3), nullptr);
  EXPECT_STREQ(text, "abc");
}

TEST_F(ParamFileTest, ExampleFileLoadsTwoSetsOfSevenValues) {
  Load(GoldenParamFile("example.tvx"));
  ASSERT_EQ(StoredSetNames(), (std::vector<std::string>{"default", "cc"}));
  for (const StoredSet* set = FirstStoredSet(); set != nullptr; set = set->next) {
    EXPECT_STREQ(Value(set, "EXEPATH"), "D:\\tools\\cc.exe");
    EXPECT_STREQ(Value(set, "CURPATH"), "D:\\work");
    EXPECT_STREQ(Value(set, "ARG1SWITCH"), "-o");
    EXPECT_STREQ(Value(set, "ARG1SPACE"), "1");
    EXPECT_STREQ(Value(set, "ARG1FILE"), "out.exe");
    EXPECT_STREQ(Value(set, "ARG2FILE"), "*.c");
    EXPECT_STREQ(Value(set, "BATCHOUT"), "1");
    int present = 0;
    for (int row = 0; row < kFieldCount; ++row) present += set->values[row] != nullptr;
    EXPECT_EQ(present, 7);
  }
}

TEST_F(ParamFileTest, RecordsPointIntoTheBlock) {
  Load(GoldenParamFile("example.tvx"));
  const char* begin = block_.data();
  const char* end = begin + block_.size();
  const StoredSet* set = FirstStoredSet();
  EXPECT_TRUE(set->name >= begin && set->name < end);
  EXPECT_TRUE(Value(set, "EXEPATH") >= begin && Value(set, "EXEPATH") < end);
}

TEST_F(ParamFileTest, HandWrittenFileFollowsTheParserRules) {
  Load(GoldenParamFile("handwritten.tvx"));
  ASSERT_EQ(StoredSetNames(), (std::vector<std::string>{"first", "default", "ab", "trail]", "first",
                                               "表示セット", "last"}));
  const StoredSet* first = FirstStoredSet();
  EXPECT_STREQ(Value(first, "EXEPATH"), "C:\\tools\\b.exe");  // later line wins
  EXPECT_EQ(Value(first, "HELPPATH"), nullptr);                // indented line ignored
  EXPECT_STREQ(Value(first, "CURPATH"), "");
  EXPECT_STREQ(Value(first, "ARG1SPACE"), "0");
  EXPECT_STREQ(Value(first, "ARG2SPACE"), "x");
  EXPECT_STREQ(Value(first, "ARG3SPACE"), "");
  EXPECT_STREQ(Value(first, "BATCHOUT"), "yes");
  EXPECT_STREQ(Value(first, "LASTPAUSE"), "0");
  const StoredSet* japanese = FindStoredSet("表示セット");
  ASSERT_NE(japanese, nullptr);
  EXPECT_STREQ(Value(japanese, "ARG1SWITCH"), "表");
  EXPECT_STREQ(Value(japanese, "ARG1FILE"), "ソース\\*.c");
  const StoredSet* last = FindStoredSet("last");
  ASSERT_NE(last, nullptr);
  EXPECT_STREQ(Value(last, "ARG8FILE"), "end.txt");  // no CR LF after the last line
}

TEST_F(ParamFileTest, HeaderLosesItsLastByteWhateverItIs) {
  struct Case { const char* text; const char* name; };
  const Case cases[] = {
      {"[abc]\r\n", "abc"}, {"[abc\r\n", "ab"}, {"[abc] \r\n", "abc]"}, {"[]\r\n", ""},
      {"[\r\n", ""},        {"[x]", "x"},       {"[[a]]\r\n", "[a]"},   {"[a=b]\r\n", "a=b"},
  };
  for (const Case& c : cases) {
    Load(c.text);
    ASSERT_EQ(StoredSetNames().size(), 1u) << c.text;
    EXPECT_STREQ(FirstStoredSet()->name, c.name) << c.text;
  }
}

TEST_F(ParamFileTest, OnlyExactKeysFollowedByEqualsAreTaken) {
  Load("[s]\r\nEXEPATH\r\nEXEPATH =a\r\nexepath=b\r\nEXEPATHS=c\r\nCURPATH==d\r\nHELPPATH=e=f\r\n"
       "ARG1SWITCH=a\tb\r\n");
  const StoredSet* set = FirstStoredSet();
  EXPECT_EQ(Value(set, "EXEPATH"), nullptr);
  EXPECT_STREQ(Value(set, "CURPATH"), "=d");
  EXPECT_STREQ(Value(set, "HELPPATH"), "e=f");
  EXPECT_STREQ(Value(set, "ARG1SWITCH"), "a");  // a tab ends the line
}

TEST_F(ParamFileTest, LinesBeforeTheFirstHeaderAreIgnored) {
  Load("EXEPATH=x\r\nCURPATH=y\r\n");
  EXPECT_EQ(FirstStoredSet(), nullptr);
  Load("EXEPATH=x\r\n[s]\r\nCURPATH=y\r\n");
  ASSERT_NE(FirstStoredSet(), nullptr);
  EXPECT_EQ(Value(FirstStoredSet(), "EXEPATH"), nullptr);
  EXPECT_STREQ(Value(FirstStoredSet(), "CURPATH"), "y");
}

// A zero byte ends a line like any control byte: nothing after it is lost.
TEST_F(ParamFileTest, AZeroByteEndsALineAndAUtf8MarkStays) {
  const std::vector<std::string> a{"a"}, ab{"a", "b"};
  const struct { const char* tail; std::vector<std::string> names; } cases[] = {
      {"", a}, {"\r\n", a}, {"[", {"a", ""}}, {"\r\n[b]\r\n", ab}};
  for (const auto& c : cases) {
    Load(std::string("[a]\r\nEXEPATH=x\0", 15) + c.tail);
    EXPECT_EQ(StoredSetNames(), c.names) << c.tail;
    EXPECT_STREQ(Value(FirstStoredSet(), "EXEPATH"), "x");
  }
  Load("\xEF\xBB\xBF[first]\r\nEXEPATH=a.exe\r\n[default]\r\n");
  LiveSet empty{};
  EXPECT_EQ(Rewrite("default", &empty, "default"), "\xEF\xBB\xBF[default]\r\n[first]\r\nEXEPATH=a.exe\r\n");
}

TEST_F(ParamFileTest, EmptyAndBlankTextsGiveAnEmptyList) {
  for (const char* text : {"", "\r\n", "\r\n\r\n", "\t"}) {
    Load(text);
    EXPECT_EQ(FirstStoredSet(), nullptr) << text;
  }
}

TEST_F(ParamFileTest, LookupsAndRemovalActOnTheFirstOfTwoSameNames) {
  Load("[a]\r\nEXEPATH=1\r\n[b]\r\n[a]\r\nEXEPATH=2\r\n[c]\r\n");
  EXPECT_STREQ(Value(FindStoredSet("a"), "EXEPATH"), "1");
  EXPECT_EQ(FindStoredSet("A"), nullptr);  // case-sensitive
  EXPECT_EQ(FindStoredSet("zz"), nullptr);
  EXPECT_EQ(RemoveStoredSet("a"), 1);
  EXPECT_EQ(StoredSetNames(), (std::vector<std::string>{"b", "a", "c"}));
  EXPECT_STREQ(Value(FindStoredSet("a"), "EXEPATH"), "2");
  EXPECT_EQ(RemoveStoredSet("zz"), 0);
  EXPECT_EQ(RemoveStoredSet("c"), 1);  // the last record: appending must still work after
  EXPECT_EQ(RemoveStoredSet("a"), 1);
  EXPECT_EQ(RemoveStoredSet("b"), 1);
  EXPECT_EQ(FirstStoredSet(), nullptr);
  EXPECT_EQ(RemoveStoredSet("b"), 0);
}

TEST_F(ParamFileTest, ParsingAfterRemovingTheLastRecordAppendsCorrectly) {
  Load("[a]\r\n[b]\r\n");
  ASSERT_EQ(RemoveStoredSet("b"), 1);
  std::vector<char> more{'[', 'c', ']', '\0'};
  ASSERT_EQ(ParseParameterText(more.data(), more.size() - 1), 1);
  EXPECT_EQ(StoredSetNames(), (std::vector<std::string>{"a", "c"}));
}

TEST_F(ParamFileTest, SetForApplyUsesTheEmptySetOnlyForAnEmptyList) {
  Load("");
  EXPECT_EQ(FindSetForApply("default"), &g_emptySet);
  EXPECT_EQ(FindSetForApply("other"), nullptr);
  Load("[x]\r\nEXEPATH=1\r\n");
  EXPECT_EQ(FindSetForApply("default"), nullptr);
  EXPECT_EQ(FindSetForApply("x"), FirstStoredSet());
  Load("[default]\r\n");
  EXPECT_EQ(FindSetForApply("default"), FirstStoredSet());
}

TEST_F(ParamFileTest, RegisterThenCloseGivesTheExampleFile) {
  LiveSet live{};
  std::strcpy(live.texts[RowOf("EXEPATH")], "D:\\tools\\cc.exe");
  std::strcpy(live.texts[RowOf("CURPATH")], "D:\\work");
  std::strcpy(live.texts[RowOf("ARG1SWITCH")], "-o");
  live.states[RowOf("ARG1SPACE")] = 1;
  std::strcpy(live.texts[RowOf("ARG1FILE")], "out.exe");
  std::strcpy(live.texts[RowOf("ARG2FILE")], "*.c");
  live.states[RowOf("BATCHOUT")] = 1;
  Load("");
  std::string afterRegister = Rewrite("cc", &live, "cc");
  Load(afterRegister);
  std::string afterClose = Rewrite("default", &live, "default");
  std::string golden = GoldenParamFile("example.tvx");
  EXPECT_EQ(afterClose, golden);
  EXPECT_EQ(afterRegister, golden.substr(golden.find("[cc]")));
}

TEST_F(ParamFileTest, SavingDefaultMovesItFirstAndCarriesTheRestOver) {
  for (const char* name : {"handwritten", "zero_byte"}) {
    Load(GoldenParamFile((std::string(name) + ".tvx").c_str()));
    LiveSet empty{};
    EXPECT_EQ(Rewrite("default", &empty, "default"),
              GoldenParamFile((std::string(name) + "_default.tvx").c_str())) << name;
  }
}

TEST_F(ParamFileTest, DeletingLeavesOutOnlyTheFirstSetOfThatName) {
  Load(GoldenParamFile("handwritten.tvx"));
  EXPECT_EQ(Rewrite(nullptr, nullptr, "first"), GoldenParamFile("handwritten_delete_first.tvx"));
}

TEST_F(ParamFileTest, ARewrittenFileLoadsBackToTheSameBytes) {
  Load(GoldenParamFile("handwritten_default.tvx"));
  EXPECT_EQ(Rewrite(nullptr, nullptr, nullptr), GoldenParamFile("handwritten_default.tvx"));
}

TEST_F(ParamFileTest, TextsWithControlBytesReloadAsSavedWithBlanks) {
  LiveSet live{};
  std::strcpy(live.texts[RowOf("EXEPATH")], "C:\\a\tb.exe");
  std::strcpy(live.texts[RowOf("ARG1FILE")], "\x01in.txt");
  Load("");
  Load(Rewrite("set\tname", &live, nullptr));
  ASSERT_EQ(StoredSetNames(), (std::vector<std::string>{"set name"}));
  EXPECT_STREQ(Value(FirstStoredSet(), "EXEPATH"), "C:\\a b.exe");
  EXPECT_STREQ(Value(FirstStoredSet(), "ARG1FILE"), " in.txt");
}

TEST_F(ParamFileTest, SavingAnExistingNameMovesItToTheTop) {
  Load("[a]\r\nEXEPATH=old\r\n[b]\r\nCURPATH=b\r\n[c]\r\n");
  LiveSet live{};
  std::strcpy(live.texts[RowOf("EXEPATH")], "new");
  EXPECT_EQ(Rewrite("b", &live, "b"), "[b]\r\nEXEPATH=new\r\n[a]\r\nEXEPATH=old\r\n[c]\r\n");
}

}  // namespace

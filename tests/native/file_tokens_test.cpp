// Tokens of file texts, captures, rewriting against a match and the iteration
// of file expansion over a listed search.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "expand/file_expansion.h"
#include "run/command_line.h"

namespace {

// A file search over a fixed list of entries.
struct ListedSearch {
  std::vector<FoundEntry> entries;
  std::size_t next = 0;
  std::vector<std::string> patterns;  // every pattern the search was started on
  int open = 0;
  int closes = 0;
} g_listed;

void FillEntry(std::size_t index, FoundEntry* entry) { *entry = g_listed.entries[index]; }

int ListedFindFirst(void*, const char* pattern, FoundEntry* entry) {
  g_listed.patterns.push_back(pattern);
  g_listed.next = 0;
  if (g_listed.entries.empty()) return 0;
  g_listed.open = 1;
  FillEntry(g_listed.next++, entry);
  return 1;
}

int ListedFindNext(void*, FoundEntry* entry) {
  EXPECT_EQ(g_listed.open, 1);
  if (g_listed.next >= g_listed.entries.size()) return 0;
  FillEntry(g_listed.next++, entry);
  return 1;
}

void ListedClose(void*) {
  EXPECT_EQ(g_listed.open, 1);
  g_listed.open = 0;
  ++g_listed.closes;
}

const SearchSource kListedSearch = {ListedFindFirst, ListedFindNext, ListedClose, nullptr,
                                   nullptr};

FoundEntry File(const char* name) {
  FoundEntry entry{0x20, "", ""};
  std::snprintf(entry.name, sizeof entry.name, "%s", name);
  return entry;
}

FoundEntry Directory(const char* name) {
  FoundEntry entry = File(name);
  entry.attributes = kDirectoryAttribute;
  return entry;
}

using FileTexts = std::vector<const char*>;  // rows 1.. in order

class FileExpansionTest : public ::testing::Test {
 protected:
  void SetUp() override { g_listed = ListedSearch(); }
  void TearDown() override {
    EndFileExpansion(&x_);
    EXPECT_EQ(g_listed.open, 0);
  }

  void SetRows(const FileTexts& files) {
    std::memset(&rows_, 0, sizeof rows_);
    for (std::size_t i = 0; i < files.size(); ++i) {
      std::snprintf(rows_.row[i].fileText, kRowTextSize, "%s", files[i]);
    }
  }

  int Start(const FileTexts& files, const char* baseDirectory = nullptr) {
    SetRows(files);
    char texts[kArgumentRowCount][kRowTextSize];
    for (int i = 0; i < kArgumentRowCount; ++i) std::strcpy(texts[i], rows_.row[i].fileText);
    return BeginFileExpansion(&x_, texts, baseDirectory, &kListedSearch);
  }

  // Every argument text until the end (at most `limit`).
  std::vector<std::string> BuildAll(std::size_t limit = 50, int form = kCommandLineForm) {
    std::vector<std::string> texts;
    char out[kArgumentTextCapacity];
    while (texts.size() < limit && AssembleArgumentText(&x_, rows_, out, sizeof out, form)) {
      texts.push_back(out);
    }
    return texts;
  }

  ArgumentRows rows_;
  Expansion x_{};
};

// --- Token translation ---------------------------------------------------

struct TranslationCase {
  const char* text;
  int countPlaceholders;
  const char* folder;
  const char* translated;
  int result;
};

TEST_F(FileExpansionTest, TranslationTable) {
  const TranslationCase cases[] = {
      {"C:\\d\\a.txt", 0, "", "C:\\d\\a.txt", 0},
      {"**", 0, "", "*", 0},
      {"*?", 0, "", "?", 0},
      {"C:\\d\\**.txt", 1, "", "C:\\d\\*.txt", 0},
      {"?", 0, "", "?", 1},
      {"a*", 0, "", "a*", 1},
      {"*", 0, "", "*", 1},
      {"*.txt", 0, "", "*.txt", 1},
      {"***", 0, "", "**", 1},
      {"*1", 0, "", "*1", 0},
      {"*1", 1, "", "*1", 1},
      {"x*2y", 1, "", "x*2y", 1},
      {"x*2y", 0, "", "x*2y", 0},
      {"*/", 1, "", "*/", 0},
      {"a\\*/.zip", 1, "SRC", "a\\SRC.zip", 0},
      {"a\\*/\\*.c", 1, "SRC", "a\\SRC\\*.c", 1},
      {"表*?", 0, "", "表?", 0},
  };
  for (const TranslationCase& c : cases) {
    std::snprintf(x_.folderName.text, kRowTextSize, "%s", c.folder);
    char out[kRowTextSize];
    EXPECT_EQ(TranslateTokens(c.text, out, sizeof out, c.countPlaceholders, x_.folderName.text), c.result) << c.text;
    EXPECT_STREQ(out, c.translated) << c.text;
  }
}

TEST_F(FileExpansionTest, TranslationStopsWhenCapacityLessOneIsReached) {
  char out[kRowTextSize];
  std::string text258 = std::string(257, 'a') + "?";
  EXPECT_EQ(TranslateTokens(text258.c_str(), out, sizeof out, 0, x_.folderName.text), 1);
  EXPECT_EQ(out, text258);
  std::string text259 = std::string(258, 'a') + "?";
  EXPECT_EQ(TranslateTokens(text259.c_str(), out, sizeof out, 0, x_.folderName.text), 0);
  EXPECT_EQ(out, text259);  // full, even though the text ended there
  char small[5];
  EXPECT_EQ(TranslateTokens("abcdefg*", small, sizeof small, 0, x_.folderName.text), 0);
  EXPECT_STREQ(small, "abcd");
  // A folder name is written as far as the capacity allows.
  std::snprintf(x_.folderName.text, kRowTextSize, "ABCDEFGHIJKL");
  char ten[10];
  EXPECT_EQ(TranslateTokens("*/?", ten, sizeof ten, 0, x_.folderName.text), 0);
  EXPECT_STREQ(ten, "ABCDEFGHI");
}

// --- Choosing the expanded row -------------------------------------------

TEST_F(FileExpansionTest, FirstRowWithALiveWildcardIsExpanded) {
  g_listed.entries = {File("a.txt"), File("b.txt")};
  EXPECT_EQ(Start({"C:\\d\\*.txt", "C:\\d\\*.bak"}), 1);
  EXPECT_EQ(x_.expandedRow, 0);
  ASSERT_EQ(g_listed.patterns.size(), 1u);
  EXPECT_EQ(g_listed.patterns[0], "C:\\d\\*.txt");
  EXPECT_EQ(BuildAll(), (std::vector<std::string>{"C:\\d\\a.txt C:\\d\\a.bak",
                                                  "C:\\d\\b.txt C:\\d\\b.bak"}));
  EXPECT_EQ(g_listed.closes, 1);
}

TEST_F(FileExpansionTest, RowsThatDoNotQualifyAreSkipped) {
  g_listed.entries = {File("main.c")};
  // Escaped wildcard, placeholder only, free text, leading blank, no name
  // after the last backslash, no backslash at all.
  EXPECT_EQ(Start({"C:\\x\\**.txt", "C:\\o\\*1.txt", "C:\\d;*.c", " C:\\d\\*.c", "C:\\d*\\",
                   "*.c", "C:\\src\\*.c"}),
            1);
  EXPECT_EQ(x_.expandedRow, 6);
  EXPECT_EQ(g_listed.patterns, std::vector<std::string>{"C:\\src\\*.c"});
  // Rows above the expanded row see the same match; texts without a match
  // keep their wildcards.
  EXPECT_EQ(BuildAll(), (std::vector<std::string>{
                            "C:\\x\\*.txt C:\\o\\main.txt C:\\d;*.c  C:\\d\\*.c C:\\dain\\ "
                            "main.c C:\\src\\main.c"}));
}

TEST_F(FileExpansionTest, EscapedWildcardIsPassedThroughAndNotSearched) {
  EXPECT_EQ(Start({"C:\\d\\**.txt"}), 0);
  EXPECT_TRUE(g_listed.patterns.empty());
  EXPECT_EQ(BuildAll(3), (std::vector<std::string>(3, "C:\\d\\*.txt")));
}

TEST_F(FileExpansionTest, WithoutExpandedRowTheSameTextComesEveryTime) {
  EXPECT_EQ(Start({"C:\\d\\a.txt", "*.txt"}), 0);
  EXPECT_EQ(BuildAll(4), (std::vector<std::string>(4, "C:\\d\\a.txt *.txt")));
}

TEST_F(FileExpansionTest, BaseDirectoryIsJoinedToTextsWithoutDirectory) {
  g_listed.entries = {File("k.txt")};
  EXPECT_EQ(Start({"*.txt"}, "D:\\W"), 1);
  EXPECT_EQ(Start({"*.txt"}, "\"D:\\My W\\\""), 1);
  EXPECT_EQ(Start({"sub\\*.txt"}, "D:\\W"), 1);  // has a directory: not joined
  EXPECT_EQ(Start({"*.txt"}, ""), 0);
  EXPECT_EQ(g_listed.patterns,
            (std::vector<std::string>{"D:\\W\\*.txt", "D:\\My W\\*.txt", "sub\\*.txt"}));
}

TEST_F(FileExpansionTest, QuotedWildcardPathIsSearchedWithoutItsQuotes) {
  // The file pickers put a path with blanks in double quotes.
  g_listed.entries = {File("img001.jpg")};
  EXPECT_EQ(Start({"\"C:\\My Photos\\img*.jpg\"", "\"C:\\My Out\\*1\\*.png\""}), 1);
  EXPECT_EQ(g_listed.patterns, std::vector<std::string>{"C:\\My Photos\\img*.jpg"});
  EXPECT_EQ(BuildAll(), std::vector<std::string>{
                            "\"C:\\My Photos\\img001.jpg\" \"C:\\My Out\\001\\img001.png\""});
}

TEST_F(FileExpansionTest, OwnQuotesOfAPlainTextAreDroppedBeforeItIsQuotedAsAWhole) {
  g_listed.entries = {File("abc.txt")};
  EXPECT_EQ(Start({"\"a*.txt\"", "\"o\\x*1.bak\"", "\"??*.*\""}, "D:\\W"), 1);
  EXPECT_EQ(g_listed.patterns, std::vector<std::string>{"D:\\W\\a*.txt"});
  // Capture 1 starts after the "a" of the pattern, not one further.
  EXPECT_EQ(BuildAll(), std::vector<std::string>{"abc.txt o\\xbc.bak abc.txt"});
  // A folder quoted alone: searched without the quotes, and each text quoted
  // once as a whole.
  g_listed.entries = {File("R&D.txt")};
  EXPECT_EQ(Start({"\"C:\\My In\"\\*.txt", "\"C:\\My Out\"\\*.bak", "\"C:\\o\"\\*.b"}), 1);
  EXPECT_EQ(g_listed.patterns.back(), "C:\\My In\\*.txt");
  EXPECT_EQ(
      BuildAll(50, kBatchLineForm),
      std::vector<std::string>{"\"C:\\My In\\R&D.txt\" \"C:\\My Out\\R&D.bak\" \"C:\\o\\R&D.b\""});
}

TEST_F(FileExpansionTest, PatternOf259CharactersDoesNotQualify) {
  std::string fits = "C:\\" + std::string(254, 'p') + "*";    // 258
  std::string tooLong = "C:\\" + std::string(255, 'p') + "*";  // 259
  g_listed.entries = {File("x")};
  EXPECT_EQ(Start({tooLong.c_str()}), 0);
  EXPECT_EQ(Start({fits.c_str()}), 1);
  // Joined to a base directory, the same limit applies.
  EXPECT_EQ(Start({"*.t"}, ("C:\\" + std::string(251, 'b')).c_str()), 1);   // 258
  EXPECT_EQ(Start({"*.t"}, ("C:\\" + std::string(252, 'b')).c_str()), 0);   // 259
}

// --- Iteration -----------------------------------------------------------

TEST_F(FileExpansionTest, DirectoriesNeverYieldACommand) {
  g_listed.entries = {Directory("."), Directory(".."), File("a.txt"), Directory("d.txt"),
                      Directory("e.txt"), File("b.txt"), Directory("f.txt")};
  Start({"C:\\d\\*.txt"});
  EXPECT_EQ(BuildAll(), (std::vector<std::string>{"C:\\d\\a.txt", "C:\\d\\b.txt"}));
  EXPECT_EQ(g_listed.closes, 1);
  char out[kArgumentTextCapacity];
  EXPECT_EQ(AssembleArgumentText(&x_, rows_, out, sizeof out), 0);  // stays at the end
}

TEST_F(FileExpansionTest, OnlyDirectoriesGiveNoCommand) {
  g_listed.entries = {Directory("."), Directory(".."), Directory("x")};
  EXPECT_EQ(Start({"C:\\d\\*"}), 1);
  EXPECT_TRUE(BuildAll().empty());
  EXPECT_EQ(g_listed.closes, 1);
}

TEST_F(FileExpansionTest, NoMatchGivesNoCommand) {
  EXPECT_EQ(Start({"-", "C:\\d\\*.none"}), 1);
  EXPECT_EQ(x_.search, kSearchNoMatch);
  EXPECT_TRUE(BuildAll().empty());
  EXPECT_EQ(g_listed.closes, 0);
}

TEST_F(FileExpansionTest, NewStartClosesAnOpenSearch) {
  g_listed.entries = {File("a.txt"), File("b.txt")};
  Start({"C:\\d\\*.txt"});
  EXPECT_EQ(BuildAll(1).size(), 1u);
  Start({"C:\\d\\x.txt"});
  EXPECT_EQ(g_listed.closes, 1);
  EXPECT_EQ(BuildAll(2), (std::vector<std::string>(2, "C:\\d\\x.txt")));
}

TEST_F(FileExpansionTest, TooLongCommandEndsTheList) {
  std::string longName = std::string(240, 'l') + ".txt";
  g_listed.entries = {File("a.txt"), File(longName.c_str()), File("c.txt")};
  Start({"C:\\d\\*.txt"});
  std::snprintf(rows_.row[1].switchText, kRowTextSize, "%s", std::string(259, 's').c_str());
  std::snprintf(rows_.row[2].switchText, kRowTextSize, "%s", std::string(30, 't').c_str());
  // 10 + 1 + 259 + 1 + 30 fits; 249 + 1 + 259 + 1 + 30 does not, and the
  // list ends there although c.txt would fit again.
  EXPECT_EQ(BuildAll(), std::vector<std::string>{"C:\\d\\a.txt " + std::string(259, 's') + " " +
                                                 std::string(30, 't')});
}

// --- Captures and rewriting ----------------------------------------------

struct RewriteCase {
  const char* match;
  const char* expandedText;
  const char* otherText;
  const char* appended;  // what the other row contributes
};

TEST_F(FileExpansionTest, RewritingTable) {
  const RewriteCase cases[] = {
      // The worked example of the token syntax.
      {"img001.jpg", "C:\\src\\img*.jpg", "C:\\dst\\thumb_*1.png", "C:\\dst\\thumb_001.png"},
      {"img001.jpg", "C:\\src\\img*.jpg", "C:\\dst\\*.bak", "C:\\dst\\img001.bak"},
      {"img001.jpg", "C:\\src\\img*.jpg", "C:\\dst\\*2\\*.*", "C:\\dst\\jpg\\img001.jpg"},
      {"img001.jpg", "C:\\src\\img*.jpg", "**.log", "*.log"},
      // Match without a dot, and with several dots.
      {"readme", "C:\\d\\*", "C:\\o\\*.bak", "C:\\o\\readme.bak"},
      {"readme", "C:\\d\\*", "C:\\o\\*2.*2", "C:\\o\\."},
      {"a.b.c", "C:\\d\\*", "C:\\o\\*.*", "C:\\o\\a.b.c"},
      {"a.b.c", "C:\\d\\*", "C:\\o\\*2_*.x", "C:\\o\\c_.b.x"},
      // '?' takes the match's character, or stays beyond its end.
      {"ab.txt", "C:\\d\\*.txt", "C:\\o\\????.txt", "C:\\o\\ab??.txt"},
      {"ab.txt", "C:\\d\\*.txt", "C:\\o\\x?.?", "C:\\o\\xb.t"},
      // Ordinary characters stand in for the match's; '\' restarts.
      {"abcdef.txt", "C:\\d\\*.txt", "C:\\o\\XY*.lst", "C:\\o\\XYcdef.lst"},
      {"abcdef.txt", "C:\\d\\*.txt", "C:\\o\\XY\\*.lst", "C:\\o\\XY\\abcdef.lst"},
      // Escaped wildcards act as live ones in a live text.
      {"abc.txt", "C:\\d\\*.txt", "C:\\o\\**_*1.*?", "C:\\o\\abc_abc.t"},
      // Capture 1 where the '*' stands beyond the match's base name.
      {"ab.x", "C:\\d\\ab*.x", "C:\\o\\[*1]", "C:\\o\\[]"},
      {"ab.x", "C:\\d\\a?*.x", "C:\\o\\[*1]", "C:\\o\\[]"},
      {"abc.x", "C:\\d\\a?*.x", "C:\\o\\[*1]", "C:\\o\\[c]"},
      {"abc.x", "C:\\d\\abc.*", "C:\\o\\[*1]", "C:\\o\\[]"},  // no '*' in the name part
      // Two-byte characters move the cursor as one character.
      {"表x.txt", "C:\\d\\*.txt", "C:\\o\\a*.bak", "C:\\o\\ax.bak"},
      {"表.txt", "C:\\d\\?.txt", "C:\\o\\?_.txt", "C:\\o\\表_.txt"},
      {"表題.txt", "C:\\d\\表*.txt", "C:\\o\\*1.txt", "C:\\o\\題.txt"},
      {"ソ表x", "C:\\d\\??*", "C:\\o\\*1", "C:\\o\\x"},
      {"ab.txt", "C:\\d\\*.txt", "C:\\o\\表*", "C:\\o\\表b"},
      // A folder name that is empty puts nothing in a live text.
      {"img001.jpg", "C:\\src\\img*.jpg", "C:\\o\\*/*.txt", "C:\\o\\img001.txt"},
  };
  for (const RewriteCase& c : cases) {
    g_listed.entries = {File(c.match)};
    ASSERT_EQ(Start({c.expandedText, c.otherText}), 1) << c.expandedText;
    std::vector<std::string> texts = BuildAll();
    ASSERT_EQ(texts.size(), 1u) << c.otherText;
    std::size_t blank = texts[0].find(' ');
    ASSERT_NE(blank, std::string::npos);
    EXPECT_EQ(texts[0].substr(blank + 1), c.appended) << c.match << " / " << c.otherText;
  }
}

TEST_F(FileExpansionTest, ExpandedRowGetsTheMatchedName) {
  // The directory part as written, then the name that matched (its short
  // name when the code page cannot hold it): never the copy-target rules.
  FoundEntry shortOnly = File("R?SUM?.docx");
  std::snprintf(shortOnly.shortName, sizeof shortOnly.shortName, "R_SUM_~1.DOC");
  const struct {
    const char* expanded;
    FoundEntry match;
    const char* appended;
  } cases[] = {
      {"C:\\src\\img*.jpg", File("img001.jpg"), "C:\\src\\img001.jpg"},
      {"C:\\p\\*", File("report.txt"), "C:\\p\\report.txt"},
      {"C:\\p\\*_s.jpg", File("cat_s.jpg"), "C:\\p\\cat_s.jpg"},
      {"C:\\p\\a.*", File("a.b.c"), "C:\\p\\a.b.c"},
      {"C:\\p\\*.docx", shortOnly, "C:\\p\\R_SUM_~1.DOC"},
      {"C:\\p/q\\??.*", File("ab"), "C:\\p/q\\ab"},
  };
  for (const auto& c : cases) {
    g_listed.entries = {c.match};
    ASSERT_EQ(Start({c.expanded}), 1) << c.expanded;
    EXPECT_EQ(BuildAll(), std::vector<std::string>{c.appended}) << c.expanded;
  }
}

// What a name found on disk becomes in each kind of line: quoted where the
// reader of the line would split it, '%' doubled for a batch file, and left
// out (and counted) where cmd would change it inside quotes.
TEST_F(FileExpansionTest, NamesFoundOnDiskInEachKindOfLine) {
  const struct {
    int form;
    std::vector<std::string> commands;
  } cases[] = {
      {kCommandLineForm, {"\"a b\"", "R&D", "a^b", "50%", "(1)", "a,b", "x=y", "\xFD%"}},
      {kBatchLineForm, {"\"a b\"", "\"R&D\"", "\"a^b\"", "50%%", "(1)", "a,b", "x=y", "\xFD%%"}},
      {kCmdCommandLineForm, {"\"a b\"", "\"R&D\"", "\"a^b\"", "\"(1)\"", "\"a,b\"", "\"x=y\""}},
      {kCmdBatchLineForm, {"\"a b\"", "\"R&D\"", "\"a^b\"", "\"(1)\"", "\"a,b\"", "\"x=y\""}},
  };
  for (const auto& c : cases) {
    g_listed.entries.clear();
    for (const char* name : {"a b", "R&D", "a^b", "50%", "(1)", "a,b", "x=y", "\xFD%"}) {
      g_listed.entries.push_back(File(name));
    }
    x_.leftOut = LeftOutNames{};
    ASSERT_EQ(Start({"*"}, "D:\\W"), 1);
    EXPECT_EQ(BuildAll(50, c.form), c.commands) << c.form;
    EXPECT_EQ(static_cast<size_t>(x_.leftOut.count[kChangedByCmd]), 8 - c.commands.size())
        << c.form;
  }
}

TEST_F(FileExpansionTest, CapturesOfAMatch) {
  x_.current = File("img001.jpg");
  CaptureMatch(&x_, "C:\\src\\img*.jpg");
  EXPECT_STREQ(x_.baseName, "img001");
  EXPECT_STREQ(x_.capture1, "001");
  EXPECT_STREQ(x_.extension, "jpg");
  x_.current = File("a.b.");
  CaptureMatch(&x_, "x\\*.*");
  EXPECT_STREQ(x_.baseName, "a.b");
  EXPECT_STREQ(x_.capture1, "a.b");
  EXPECT_STREQ(x_.extension, "");
}

TEST_F(FileExpansionTest, FolderNameToken) {
  std::snprintf(x_.folderName.text, kRowTextSize, "SRC");
  g_listed.entries = {File("img001.jpg")};
  Start({"C:\\src\\*.jpg", "C:\\o\\*/\\*.txt", "C:\\o\\*/.zip"});
  EXPECT_EQ(BuildAll(), std::vector<std::string>{
                            "C:\\src\\img001.jpg C:\\o\\SRC\\img001.txt C:\\o\\SRC.zip"});
}

TEST_F(FileExpansionTest, RewrittenTextOver259CharactersFailsTheCommand) {
  std::string longName = std::string(200, 'n') + ".txt";
  g_listed.entries = {File("short.txt"), File(longName.c_str()), File("after.txt")};
  Start({"C:\\s\\*.txt", "C:\\o\\*\\*.bak"});
  // The long match would need 5 + 200 + 1 + 200 + 4 characters: the list ends
  // there instead of running the command without that file.
  EXPECT_EQ(BuildAll(), std::vector<std::string>{"C:\\s\\short.txt C:\\o\\short\\short.bak"});
}

TEST_F(FileExpansionTest, RewrittenTextOf259CharactersFits) {
  std::string name = std::string(125, 'n');  // 5 + 125 + 1 + 125 + 3 = 259
  g_listed.entries = {File((name + ".txt").c_str())};
  Start({"C:\\s\\*.txt", "C:\\o\\*\\*.bk"});
  std::vector<std::string> texts = BuildAll();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "C:\\s\\" + name + ".txt C:\\o\\" + name + "\\" + name + ".bk");
  g_listed.entries = {File((name + "n.txt").c_str())};
  Start({"C:\\s\\*.txt", "C:\\o\\*\\*.bk"});
  EXPECT_TRUE(BuildAll().empty());
}

TEST_F(FileExpansionTest, RewriteWithoutSearchKeepsWildcardsAndEmptiesPlaceholders) {
  char out[kRowTextSize];
  EXPECT_EQ(RewriteFileText(x_, "*.txt", out), 1);
  EXPECT_STREQ(out, "*.txt");
  EXPECT_EQ(RewriteFileText(x_, "C:\\o\\*1_?.*2", out), 1);
  EXPECT_STREQ(out, "C:\\o\\_?.");
  EXPECT_EQ(RewriteFileText(x_, "C:\\o\\**.txt", out), 1);
  EXPECT_STREQ(out, "C:\\o\\*.txt");
  EXPECT_EQ(RewriteFileText(x_, "plain.txt", out), 1);
  EXPECT_STREQ(out, "plain.txt");
}

}  // namespace

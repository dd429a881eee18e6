// File expansion over real folders and the system's file search.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "expand/file_expansion.h"
#include "expand/file_expansion_win32.h"
#include "hidden_main_dialog.h"
#include "test_env.h"

namespace {

void MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  CloseHandle(file);
  if (attributes != FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
  }
}

void MakeDirectory(const std::string& path) {
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
}

// A text as the argument text shows it: enclosed in quotes when it holds a blank.
std::string Shown(const std::string& text) {
  return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

class FileExpansionTest : public HiddenMainDialogSuite {
 protected:
  void SetUp() override {
    ASSERT_NE(dialog_, nullptr);
    ASSERT_EQ(GetACP(), 932u);
    ResetTestExpansion();
    dir_ = MakeTempDir("expand");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override { ResetTestExpansion(); }

  void SetFileTexts(const std::vector<std::string>& texts) {
    for (int i = 0; i < 8; ++i) {
      SetDlgItemTextA(dialog_, kFileIds[i], i < static_cast<int>(texts.size()) ? texts[i].c_str() : "");
    }
  }

  // Every argument text up to the end, sorted (the file system decides the order).
  std::vector<std::string> BuildAll(std::size_t limit = 100) {
    std::vector<std::string> texts;
    char out[kArgumentTextCapacity];
    while (texts.size() < limit && BuildArgumentText(dialog_, out, sizeof out)) texts.push_back(out);
    std::sort(texts.begin(), texts.end());
    return texts;
  }

  std::string In(const std::string& name) const { return dir_ + "\\" + name; }

  std::string dir_;
};

TEST_F(FileExpansionTest, HiddenAndSystemFilesCountDirectoriesNever) {
  MakeFile(In("a.txt"));
  MakeFile(In("b.txt"));
  MakeFile(In("h.txt"), FILE_ATTRIBUTE_HIDDEN);
  MakeFile(In("s.txt"), FILE_ATTRIBUTE_SYSTEM);
  MakeFile(In("c.log"));
  MakeDirectory(In("d.txt"));
  SetFileTexts({In("*.txt"), "C:\\out\\*.bak"});
  EXPECT_EQ(StartFileExpansion(dialog_, nullptr), 1);
  std::vector<std::string> expected;
  for (const char* name : {"a", "b", "h", "s"}) {
    expected.push_back(Shown(In(std::string(name) + ".txt")) + " C:\\out\\" + name + ".bak");
  }
  EXPECT_EQ(BuildAll(), expected);
}

TEST_F(FileExpansionTest, PatternMatchingOnlyDirectoriesGivesNoCommand) {
  MakeDirectory(In("sub1"));
  MakeDirectory(In("sub2"));
  SetFileTexts({In("sub*")});
  EXPECT_EQ(StartFileExpansion(dialog_, nullptr), 1);
  EXPECT_TRUE(BuildAll().empty());
  SetFileTexts({In("*")});  // "." and ".." too
  EXPECT_EQ(StartFileExpansion(dialog_, nullptr), 1);
  EXPECT_TRUE(BuildAll().empty());
}

TEST_F(FileExpansionTest, NoMatchAndInvalidPatternGiveNoCommand) {
  MakeFile(In("a.txt"));
  SetFileTexts({In("*.none")});
  EXPECT_EQ(StartFileExpansion(dialog_, nullptr), 1);
  EXPECT_TRUE(BuildAll().empty());
  SetFileTexts({In("missing\\*.txt")});
  EXPECT_EQ(StartFileExpansion(dialog_, nullptr), 1);
  EXPECT_TRUE(BuildAll().empty());
}

TEST_F(FileExpansionTest, PatternWithoutBackslashNeedsABaseDirectory) {
  MakeFile(In("a.txt"));
  MakeFile(In("b.txt"));
  SetFileTexts({"*.txt"});
  EXPECT_EQ(StartFileExpansion(dialog_, nullptr), 0);
  EXPECT_EQ(BuildAll(2), (std::vector<std::string>{"*.txt", "*.txt"}));  // one command, repeatable
  EXPECT_EQ(StartFileExpansion(dialog_, dir_.c_str()), 1);
  EXPECT_EQ(BuildAll(), (std::vector<std::string>{"a.txt", "b.txt"}));
  std::string quoted = "\"" + dir_ + "\\\"";
  EXPECT_EQ(StartFileExpansion(dialog_, quoted.c_str()), 1);
  EXPECT_EQ(BuildAll(), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(FileExpansionTest, RelativePatternIsSearchedInTheWorkingDirectory) {
  MakeFile(In("w.txt"));
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
  SetFileTexts({".\\*.txt"});
  EXPECT_EQ(StartFileExpansion(dialog_, nullptr), 1);
  std::vector<std::string> texts = BuildAll();
  SetCurrentDirectoryA(saved);
  EXPECT_EQ(texts, std::vector<std::string>{".\\w.txt"});
}

TEST_F(FileExpansionTest, EscapedWildcardsArePassedThrough) {
  MakeFile(In("a.txt"));
  MakeFile(In("xy.txt"));
  SetFileTexts({In("**.txt"), In("x*?.txt")});
  EXPECT_EQ(StartFileExpansion(dialog_, nullptr), 0);
  EXPECT_EQ(BuildAll(1), std::vector<std::string>{Shown(In("*.txt")) + " " + Shown(In("x?.txt"))});
}

TEST_F(FileExpansionTest, QuotedPathWithBlanksIsExpanded) {
  // As the file picker leaves a chosen path with blanks in the file edit.
  std::string folder = In("my files");
  MakeDirectory(folder);
  MakeFile(folder + "\\a.txt");
  MakeFile(folder + "\\b.txt");
  MakeFile(folder + "\\c.log");
  SetFileTexts({"\"" + folder + "\\*.txt\""});
  EXPECT_EQ(StartFileExpansion(dialog_, nullptr), 1);
  EXPECT_EQ(BuildAll(), (std::vector<std::string>{"\"" + folder + "\\a.txt\"",
                                                  "\"" + folder + "\\b.txt\""}));
}

TEST_F(FileExpansionTest, JapaneseNamesWithTrailByte5C) {
  std::string folder = In("データ表");
  MakeDirectory(folder);
  MakeFile(folder + "\\表.txt");
  MakeFile(folder + "\\ソース.txt");
  MakeFile(folder + "\\機能.dat");
  SetFileTexts({folder + "\\*.txt", "C:\\o\\?*1.bak"});
  EXPECT_EQ(StartFileExpansion(dialog_, nullptr), 1);
  std::vector<std::string> expected = {
      Shown(folder + "\\ソース.txt") + " C:\\o\\ソソース.bak",
      Shown(folder + "\\表.txt") + " C:\\o\\表表.bak",
  };
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(BuildAll(), expected);
  // Joined to a base directory that ends in such a character.
  SetFileTexts({"*.dat"});
  EXPECT_EQ(StartFileExpansion(dialog_, folder.c_str()), 1);
  EXPECT_EQ(BuildAll(), std::vector<std::string>{"機能.dat"});
}

TEST_F(FileExpansionTest, RewrittenTextTooLongEndsTheList) {
  std::string longName = std::string(200, 'n') + ".txt";
  MakeFile(In(longName));
  SetFileTexts({In("*.txt"), "C:\\o\\*\\*.bak"});
  EXPECT_EQ(StartFileExpansion(dialog_, nullptr), 1);
  EXPECT_TRUE(BuildAll().empty());
}

}  // namespace

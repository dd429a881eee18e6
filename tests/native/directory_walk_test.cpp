#include "expand/directory_walk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/dbcs.h"

namespace {

struct SplitCase {
  const char* text;
  const char* base;
  const char* pattern;
};

class SplitWalkTextTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitWalkTextTest, BaseAndPattern) {
  const SplitCase& c = GetParam();
  char base[260] = "junk";
  char pattern[260] = "junk";
  SplitWalkText(c.text, base, pattern);
  EXPECT_STREQ(base, c.base);
  EXPECT_STREQ(pattern, c.pattern);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitWalkTextTest,
    ::testing::Values(SplitCase{"C:\\photos\\*", "C:\\photos\\", "*"},
                      SplitCase{"C:\\p\\2004*", "C:\\p\\", "2004*"},
                      SplitCase{"C:\\p\\a?.b*", "C:\\p\\", "a?.b*"},
                      SplitCase{"*", "", "*"},
                      SplitCase{"C:*", "C:", "*"},
                      SplitCase{"..\\src\\*", "..\\src\\", "*"},
                      SplitCase{"\\\\server\\share\\*", "\\\\server\\share\\", "*"},
                      SplitCase{"C:\\p\\", "C:\\p\\", ""},
                      SplitCase{"", "", ""},
                      // A trail byte 0x5C is not a separator.
                      SplitCase{"D:\\表\\ソ*", "D:\\表\\", "ソ*"},
                      SplitCase{"D:\\作業\\表*", "D:\\作業\\", "表*"},
                      // Enclosing quotes do not take part.
                      SplitCase{"\"D:\\My Work\\*\"", "D:\\My Work\\", "*"},
                      SplitCase{"\"D:\\My Work\\*", "D:\\My Work\\", "*"},
                      SplitCase{"D:\\My Work\\*\"", "D:\\My Work\\", "*\""}));

TEST(SplitWalkText, LongestTextFits) {
  const std::string dir = "C:\\" + std::string(250, 'd') + "\\";
  const std::string text = dir + "*";
  char base[260];
  char pattern[260];
  SplitWalkText(text.c_str(), base, pattern);
  EXPECT_EQ(std::string(base), dir);
  EXPECT_STREQ(pattern, "*");
  const std::string longName = "C:\\" + std::string(255, 'n');
  SplitWalkText(longName.c_str(), base, pattern);
  EXPECT_STREQ(base, "C:\\");
  EXPECT_EQ(std::string(pattern), std::string(255, 'n'));
}

TEST(SplitWalkText, DirectoryPartTooLongToSplitGivesNothingToSearch) {
  // Without a drive the directory part of a 258-character text can reach 257
  // characters, more than a split directory holds. Cut, it would name the
  // parent ("bb\b\...\b\" one level up), so nothing is split instead.
  std::string dir = "bb\\";
  for (int i = 0; i < 127; ++i) dir += "b\\";
  ASSERT_EQ(dir.size(), 257u);
  char base[260] = "junk";
  char pattern[260] = "junk";
  SplitWalkText((dir + "*").c_str(), base, pattern);
  EXPECT_STREQ(base, "");
  EXPECT_STREQ(pattern, "");
  // One level less (255 characters) still splits whole.
  const std::string shorter = dir.substr(0, 255);
  SplitWalkText((shorter + "*").c_str(), base, pattern);
  EXPECT_EQ(std::string(base), shorter);
  EXPECT_STREQ(pattern, "*");
}

TEST(IsDotEntry, OnlyTheTwoDotNames) {
  EXPECT_EQ(IsDotEntry("."), 1);
  EXPECT_EQ(IsDotEntry(".."), 1);
  for (const char* name : {"...", ".a", "a.", "", "..a", ". ", "x"}) EXPECT_EQ(IsDotEntry(name), 0) << name;
}

struct PlanCase {
  size_t cursor;
  size_t length;
  int result;
  size_t commitOffset;
  size_t commitSize;
};

class PlanListAppendTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanListAppendTest, FitsCommitsOrIsFull) {
  const PlanCase& c = GetParam();
  size_t offset = 99;
  size_t size = 99;
  EXPECT_EQ(PlanListAppend(c.cursor, c.length, &offset, &size), c.result);
  EXPECT_EQ(offset, c.commitOffset);
  EXPECT_EQ(size, c.commitSize);
}

// The list's next path starts at `cursor`; it needs its length, a terminator
// and the final empty text inside committed pages.
INSTANTIATE_TEST_SUITE_P(
    Lists, PlanListAppendTest,
    ::testing::Values(PlanCase{12, 259, kListFits, 0, 0},
                      PlanCase{4094, 0, kListFits, 0, 0},       // empty path: ends at 4095
                      PlanCase{4000, 94, kListFits, 0, 0},      // final empty text at 4095
                      PlanCase{4000, 95, kListNeedsCommit, 4096, 4096},
                      PlanCase{4095, 1, kListNeedsCommit, 4096, 4096},
                      PlanCase{4096, 259, kListFits, 0, 0},     // its page was committed
                      PlanCase{8191, 259, kListNeedsCommit, 8192, 4096},
                      PlanCase{61439, 259, kListNeedsCommit, 61440, 4096},
                      PlanCase{65280, 254, kListFits, 0, 0},    // ends on the block's last byte
                      PlanCase{65280, 255, kListFull, 0, 0},
                      PlanCase{65535, 0, kListFull, 0, 0},
                      PlanCase{65534, 0, kListFits, 0, 0}));

TEST(PlanListAppend, GrowingAListCommitsEachPageOnce) {
  // Appends 259-character paths from a 12-byte header until the block is full.
  size_t cursor = 12;
  size_t committed = kWalkPageSize;
  int appended = 0;
  for (;;) {
    size_t offset = 0;
    size_t size = 0;
    const int fit = PlanListAppend(cursor, 259, &offset, &size);
    if (fit == kListFull) break;
    if (fit == kListNeedsCommit) {
      EXPECT_EQ(offset, committed);
      EXPECT_EQ(size, kWalkPageSize);
      committed += size;
    }
    cursor += 260;
    EXPECT_LE(cursor + 1, committed);
    ++appended;
  }
  EXPECT_EQ(committed, kWalkBlockSize);
  EXPECT_EQ(appended, static_cast<int>((kWalkBlockSize - 12 - 1) / 260));
}

// ---- the walk over a fake tree and fake blocks ---------------------------

// The fake file system: each directory's entries in the order its search
// delivers them, keyed by the directory's path (no trailing backslash).
std::map<std::string, std::vector<FoundEntry>> g_tree;
// A directory named "loop" below this one lists itself again, like a link
// leading back up the tree.
std::string g_loopDirectory;

// The open search.
std::vector<FoundEntry> g_found;
size_t g_nextFound = 0;
bool g_searchOpen = false;
std::vector<std::string> g_searchPatterns;

// Fake blocks: bytes beyond the committed pages keep a fill byte, so a write
// past them shows when the block is released.
constexpr char kUntouched = '\xCD';
struct FakeBlock {
  std::unique_ptr<char[]> bytes;
  size_t committed;
};
std::map<char*, FakeBlock> g_liveBlocks;
int g_reserveCount = 0;
int g_failReserveNumber = 0;  // fail the n-th reservation (0: none)
bool g_failFirstCommits = false;
bool g_failLaterCommits = false;
std::vector<size_t> g_commitOffsets;  // offsets of committed ranges, in call order

// Program error codes the walk reports.
constexpr int kNoMemory = 1;
constexpr int kMemoryUsedUp = 2;

std::vector<int> g_codes;   // program errors reported
std::vector<std::string> g_faults;  // misuse of the platform by the walk

FoundEntry Entry(const std::string& name, int isDirectory) {
  FoundEntry entry{};
  entry.attributes = isDirectory ? kDirectoryAttribute : 0;
  std::strcpy(entry.name, name.c_str());
  return entry;
}

// Adds a directory (a path below `base`) with its "." and ".." entries, and
// lists it in its parent. Parents must come first; siblings keep the order
// they are added in.
// Index of the separator before a path's last component (npos for none).
size_t LastSeparator(const std::string& path) {
  const char* separator = FindLastCharDbcs(path.c_str(), '\\');
  return separator ? static_cast<size_t>(separator - path.c_str()) : std::string::npos;
}

void AddDir(const std::string& path) {
  const size_t cut = LastSeparator(path);
  g_tree[path.substr(0, cut)].push_back(Entry(path.substr(cut + 1), 1));
  g_tree[path] = {Entry(".", 1), Entry("..", 1)};
}

void AddFile(const std::string& path) {
  const size_t cut = LastSeparator(path);
  g_tree[path.substr(0, cut)].push_back(Entry(path.substr(cut + 1), 0));
}

// '*' matches everything, "abc*" every name starting with "abc", anything
// else only itself.
bool Matches(const std::string& mask, const std::string& name) {
  if (!mask.empty() && mask.back() == '*') return name.compare(0, mask.size() - 1, mask, 0, mask.size() - 1) == 0;
  return mask == name;
}

const std::vector<FoundEntry>* ListingOf(const std::string& directory) {
  const auto it = g_tree.find(directory);
  if (it != g_tree.end()) return &it->second;
  const std::string loopTail = "\\loop";
  if (!g_loopDirectory.empty() && directory.compare(0, g_loopDirectory.size(), g_loopDirectory) == 0 &&
      directory.size() > loopTail.size() &&
      directory.compare(directory.size() - loopTail.size(), loopTail.size(), loopTail) == 0) {
    return &g_tree[g_loopDirectory + loopTail];
  }
  return nullptr;
}

int FakeFindFirst(void*, const char* pattern, FoundEntry* entry) {
  if (g_searchOpen) g_faults.push_back("a search opened while another is open");
  g_searchPatterns.push_back(pattern);
  const std::string text = pattern;
  const size_t cut = LastSeparator(text);
  if (cut == std::string::npos) return 0;
  const std::vector<FoundEntry>* listing = ListingOf(text.substr(0, cut));
  if (listing == nullptr) return 0;
  g_found.clear();
  for (const FoundEntry& e : *listing) {
    if (Matches(text.substr(cut + 1), e.name)) g_found.push_back(e);
  }
  if (g_found.empty()) return 0;
  g_searchOpen = true;
  g_nextFound = 1;
  *entry = g_found[0];
  return 1;
}

int FakeFindNext(void*, FoundEntry* entry) {
  if (!g_searchOpen) g_faults.push_back("find next without an open search");
  if (!g_searchOpen || g_nextFound >= g_found.size()) return 0;
  *entry = g_found[g_nextFound++];
  return 1;
}

void FakeFindClose(void*) {
  if (!g_searchOpen) g_faults.push_back("close without an open search");
  g_searchOpen = false;
}

char* FakeReserveBlock() {
  if (++g_reserveCount == g_failReserveNumber) return nullptr;
  FakeBlock block{std::make_unique<char[]>(kWalkBlockSize), 0};
  std::memset(block.bytes.get(), kUntouched, kWalkBlockSize);
  char* start = block.bytes.get();
  g_liveBlocks[start] = std::move(block);
  return start;
}

int FakeCommitPages(char* at, size_t size) {
  for (auto& [start, block] : g_liveBlocks) {
    if (at < start || at >= start + kWalkBlockSize) continue;
    const size_t offset = static_cast<size_t>(at - start);
    if (offset != block.committed || size == 0 || size % kWalkPageSize != 0 ||
        offset + size > kWalkBlockSize) {
      g_faults.push_back("commit not of the next whole pages: " + std::to_string(offset) + "+" +
                         std::to_string(size));
    }
    if (offset == 0 ? g_failFirstCommits : g_failLaterCommits) return 0;
    g_commitOffsets.push_back(offset);
    block.committed = offset + size;
    return 1;
  }
  g_faults.push_back("commit outside every block");
  return 0;
}

void FakeReleaseBlock(char* start) {
  const auto it = g_liveBlocks.find(start);
  if (it == g_liveBlocks.end()) {
    g_faults.push_back("release of a block not held");
    return;
  }
  const FakeBlock& block = it->second;
  for (size_t i = block.committed; i < kWalkBlockSize; ++i) {
    if (block.bytes[i] != kUntouched) {
      g_faults.push_back("write beyond the committed pages at " + std::to_string(i));
      break;
    }
  }
  g_liveBlocks.erase(it);
}

void FakeReportError(int code) {
  g_codes.push_back(code);
}

constexpr WalkPlatform kFake = {FakeReserveBlock,
                                FakeCommitPages,
                                FakeReleaseBlock,
                                {FakeFindFirst, FakeFindNext, FakeFindClose, nullptr, nullptr},
                                FakeReportError};

// The walk under test.
DirectoryWalk g_walk{};

struct Walk {
  int begun = 0;
  std::vector<std::string> directories;
  std::vector<int> codes;
  int aborted = 0;
};

Walk RunWalk(const char* text) {
  g_codes.clear();
  Walk walk;
  walk.begun = StartDirectoryWalk(&g_walk, kFake, text);
  if (walk.begun) {
    char out[260];
    while (TakeWalkDirectory(&g_walk, kFake, out, sizeof out)) walk.directories.push_back(out);
    EXPECT_STREQ(out, "");
  }
  walk.codes = g_codes;
  walk.aborted = g_walk.aborted;
  return walk;
}

int FrameCount() {
  int count = 0;
  for (WalkFrame* frame = g_walk.top; frame != nullptr; frame = frame->parent) ++count;
  return count;
}

// Adds `count` subdirectories with long names to `dir`; 300 of them make a
// list of well over 64 KiB.
void AddManyLongDirectories(const std::string& dir, int count) {
  for (int i = 0; i < count; ++i) AddDir(dir + "\\" + std::to_string(100000 + i) + std::string(240 - dir.size(), 'n'));
}

using Paths = std::vector<std::string>;

class FakeWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_tree.clear();
    g_loopDirectory.clear();
    g_searchOpen = false;
    g_searchPatterns.clear();
    g_reserveCount = 0;
    g_failReserveNumber = 0;
    g_failFirstCommits = false;
    g_failLaterCommits = false;
    g_commitOffsets.clear();
    g_codes.clear();
    g_faults.clear();
    g_tree["C:\\p"] = {Entry(".", 1), Entry("..", 1)};
  }
  void TearDown() override {
    StartDirectoryWalk(&g_walk, kFake, "");  // drops a walk a test left unfinished
    EXPECT_EQ(g_walk.top, nullptr);
    EXPECT_EQ(g_walk.blocksHeld, 0);
    EXPECT_TRUE(g_liveBlocks.empty());
    EXPECT_FALSE(g_searchOpen);
    EXPECT_EQ(g_faults, Paths{});
    g_liveBlocks.clear();
  }
};

TEST_F(FakeWalkTest, ChildrenBeforeParentsWithoutTheBase) {
  for (const char* d : {"C:\\p\\a", "C:\\p\\a\\x", "C:\\p\\b"}) AddDir(d);
  const Walk walk = RunWalk("C:\\p\\*");
  EXPECT_EQ(walk.begun, 1);
  EXPECT_EQ(walk.directories, (Paths{"C:\\p\\a\\x", "C:\\p\\a", "C:\\p\\b"}));
  EXPECT_EQ(walk.codes, std::vector<int>{});
  EXPECT_EQ(walk.aborted, 0);
}

TEST_F(FakeWalkTest, ThreeLevelsSiblingsInListingOrder) {
  // Listed out of name order on purpose: the walk keeps the listing's order.
  for (const char* d : {"C:\\p\\b", "C:\\p\\b\\z", "C:\\p\\a", "C:\\p\\a\\y", "C:\\p\\a\\x",
                        "C:\\p\\a\\x\\deep2", "C:\\p\\a\\x\\deep1", "C:\\p\\c"})
    AddDir(d);
  AddFile("C:\\p\\a\\file.txt");
  const Walk walk = RunWalk("C:\\p\\*");
  EXPECT_EQ(walk.begun, 1);
  EXPECT_EQ(walk.directories,
            (Paths{"C:\\p\\b\\z", "C:\\p\\b", "C:\\p\\a\\y", "C:\\p\\a\\x\\deep2", "C:\\p\\a\\x\\deep1",
                   "C:\\p\\a\\x", "C:\\p\\a", "C:\\p\\c"}));
  EXPECT_EQ(walk.codes, std::vector<int>{});
}

TEST_F(FakeWalkTest, BeginDescendsToTheDeepestFirstDirectory) {
  for (const char* d : {"C:\\p\\a", "C:\\p\\a\\b", "C:\\p\\a\\b\\c", "C:\\p\\d"}) AddDir(d);
  ASSERT_EQ(StartDirectoryWalk(&g_walk, kFake, "C:\\p\\*"), 1);
  EXPECT_EQ(FrameCount(), 3);  // the base's, a's and b's lists
  EXPECT_EQ(g_walk.blocksHeld, 4);  // and c's block, kept for the next level
  ASSERT_NE(g_walk.top, nullptr);
  EXPECT_STREQ(g_walk.top->cursor, "C:\\p\\a\\b\\c");
}

TEST_F(FakeWalkTest, TrailByteBackslashIsNoSeparator) {
  AddDir("C:\\p\\表");  // 表 ends in the byte 0x5C
  AddDir("C:\\p\\表\\c");
  const Walk walk = RunWalk("C:\\p\\*");
  EXPECT_EQ(walk.directories, (Paths{"C:\\p\\表\\c", "C:\\p\\表"}));
}

TEST_F(FakeWalkTest, PatternAppliesAtEveryLevel) {
  for (const char* d : {"C:\\p\\2004a", "C:\\p\\2004a\\2004b", "C:\\p\\2004a\\misc", "C:\\p\\2004a\\misc\\2004c",
                        "C:\\p\\2004a\\2004b\\2004d", "C:\\p\\x2004", "C:\\p\\x2004\\2004e", "C:\\p\\2005"})
    AddDir(d);
  AddFile("C:\\p\\2004f");
  AddFile("C:\\p\\2004a\\2004g");
  const Walk walk = RunWalk("C:\\p\\2004*");
  EXPECT_EQ(walk.begun, 1);
  EXPECT_EQ(walk.directories, (Paths{"C:\\p\\2004a\\2004b\\2004d", "C:\\p\\2004a\\2004b", "C:\\p\\2004a"}));
  EXPECT_EQ(g_searchPatterns, (Paths{"C:\\p\\2004*", "C:\\p\\2004a\\2004*", "C:\\p\\2004a\\2004b\\2004*",
                                     "C:\\p\\2004a\\2004b\\2004d\\2004*"}));
}

TEST_F(FakeWalkTest, FilesAndDotEntriesAreNeverHandedOut) {
  AddDir("C:\\p\\d");
  AddDir("C:\\p\\d\\sub");
  for (const char* f : {"C:\\p\\one.txt", "C:\\p\\d\\three.c", "C:\\p\\d\\sub\\four"}) AddFile(f);
  g_tree["C:\\p"].push_back(Entry("..", 1));  // listed late as well
  const Walk walk = RunWalk("C:\\p\\*");
  EXPECT_EQ(walk.directories, (Paths{"C:\\p\\d\\sub", "C:\\p\\d"}));
}

TEST_F(FakeWalkTest, NothingToWalk) {
  AddDir("C:\\p\\empty");
  AddDir("C:\\p\\files");
  AddFile("C:\\p\\files\\a.txt");
  AddFile("C:\\p\\files\\b");
  AddDir("C:\\p\\plain");
  AddDir("C:\\p\\plain\\sub");
  const struct {
    const char* text;
    bool searched;
  } cases[] = {
      {"", false},                  // empty text
      {"C:\\p\\empty\\*", true},    // only "." and ".."
      {"C:\\p\\files\\*", true},    // files only
      {"*", false},                 // no directory part: nothing to search
      {"C:\\p\\plain", false},      // no wildcard
      {"C:\\p\\plain\\s**", false}, // "**" is a plain star
      {"C:\\p\\missing\\*", true},  // base directory does not exist
      {"C:\\p\\plain\\q*", true},   // nothing matches
  };
  for (const auto& c : cases) {
    g_searchPatterns.clear();
    const Walk walk = RunWalk(c.text);
    EXPECT_EQ(walk.begun, 0) << c.text;
    EXPECT_EQ(walk.codes, std::vector<int>{}) << c.text;
    EXPECT_EQ(walk.aborted, 0) << c.text;
    EXPECT_EQ(g_searchPatterns.size(), c.searched ? 1u : 0u) << c.text;
    EXPECT_EQ(g_walk.blocksHeld, 0) << c.text;
    char out[260] = "x";
    EXPECT_EQ(TakeWalkDirectory(&g_walk, kFake, out, sizeof out), 0) << c.text;
    EXPECT_STREQ(out, "") << c.text;
  }
  EXPECT_EQ(StartDirectoryWalk(&g_walk, kFake, nullptr), 0);
}

TEST_F(FakeWalkTest, PathsBeyond259CharactersAreLeftOutWithTheirSubtree) {
  const std::string fits = "C:\\p\\" + std::string(259 - 5, 'L');
  const std::string tooLong = "C:\\p\\" + std::string(260 - 5, 'M');
  AddDir(fits);
  AddDir(tooLong);
  AddDir(tooLong + "\\below");
  AddDir("C:\\p\\s");
  const Walk walk = RunWalk("C:\\p\\*");
  EXPECT_EQ(walk.directories, (Paths{fits, "C:\\p\\s"}));
  EXPECT_EQ(walk.codes, std::vector<int>{});
  for (const std::string& pattern : g_searchPatterns) EXPECT_EQ(pattern.find('M'), std::string::npos);
}

TEST_F(FakeWalkTest, LinkBackUpTheTreeEndsAt259Characters) {
  g_loopDirectory = "C:\\p";
  AddDir("C:\\p\\loop");
  g_tree["C:\\p\\loop"].push_back(Entry("loop", 1));
  const Walk walk = RunWalk("C:\\p\\*");
  // "C:\p" and 51 times "\loop" make 259 characters.
  ASSERT_EQ(walk.directories.size(), 51u);
  EXPECT_EQ(walk.directories.front().size(), 259u);
  for (size_t i = 0; i < walk.directories.size(); ++i)
    EXPECT_EQ(walk.directories[i].size(), 4 + 5 * (51 - i)) << i;
  EXPECT_EQ(walk.codes, std::vector<int>{});
}

TEST_F(FakeWalkTest, FrameLayoutAndPagesCommittedAsTheListGrows) {
  AddDir("C:\\p\\m");
  AddManyLongDirectories("C:\\p\\m", 40);  // about 10 KiB of paths: three pages
  ASSERT_EQ(StartDirectoryWalk(&g_walk, kFake, "C:\\p\\m\\*"), 1);
  WalkFrame* top = g_walk.top;
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->parent, nullptr);
  EXPECT_EQ(reinterpret_cast<char*>(top), top->block);
  EXPECT_EQ(top->cursor, top->block + sizeof(WalkFrame));

  // The list: the 40 full paths in listing order, each ended by a zero byte,
  // then an empty text.
  const char* p = top->block + sizeof(WalkFrame);
  const std::vector<FoundEntry>& listing = g_tree["C:\\p\\m"];
  for (size_t i = 2; i < listing.size(); ++i, p += std::strlen(p) + 1)
    EXPECT_EQ(std::string(p), std::string("C:\\p\\m\\") + listing[i].name);
  EXPECT_EQ(*p, '\0');
  const size_t listEnd = static_cast<size_t>(p - top->block) + 1;
  const size_t pages = (listEnd + kWalkPageSize - 1) / kWalkPageSize;
  ASSERT_EQ(pages, 3u);
  // The base's list is whole before the walk looks below it.
  ASSERT_EQ(g_commitOffsets.size(), 4u);
  EXPECT_EQ(g_commitOffsets, (std::vector<size_t>{0, 4096, 8192, 0}));  // then the first page below
  EXPECT_EQ(g_liveBlocks.at(top->block).committed, pages * kWalkPageSize);

  char out[260];
  int handed = 0;
  while (TakeWalkDirectory(&g_walk, kFake, out, sizeof out)) ++handed;
  EXPECT_EQ(handed, 40);
}

TEST_F(FakeWalkTest, ListThatJustFitsIsWalkedWhole) {
  AddDir("C:\\p\\full");
  const std::string dir = "C:\\p\\full";
  // Paths of 200 or 201 characters, so many that the list's final empty text
  // is the block's last byte.
  const size_t room = kWalkBlockSize - sizeof(WalkFrame) - 1;
  const size_t count = room / 201;
  const size_t longer = room - count * 201;
  ASSERT_LE(longer, count);
  for (size_t i = 0; i < count; ++i) {
    const size_t nameLength = 200 - dir.size() - 1 + (i < longer ? 1 : 0);
    AddDir(dir + "\\" + std::to_string(100000 + i) + std::string(nameLength - 6, 'f'));
  }
  const Walk walk = RunWalk("C:\\p\\full\\*");
  EXPECT_EQ(walk.begun, 1);
  EXPECT_EQ(walk.codes, std::vector<int>{});
  EXPECT_EQ(walk.directories.size(), count);
  // Every page of the base's block, one at a time, then a first page for the
  // first directory looked into; the others reuse its block.
  std::vector<size_t> expectedCommits;
  for (size_t offset = 0; offset < kWalkBlockSize; offset += kWalkPageSize) expectedCommits.push_back(offset);
  expectedCommits.push_back(0);
  EXPECT_EQ(g_commitOffsets, expectedCommits);

  AddDir(dir + "\\x");  // one more does not fit
  const Walk over = RunWalk("C:\\p\\full\\*");
  EXPECT_EQ(over.begun, 0);
  EXPECT_EQ(over.codes, std::vector<int>{kMemoryUsedUp});
  EXPECT_EQ(over.aborted, 1);
}

TEST_F(FakeWalkTest, OverflowWhileSettingUpEndsTheWalkAtTheFirstCall) {
  AddDir("C:\\p\\a");
  AddDir("C:\\p\\a\\big");
  AddManyLongDirectories("C:\\p\\a\\big", 300);
  g_codes.clear();
  ASSERT_EQ(StartDirectoryWalk(&g_walk, kFake, "C:\\p\\*"), 1);
  EXPECT_EQ(FrameCount(), 2);  // the base's and a's; big's list was dropped
  EXPECT_EQ(g_liveBlocks.size(), 2u);
  EXPECT_EQ(g_codes, std::vector<int>{kMemoryUsedUp});
  EXPECT_EQ(g_walk.aborted, 1);
  EXPECT_FALSE(g_searchOpen);

  char out[260] = "x";
  EXPECT_EQ(TakeWalkDirectory(&g_walk, kFake, out, sizeof out), 0);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(g_codes.size(), 1u);
  EXPECT_EQ(g_walk.top, nullptr);
  EXPECT_TRUE(g_liveBlocks.empty());
  EXPECT_EQ(TakeWalkDirectory(&g_walk, kFake, out, sizeof out), 0);
}

TEST_F(FakeWalkTest, OverflowDuringTheWalkDropsTheDirectoryOfThatCall) {
  AddDir("C:\\p\\d1");
  AddDir("C:\\p\\d2");
  AddManyLongDirectories("C:\\p\\d2", 300);
  const Walk walk = RunWalk("C:\\p\\*");
  EXPECT_EQ(walk.begun, 1);
  EXPECT_EQ(walk.directories, Paths{});  // the first call overflowed and dropped d1
  EXPECT_EQ(walk.codes, std::vector<int>{kMemoryUsedUp});
  EXPECT_EQ(walk.aborted, 1);
  EXPECT_TRUE(g_liveBlocks.empty());

  // The next walk starts clean.
  const Walk again = RunWalk("C:\\p\\d1\\*");
  EXPECT_EQ(again.begun, 0);
  EXPECT_EQ(again.aborted, 0);
}

TEST_F(FakeWalkTest, NoBlockForALevelEndsTheWalk) {
  for (const char* d : {"C:\\p\\a", "C:\\p\\a\\b", "C:\\p\\a\\b\\c"}) AddDir(d);
  const struct {
    int failReserve;
    int begun;
  } cases[] = {
      {1, 0},  // the base's own level: nothing to walk
      {2, 1},  // a's level, while the walk is set up
      {3, 1},  // b's level
  };
  for (const auto& c : cases) {
    g_reserveCount = 0;
    g_failReserveNumber = c.failReserve;
    const Walk walk = RunWalk("C:\\p\\*");
    EXPECT_EQ(walk.begun, c.begun) << c.failReserve;
    EXPECT_EQ(walk.directories, Paths{}) << c.failReserve;
    EXPECT_EQ(walk.codes, std::vector<int>{kNoMemory}) << c.failReserve;
    EXPECT_EQ(walk.aborted, 1) << c.failReserve;
    EXPECT_TRUE(g_liveBlocks.empty()) << c.failReserve;
    EXPECT_EQ(g_walk.blocksHeld, 0) << c.failReserve;
  }
}

TEST_F(FakeWalkTest, PageThatCannotBeCommittedEndsTheWalk) {
  AddDir("C:\\p\\small");
  AddDir("C:\\p\\wide");
  AddManyLongDirectories("C:\\p\\wide", 30);  // needs a second page
  g_failLaterCommits = true;
  const Walk small = RunWalk("C:\\p\\small*");  // one page is enough
  EXPECT_EQ(small.directories, Paths{"C:\\p\\small"});
  EXPECT_EQ(small.codes, std::vector<int>{});
  const Walk wide = RunWalk("C:\\p\\wide\\*");
  EXPECT_EQ(wide.begun, 0);
  EXPECT_EQ(wide.codes, std::vector<int>{kNoMemory});
  EXPECT_EQ(wide.aborted, 1);
  EXPECT_TRUE(g_liveBlocks.empty());
  EXPECT_FALSE(g_searchOpen);

  // Without the first page a level is not even searched.
  g_failLaterCommits = false;
  g_failFirstCommits = true;
  g_searchPatterns.clear();
  const Walk none = RunWalk("C:\\p\\*");
  EXPECT_EQ(none.begun, 0);
  EXPECT_EQ(none.codes, std::vector<int>{kNoMemory});
  EXPECT_EQ(g_searchPatterns, Paths{});
  EXPECT_TRUE(g_liveBlocks.empty());
}

TEST_F(FakeWalkTest, TwoWalksInARowStartFresh) {
  for (const char* d : {"C:\\p\\a", "C:\\p\\a\\b", "C:\\p\\c"}) AddDir(d);
  const Paths expected = {"C:\\p\\a\\b", "C:\\p\\a", "C:\\p\\c"};
  const Walk first = RunWalk("C:\\p\\*");
  EXPECT_EQ(first.directories, expected);
  EXPECT_EQ(g_walk.top, nullptr);
  EXPECT_EQ(g_walk.blocksHeld, 0);
  EXPECT_TRUE(g_liveBlocks.empty());
  const Walk second = RunWalk("C:\\p\\*");
  EXPECT_EQ(second.directories, expected);

  // A walk given up half-way is dropped by the next one.
  ASSERT_EQ(StartDirectoryWalk(&g_walk, kFake, "C:\\p\\*"), 1);
  char out[260];
  ASSERT_EQ(TakeWalkDirectory(&g_walk, kFake, out, sizeof out), 1);
  EXPECT_GT(g_walk.blocksHeld, 0);
  ASSERT_EQ(StartDirectoryWalk(&g_walk, kFake, "C:\\p\\*"), 1);
  EXPECT_EQ(FrameCount(), 2);
  EXPECT_EQ(g_walk.blocksHeld, 3);  // with b's block, kept for the next level
  EXPECT_EQ(g_liveBlocks.size(), 3u);
  const Walk third = RunWalk("C:\\p\\*");
  EXPECT_EQ(third.directories, expected);

  // An aborted walk does not carry its abort into the next.
  g_reserveCount = 0;
  g_failReserveNumber = 2;
  EXPECT_EQ(RunWalk("C:\\p\\*").aborted, 1);
  g_failReserveNumber = 0;
  const Walk fourth = RunWalk("C:\\p\\*");
  EXPECT_EQ(fourth.directories, expected);
  EXPECT_EQ(fourth.aborted, 0);
}

TEST_F(FakeWalkTest, ShortOutputBufferGetsTheStartOfThePath) {
  AddDir("C:\\p\\abc");
  AddDir("C:\\p\\d");
  ASSERT_EQ(StartDirectoryWalk(&g_walk, kFake, "C:\\p\\*"), 1);
  char out[5];
  ASSERT_EQ(TakeWalkDirectory(&g_walk, kFake, out, sizeof out), 1);
  EXPECT_STREQ(out, "C:\\p");
  ASSERT_EQ(TakeWalkDirectory(&g_walk, kFake, out, sizeof out), 1);
  EXPECT_STREQ(out, "C:\\p");
  EXPECT_EQ(TakeWalkDirectory(&g_walk, kFake, out, sizeof out), 0);
}

TEST_F(FakeWalkTest, AddWalkEntryAppendsOnlyQualifyingSubdirectories) {
  char* block = FakeReserveBlock();
  ASSERT_EQ(FakeCommitPages(block, kWalkPageSize), 1);
  WalkFrame* frame = reinterpret_cast<WalkFrame*>(block);
  frame->parent = nullptr;
  frame->block = block;
  frame->cursor = block + sizeof(WalkFrame);
  frame->cursor[0] = '\0';
  const std::string longest(259 - 5, 'L');
  const std::string tooLong = longest + "M";
  const struct {
    const char* name;
    int isDirectory;
    int result;
  } cases[] = {
      {"a", 1, 6},           // "C:\p\a"
      {"file", 0, 0},
      {".", 1, 0},
      {"..", 1, 0},
      {"...", 1, 8},
      {longest.c_str(), 1, 259},
      {tooLong.c_str(), 1, 0},
      {"", 1, 0},
      {"\"", 1, 0},         // would join as "C:\p\" itself
      {"\"q\"", 1, 0},
      {"a\"b", 1, 8},
  };
  std::string expectedList;
  for (const auto& c : cases) {
    EXPECT_EQ(AddWalkEntry(&g_walk, kFake, frame, "C:\\p", c.name, c.isDirectory), c.result) << c.name;
    if (c.result > 0) expectedList += std::string("C:\\p\\") + c.name + '\0';
  }
  expectedList += '\0';
  const char* list = block + sizeof(WalkFrame);
  EXPECT_EQ(std::string(list, expectedList.size()), expectedList);
  EXPECT_EQ(frame->cursor, list + expectedList.size() - 1);
  EXPECT_EQ(g_codes, std::vector<int>{});
  FakeReleaseBlock(block);
}

}  // namespace

#include "expand/directory_walk.h"
#include "expand/directory_walk_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "support/main_handle_win32.h"
#include "support/msgbox_watch.h"
#include "support/hidden_window.h"
#include "support/import_patch.h"
#include "support/test_env.h"

namespace {

constexpr char kTitle[] = "タビクス：ディレクトリ展開";

// ---- VirtualAlloc made to fail on request -------------------------------

using VirtualAllocFn = LPVOID(WINAPI*)(LPVOID, SIZE_T, DWORD, DWORD);
VirtualAllocFn g_realVirtualAlloc = nullptr;
int g_failReserveNumber = 0;     // fail the n-th reservation (0: none)
bool g_failLaterCommits = false;  // fail commits past a block's first page
int g_reserveCount = 0;

LPVOID WINAPI TestVirtualAlloc(LPVOID address, SIZE_T size, DWORD type, DWORD protect) {
  if (type & MEM_RESERVE) {
    if (++g_reserveCount == g_failReserveNumber) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
  } else if ((type & MEM_COMMIT) && g_failLaterCommits && address != nullptr) {
    MEMORY_BASIC_INFORMATION info{};
    VirtualQuery(address, &info, sizeof info);
    if (static_cast<char*>(address) != static_cast<char*>(info.AllocationBase)) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
  }
  return g_realVirtualAlloc(address, size, type, protect);
}


// ---- trees ----------------------------------------------------------------

bool MakeDir(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

// Makes a directory whose path may exceed what the ANSI calls accept.
bool MakeLongDir(const std::string& path) {
  wchar_t wide[1024];
  const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, 1000);
  if (n == 0) return false;
  std::wstring full = L"\\\\?\\" + std::wstring(wide);
  return CreateDirectoryW(full.c_str(), nullptr) != 0;
}

bool MakeFile(const std::string& path) {
  return WriteWholeFile(path, "x");
}

// Subdirectory names of `dir` in the order the file system delivers them.
std::vector<std::string> DirectoryOrder(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = entry.cFileName;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
      names.push_back(name);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return names;
}

// The walk under test, over the system.
HANDLE g_find = INVALID_HANDLE_VALUE;
DirectoryWalk g_walk{};
const WalkPlatform g_system = SystemWalkPlatform(&g_find);

int BeginDirectoryWalk(const char* text) { return StartDirectoryWalk(&g_walk, g_system, text); }
int NextWalkDirectory(char* out, std::size_t size) {
  return TakeWalkDirectory(&g_walk, g_system, out, size);
}

struct Walk {
  int begun = 0;
  std::vector<std::string> directories;
  std::vector<SeenBox> boxes;
  int aborted = 0;
};

Walk RunWalk(const std::string& text) {
  Walk walk;
  walk.boxes = WatchBoxesDuring(nullptr, [&] {
    walk.begun = BeginDirectoryWalk(text.c_str());
    if (!walk.begun) return;
    char out[260];
    while (NextWalkDirectory(out, sizeof out)) walk.directories.push_back(out);
  });
  walk.aborted = g_walk.aborted;
  return walk;
}

bool IsReleased(const void* block) {
  MEMORY_BASIC_INFORMATION info{};
  if (!VirtualQuery(block, &info, sizeof info)) return false;
  return info.State == MEM_FREE;
}

class DirectoryWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateHiddenWindow("main");
    ASSERT_NE(owner_, nullptr);
    g_mainDialog = owner_;
    root_ = MakeTempDir("walk");
    ASSERT_FALSE(root_.empty());
  }
  void TearDown() override {
    RestoreKernelImport(slot_, g_realVirtualAlloc);
    g_failReserveNumber = 0;
    g_failLaterCommits = false;
    g_mainDialog = nullptr;
    if (owner_) DestroyWindow(owner_);
    EXPECT_EQ(g_walk.blocksHeld, 0);
  }

  void HookVirtualAlloc() {
    g_reserveCount = 0;
    slot_ = SwapKernelImport("VirtualAlloc", &TestVirtualAlloc, &g_realVirtualAlloc);
    ASSERT_NE(slot_, nullptr);
  }

  std::string P(const std::string& relative) const { return root_ + "\\" + relative; }

  // Makes `count` subdirectories with long names in `dir`; their paths make a
  // list of well over 64 KiB when `count` is 300.
  void MakeManyLongDirectories(const std::string& dir, int count) {
    const size_t room = 250 - dir.size();
    ASSERT_GT(room, 100u);
    for (int i = 0; i < count; ++i) {
      std::string name = std::to_string(100000 + i) + std::string(room - 7, 'n');
      ASSERT_TRUE(MakeDir(dir + "\\" + name)) << i;
    }
  }

  void** slot_ = nullptr;
  HWND owner_ = nullptr;
  std::string root_;
};

TEST_F(DirectoryWalkTest, ChainIsHandedOutDeepestFirstWithoutTheBase) {
  ASSERT_TRUE(MakeDir(P("a")));
  ASSERT_TRUE(MakeDir(P("a\\表示")));  // trail byte 0x5C
  ASSERT_TRUE(MakeDir(P("a\\表示\\c")));
  Walk walk = RunWalk(root_ + "\\*");
  EXPECT_EQ(walk.begun, 1);
  EXPECT_TRUE(walk.boxes.empty());
  const std::vector<std::string> expected = {P("a\\表示\\c"), P("a\\表示"), P("a")};
  EXPECT_EQ(walk.directories, expected);
  EXPECT_EQ(walk.aborted, 0);
}

TEST_F(DirectoryWalkTest, ThreeLevelTreeChildrenBeforeParentsSiblingsInDeliveredOrder) {
  for (const char* d : {"a", "a\\x", "a\\x\\deep1", "a\\x\\deep2", "a\\y", "b", "b\\z", "c"})
    ASSERT_TRUE(MakeDir(P(d)));
  ASSERT_TRUE(MakeFile(P("a\\file.txt")));
  ASSERT_TRUE(MakeFile(P("a\\x\\deep1\\f")));

  // Expected: every directory after its own subdirectories, siblings in the
  // order the file system delivers them.
  std::vector<std::string> expected;
  struct Reference {
    static void Add(const std::string& dir, std::vector<std::string>& out) {
      for (const std::string& name : DirectoryOrder(dir)) {
        Add(dir + "\\" + name, out);
        out.push_back(dir + "\\" + name);
      }
    }
  };
  Reference::Add(root_, expected);
  ASSERT_EQ(expected.size(), 8u);

  Walk walk = RunWalk(root_ + "\\*");
  EXPECT_EQ(walk.begun, 1);
  EXPECT_EQ(walk.directories, expected);
  EXPECT_TRUE(walk.boxes.empty());
  const auto at = [&](const char* d) {
    return std::find(walk.directories.begin(), walk.directories.end(), P(d)) - walk.directories.begin();
  };
  EXPECT_LT(at("a\\x\\deep1"), at("a\\x"));
  EXPECT_LT(at("a\\x\\deep2"), at("a\\x"));
  EXPECT_LT(at("a\\x"), at("a"));
  EXPECT_LT(at("a\\y"), at("a"));
  EXPECT_LT(at("b\\z"), at("b"));
}

TEST_F(DirectoryWalkTest, PatternAppliesAtEveryLevel) {
  for (const char* d : {"2004a", "2004a\\2004b", "2004a\\misc", "2004a\\misc\\2004c", "2004a\\2004b\\2004d",
                        "x2004", "x2004\\2004e", "2005"})
    ASSERT_TRUE(MakeDir(P(d)));
  ASSERT_TRUE(MakeFile(P("2004f")));
  ASSERT_TRUE(MakeFile(P("2004a\\2004g")));
  Walk walk = RunWalk(root_ + "\\2004*");
  EXPECT_EQ(walk.begun, 1);
  const std::vector<std::string> expected = {P("2004a\\2004b\\2004d"), P("2004a\\2004b"), P("2004a")};
  EXPECT_EQ(walk.directories, expected);
}

TEST_F(DirectoryWalkTest, FilesAndDotEntriesAreNeverHandedOut) {
  ASSERT_TRUE(MakeDir(P("d")));
  ASSERT_TRUE(MakeDir(P("d\\sub")));
  for (const char* f : {"one.txt", "two", "d\\three.c", "d\\sub\\four"}) ASSERT_TRUE(MakeFile(P(f)));
  const DWORD hiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(MakeDir(P("h")));
  ASSERT_TRUE(SetFileAttributesA(P("h").c_str(), hiddenSystem));
  Walk walk = RunWalk(root_ + "\\*");
  std::vector<std::string> got = walk.directories;
  std::sort(got.begin(), got.end());
  const std::vector<std::string> expected = {P("d"), P("d\\sub"), P("h")};
  EXPECT_EQ(got, expected);
  for (const std::string& d : walk.directories) {
    EXPECT_NE(d.substr(d.size() - 2), "\\.") << d;
    EXPECT_EQ(d.find("\\.."), std::string::npos) << d;
  }
}

TEST_F(DirectoryWalkTest, NothingToWalk) {
  const std::string onlyFiles = P("files");
  const std::string empty = P("empty");
  ASSERT_TRUE(MakeDir(onlyFiles));
  ASSERT_TRUE(MakeDir(empty));
  ASSERT_TRUE(MakeFile(onlyFiles + "\\a.txt"));
  ASSERT_TRUE(MakeFile(onlyFiles + "\\b"));
  ASSERT_TRUE(MakeDir(P("plain")));
  ASSERT_TRUE(MakeDir(P("plain\\sub")));
  const std::string cases[] = {
      "",                          // empty text
      empty + "\\*",               // no subdirectories
      onlyFiles + "\\*",           // files only
      "*",                         // no directory part: nothing to search
      P("plain"),                  // no wildcard
      P("plain\\"),                // no wildcard
      P("plain\\s**"),             // "**" is a plain star
      P("missing\\*"),             // base directory does not exist
      P("plain\\q*"),              // nothing matches
  };
  for (const std::string& text : cases) {
    Walk walk = RunWalk(text);
    EXPECT_EQ(walk.begun, 0) << text;
    EXPECT_TRUE(walk.boxes.empty()) << text;
    EXPECT_EQ(walk.aborted, 0) << text;
    char out[260] = "x";
    EXPECT_EQ(NextWalkDirectory(out, sizeof out), 0) << text;
  }
  EXPECT_EQ(BeginDirectoryWalk(nullptr), 0);
}

TEST_F(DirectoryWalkTest, QuotedAndQuestionMarkTexts) {
  ASSERT_TRUE(MakeDir(P("my dir")));
  ASSERT_TRUE(MakeDir(P("my dir\\ab")));
  ASSERT_TRUE(MakeDir(P("my dir\\ac")));
  ASSERT_TRUE(MakeDir(P("my dir\\abc")));
  Walk walk = RunWalk("\"" + root_ + "\\my dir\\a?\"");
  std::sort(walk.directories.begin(), walk.directories.end());
  const std::vector<std::string> expected = {P("my dir\\ab"), P("my dir\\ac")};
  EXPECT_EQ(walk.directories, expected);
}

TEST_F(DirectoryWalkTest, TwoWalksInARowStartFresh) {
  for (const char* d : {"a", "a\\b", "c"}) ASSERT_TRUE(MakeDir(P(d)));
  Walk first = RunWalk(root_ + "\\*");
  EXPECT_EQ(g_walk.top, nullptr);
  EXPECT_EQ(g_walk.blocksHeld, 0);
  Walk second = RunWalk(root_ + "\\*");
  EXPECT_EQ(first.directories.size(), 3u);
  EXPECT_EQ(second.directories, first.directories);

  // A walk given up half-way is dropped by the next one.
  ASSERT_EQ(BeginDirectoryWalk((root_ + "\\*").c_str()), 1);
  char out[260];
  ASSERT_EQ(NextWalkDirectory(out, sizeof out), 1);
  EXPECT_GT(g_walk.blocksHeld, 0);
  Walk third = RunWalk(root_ + "\\*");
  EXPECT_EQ(third.directories, first.directories);
  EXPECT_EQ(g_walk.blocksHeld, 0);
}

TEST_F(DirectoryWalkTest, FramesAreReservedWholeAndCommittedPageByPage) {
  const std::string many = P("m");
  ASSERT_TRUE(MakeDir(many));
  MakeManyLongDirectories(many, 40);  // about 10 KiB of paths: three pages
  ASSERT_EQ(BeginDirectoryWalk((many + "\\*").c_str()), 1);
  WalkFrame* top = g_walk.top;
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->parent, nullptr);
  EXPECT_EQ(reinterpret_cast<char*>(top), top->block);

  // The list: 40 full paths, each ended by a zero byte, then an empty text.
  const char* p = top->block + sizeof(WalkFrame);
  size_t bytes = 0;
  int count = 0;
  for (; *p; p += std::strlen(p) + 1, ++count) bytes += std::strlen(p) + 1;
  EXPECT_EQ(count, 40);
  const size_t listEnd = sizeof(WalkFrame) + bytes + 1;
  const size_t committed = (listEnd + 4095) / 4096 * 4096;
  ASSERT_GT(committed, 8192u);

  MEMORY_BASIC_INFORMATION info{};
  ASSERT_TRUE(VirtualQuery(top->block, &info, sizeof info));
  EXPECT_EQ(info.AllocationBase, top->block);
  EXPECT_EQ(info.State, static_cast<DWORD>(MEM_COMMIT));
  EXPECT_EQ(info.RegionSize, committed);
  ASSERT_TRUE(VirtualQuery(top->block + committed, &info, sizeof info));
  EXPECT_EQ(info.AllocationBase, top->block);
  EXPECT_EQ(info.State, static_cast<DWORD>(MEM_RESERVE));
  EXPECT_EQ(info.RegionSize, 65536 - committed);

  char* block = top->block;
  char out[260];
  int handed = 0;
  while (NextWalkDirectory(out, sizeof out)) ++handed;
  EXPECT_EQ(handed, 40);
  EXPECT_TRUE(IsReleased(block));
}

TEST_F(DirectoryWalkTest, OverflowingListEndsTheWalkAndReleasesEveryFrame) {
  // root\a\big holds more subdirectories than one level's block can list.
  ASSERT_TRUE(MakeDir(P("a")));
  ASSERT_TRUE(MakeDir(P("a\\big")));
  MakeManyLongDirectories(P("a\\big"), 300);

  std::vector<char*> blocks;
  int begun = 0;
  std::vector<SeenBox> boxes = WatchBoxesDuring(nullptr, [&] {
    begun = BeginDirectoryWalk((root_ + "\\*").c_str());
    for (WalkFrame* f = g_walk.top; f; f = f->parent) blocks.push_back(f->block);
  });
  EXPECT_EQ(begun, 1);
  EXPECT_EQ(blocks.size(), 2u);  // root and a; big's frame was dropped
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kTitle);
  EXPECT_EQ(boxes[0].text, "用意していたメモリが足りなくなりました");
  EXPECT_EQ(boxes[0].owner, owner_);
  EXPECT_EQ(g_walk.aborted, 1);

  char out[260] = "x";
  boxes = WatchBoxesDuring(nullptr, [&] { EXPECT_EQ(NextWalkDirectory(out, sizeof out), 0); });
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(g_walk.top, nullptr);
  EXPECT_EQ(g_walk.blocksHeld, 0);
  for (char* block : blocks) EXPECT_TRUE(IsReleased(block));
  EXPECT_EQ(NextWalkDirectory(out, sizeof out), 0);
}

TEST_F(DirectoryWalkTest, OverflowDuringTheWalkDropsTheDirectoryOfThatCall) {
  ASSERT_TRUE(MakeDir(P("d1")));
  ASSERT_TRUE(MakeDir(P("d2")));
  const std::vector<std::string> order = DirectoryOrder(root_);
  ASSERT_EQ(order.size(), 2u);
  MakeManyLongDirectories(P(order[1]), 300);  // the second one overflows

  Walk walk = RunWalk(root_ + "\\*");
  EXPECT_EQ(walk.begun, 1);
  EXPECT_TRUE(walk.directories.empty());  // the first call overflowed and dropped order[0]
  ASSERT_EQ(walk.boxes.size(), 1u);
  EXPECT_EQ(walk.boxes[0].text, "用意していたメモリが足りなくなりました");
  EXPECT_EQ(walk.aborted, 1);
  EXPECT_EQ(g_walk.blocksHeld, 0);

  // The next walk starts clean.
  Walk again = RunWalk(P(order[0]) + "\\*");
  EXPECT_EQ(again.begun, 0);
  EXPECT_EQ(again.aborted, 0);
}

TEST_F(DirectoryWalkTest, ListThatJustFitsIsWalkedWhole) {
  ASSERT_TRUE(MakeDir(P("full")));
  const std::string dir = P("full");
  // Paths of 200 or 201 characters, so many that the list's final empty text
  // is the block's last byte.
  const size_t room = 65536 - sizeof(WalkFrame) - 1;
  const size_t pathLength = 200;
  const size_t count = room / (pathLength + 1);
  const size_t longer = room - count * (pathLength + 1);  // paths one longer
  ASSERT_LE(longer, count);
  for (size_t i = 0; i < count; ++i) {
    const size_t nameLength = pathLength - dir.size() - 1 + (i < longer ? 1 : 0);
    const std::string name = std::to_string(100000 + i) + std::string(nameLength - 6, 'f');
    ASSERT_TRUE(MakeDir(dir + "\\" + name)) << i;
  }
  Walk walk = RunWalk(dir + "\\*");
  EXPECT_EQ(walk.begun, 1);
  EXPECT_TRUE(walk.boxes.empty());
  EXPECT_EQ(walk.directories.size(), count);
  EXPECT_EQ(walk.aborted, 0);

  // A further subdirectory does not fit.
  ASSERT_TRUE(MakeDir(dir + "\\x"));
  Walk over = RunWalk(dir + "\\*");
  EXPECT_EQ(over.begun, 0);
  ASSERT_EQ(over.boxes.size(), 1u);
  EXPECT_EQ(over.boxes[0].text, "用意していたメモリが足りなくなりました");
  EXPECT_EQ(over.aborted, 1);
}

TEST_F(DirectoryWalkTest, PathsBeyond259CharactersAreLeftOutWithTheirSubtree) {
  // root\L (259 characters in all) is handed out; root\M (260) is not, nor
  // anything below it.
  const size_t room = 259 - root_.size() - 1;
  const std::string fits(room, 'L');
  const std::string tooLong(room + 1, 'M');
  ASSERT_TRUE(MakeLongDir(root_ + "\\" + fits));
  ASSERT_TRUE(MakeLongDir(root_ + "\\" + tooLong));
  ASSERT_TRUE(MakeLongDir(root_ + "\\" + tooLong + "\\below"));
  ASSERT_TRUE(MakeDir(P("s")));
  Walk walk = RunWalk(root_ + "\\*");
  EXPECT_TRUE(walk.boxes.empty());
  std::sort(walk.directories.begin(), walk.directories.end());
  const std::vector<std::string> expected = {P(fits), P("s")};
  EXPECT_EQ(walk.directories, expected);
  EXPECT_EQ(P(fits).size(), 259u);
}

TEST_F(DirectoryWalkTest, NoMemoryForALevelEndsTheWalk) {
  for (const char* d : {"a", "a\\b", "a\\b\\c"}) ASSERT_TRUE(MakeDir(P(d)));
  HookVirtualAlloc();
  struct Case {
    int failReserve;
    int begun;
  } cases[] = {
      {1, 0},  // the base's own level: nothing to walk
      {2, 1},  // a's level, while the walk is set up
      {3, 1},  // b's level
  };
  for (const Case& c : cases) {
    g_reserveCount = 0;
    g_failReserveNumber = c.failReserve;
    Walk walk = RunWalk(root_ + "\\*");
    EXPECT_EQ(walk.begun, c.begun) << c.failReserve;
    EXPECT_TRUE(walk.directories.empty()) << c.failReserve;
    ASSERT_EQ(walk.boxes.size(), 1u) << c.failReserve;
    EXPECT_EQ(walk.boxes[0].caption, kTitle);
    EXPECT_EQ(walk.boxes[0].text, "メモリが足りません");
    EXPECT_EQ(walk.boxes[0].owner, owner_);
    EXPECT_EQ(walk.aborted, 1);
    EXPECT_EQ(g_walk.blocksHeld, 0) << c.failReserve;
  }
}

TEST_F(DirectoryWalkTest, PageThatCannotBeCommittedEndsTheWalk) {
  ASSERT_TRUE(MakeDir(P("small")));
  ASSERT_TRUE(MakeDir(P("wide")));
  MakeManyLongDirectories(P("wide"), 30);  // needs a second page
  HookVirtualAlloc();
  g_failLaterCommits = true;
  Walk small = RunWalk(root_ + "\\small*");  // one page is enough
  EXPECT_EQ(small.directories, std::vector<std::string>{P("small")});
  EXPECT_TRUE(small.boxes.empty());
  Walk wide = RunWalk(root_ + "\\wide\\*");
  EXPECT_EQ(wide.begun, 0);
  ASSERT_EQ(wide.boxes.size(), 1u);
  EXPECT_EQ(wide.boxes[0].text, "メモリが足りません");
  EXPECT_EQ(wide.aborted, 1);
}

}  // namespace

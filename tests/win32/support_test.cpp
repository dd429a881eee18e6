// The support layer under Windows: open modes and their sharing between two
// processes, reads and writes, memory blocks, and bounded formatting.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "hold_file_process.h"
#include "param_sparse_file.h"
#include "support/file_io_win32.h"
#include "support/format_text.h"
#include "support/memory_win32.h"
#include "test_env.h"
#include "start_process.h"

namespace {

// Runs hold_file.exe with `arguments` and returns its exit code (or -1).
int RunHoldFile(const std::string& arguments) {
  std::string commandLine = "\"" + HoldFileExe() + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!StartTestProcess(nullptr, &commandLine[0], 0, nullptr, &startup, &process)) {
    return -1;
  }
  CloseHandle(process.hThread);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, kChildLimitMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  }
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

class SupportFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempDir("support");
    ASSERT_FALSE(dir_.empty());
    path_ = JoinTestPath(dir_, "file.tvx");
  }
  std::string dir_;
  std::string path_;
};

TEST_F(SupportFileTest, CreateWriteReadAndSize) {
  HANDLE out = CreateForWrite(path_.c_str());
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  EXPECT_EQ(WriteBytes(out, "hello\r\n", 7), 7u);
  EXPECT_EQ(CloseFile(out), 1);
  EXPECT_EQ(FileExists(path_.c_str()), 1);

  HANDLE in = OpenForRead(path_.c_str());
  ASSERT_NE(in, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetSmallFileSize(in), 7u);
  char buffer[32] = {};
  EXPECT_EQ(ReadBytes(in, buffer, sizeof buffer), 7u);
  EXPECT_EQ(std::string(buffer), "hello\r\n");
  EXPECT_EQ(ReadBytes(in, buffer, sizeof buffer), 0u);  // at the end
  CloseFile(in);
}

TEST_F(SupportFileTest, SizesOf4GiBOrMoreGiveZero) {
  struct Case { LONGLONG size; DWORD reported; };
  const Case cases[] = {
      {0, 0},
      {0xFFFFFFFELL, 0xFFFFFFFEu},
      {0xFFFFFFFFLL, 0xFFFFFFFFu},
      {0x100000000LL, 0},
      {0x100000000LL + 7, 0},
      {0x500000000LL, 0},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(MakeSparseFile(path_, "", c.size)) << c.size;
    HANDLE in = OpenForReadShared(path_.c_str());
    ASSERT_NE(in, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetSmallFileSize(in), c.reported) << c.size;
    CloseFile(in);
  }
  DeleteFileA(path_.c_str());
}

TEST_F(SupportFileTest, CreateForWriteTruncatesAnExistingFile) {
  ASSERT_TRUE(WriteWholeFile(path_, "old contents"));
  HANDLE out = CreateForWrite(path_.c_str());
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  CloseFile(out);
  EXPECT_EQ(ReadWholeFile(path_), "");
}

TEST_F(SupportFileTest, MissingFilesDoNotOpen) {
  std::string missing = JoinTestPath(dir_, "missing.tvx");
  EXPECT_EQ(FileExists(missing.c_str()), 0);
  EXPECT_EQ(OpenForRead(missing.c_str()), INVALID_HANDLE_VALUE);
  EXPECT_EQ(OpenForReadShared(missing.c_str()), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileExists(JoinTestPath(missing, "x").c_str()), 0);
}

TEST_F(SupportFileTest, WritingThroughAReadHandleCountsZero) {
  ASSERT_TRUE(WriteWholeFile(path_, "abc"));
  HANDLE in = OpenForRead(path_.c_str());
  ASSERT_NE(in, INVALID_HANDLE_VALUE);
  EXPECT_EQ(WriteBytes(in, "x", 1), 0u);
  CloseFile(in);
  EXPECT_EQ(ReadWholeFile(path_), "abc");
}

TEST_F(SupportFileTest, ReadSharedHandleLetsOthersWriteButNotRead) {
  ASSERT_TRUE(WriteWholeFile(path_, "abc"));
  HANDLE held = OpenForReadShared(path_.c_str());
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(OpenForReadShared(path_.c_str()), INVALID_HANDLE_VALUE);
  EXPECT_EQ(OpenForRead(path_.c_str()), INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateForWrite(path_.c_str()), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  // A writer that shares reading may open it.
  HANDLE writer = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE);
  if (writer != INVALID_HANDLE_VALUE) CloseFile(writer);
  CloseFile(held);
  EXPECT_EQ(ReadWholeFile(path_), "abc");
}

TEST_F(SupportFileTest, FileHeldByAnotherProcessCannotBeReadOrCreated) {
  ASSERT_TRUE(WriteWholeFile(path_, "[default]\r\n"));
  {
    OtherHolder other(path_);
    ASSERT_TRUE(other.holding());
    EXPECT_EQ(OpenForReadShared(path_.c_str()), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(CreateForWrite(path_.c_str()), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  }
  EXPECT_EQ(ReadWholeFile(path_), "[default]\r\n");  // not truncated
  HANDLE again = OpenForReadShared(path_.c_str());
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  if (again != INVALID_HANDLE_VALUE) CloseFile(again);
}

TEST_F(SupportFileTest, AnotherProcessCannotReadOrCreateAFileHeldHere) {
  ASSERT_TRUE(WriteWholeFile(path_, "[default]\r\n"));
  std::string probe = "probe \"" + path_ + "\"";
  HANDLE held = OpenForReadShared(path_.c_str());
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RunHoldFile(probe), 4 | 8);
  CloseFile(held);
  EXPECT_EQ(ReadWholeFile(path_), "[default]\r\n");
  EXPECT_EQ(RunHoldFile(probe), 1 | 2);  // free again (and now truncated by the probe)
}

TEST(SupportMemoryTest, BlockIsZeroFilledAndHeldUntilFreed) {
  char* holder = nullptr;
  ASSERT_EQ(AllocBlock(&holder, 10000), 1);
  ASSERT_NE(holder, nullptr);
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(holder[i], 0) << i;
  std::memset(holder, 'x', 10000);
  char* first = holder;
  EXPECT_EQ(AllocBlock(&holder, 10), 0);  // not empty: the old block stays
  EXPECT_EQ(holder, first);
  EXPECT_EQ(holder[9999], 'x');
  EXPECT_EQ(FreeBlock(&holder), 1);
  EXPECT_EQ(holder, nullptr);
  EXPECT_EQ(FreeBlock(&holder), 0);
}

TEST(SupportMemoryTest, ImpossibleSizeLeavesTheHolderEmpty) {
  void* holder = nullptr;
  EXPECT_EQ(AllocBlock(&holder, static_cast<size_t>(-1) - 4096), 0);
  EXPECT_EQ(holder, nullptr);
  EXPECT_EQ(FreeBlock(&holder), 0);
}

TEST(SupportFormatTest, TextThatFitsGivesItsLength) {
  char buffer[16];
  EXPECT_EQ(FormatText(buffer, sizeof buffer, "%s-%d", "ab", 42), 5);
  EXPECT_STREQ(buffer, "ab-42");
  EXPECT_EQ(FormatText(buffer, sizeof buffer, "%s", "123456789012345"), 15);
  EXPECT_STREQ(buffer, "123456789012345");
  EXPECT_EQ(FormatText(buffer, sizeof buffer, "%s", ""), 0);
  EXPECT_STREQ(buffer, "");
}

TEST(SupportFormatTest, TextThatDoesNotFitIsCutAndGivesMinusOne) {
  struct Case { const char* text; size_t size; const char* kept; };
  const Case cases[] = {
      {"abcdefghijklmnopqrst", 16, "abcdefghijklmno"},  // 20 into 16
      {"abcdefghijklmnop", 16, "abcdefghijklmno"},      // 16 into 16: no room for the zero
      {"ab", 1, ""},
      {"ab", 2, "a"},
  };
  for (const Case& c : cases) {
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(FormatText(buffer, c.size, "%s", c.text), -1) << c.text;
    EXPECT_STREQ(buffer, c.kept) << c.text;
    EXPECT_EQ(buffer[c.size], '#') << "wrote past the buffer for " << c.text;
  }
}

TEST(SupportFormatTest, UnsignedComparisonSeesOverflowToo) {
  char buffer[8];
  int result = FormatText(buffer, sizeof buffer, "%lu", 123456789UL);
  EXPECT_GT(static_cast<unsigned>(result), sizeof buffer - 1);
  result = FormatText(buffer, sizeof buffer, "%lu", 1234567UL);
  EXPECT_LE(static_cast<unsigned>(result), sizeof buffer - 1);
}

}  // namespace

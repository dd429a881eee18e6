// Batch files composed over a fake disk, compared byte for byte with the
// golden files in tests/data/batch.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "command_line_cases.h"
#include "fake_disk.h"
#include "run/batch_file.h"
#include "support/byte_buffer.h"
#include "test_env.h"

namespace {

// The one tree every case runs over.
void MakeTree() {
  g_fakeDisk = FakeDisk();
  for (const char* folder : {"C:\\d", "C:\\d\\img_dir.jpg", "C:\\p", "C:\\p\\a", "C:\\p\\a\\x",
                             "C:\\p\\b", "C:\\n", "C:\\w", "C:\\w\\R&D", "C:\\w\\50%",
                             "C:\\w\\my dir", "C:\\w\\a^b", "C:\\L"}) {
    FakeAdd(folder, 1);
  }
  for (const char* file : {"C:\\d\\img001.jpg", "C:\\d\\img002.jpg", "C:\\p\\a\\x\\1.jpg",
                           "C:\\p\\a\\2.jpg", "C:\\p\\a\\3.txt", "C:\\p\\b\\4.jpg",
                           "C:\\n\\R&D.txt", "C:\\n\\50%.txt", "C:\\n\\a^b.txt",
                           "C:\\n\\my file.txt", "C:\\n\\plain.txt", "C:\\w\\R&D\\f.txt",
                           "C:\\w\\50%\\f.txt", "C:\\w\\my dir\\f.txt", "C:\\w\\a^b\\f.txt",
                           "C:\\L\\a.jpg", "C:\\L\\bbbbbb.jpg"}) {
    FakeAdd(file, 0);
  }
}

struct BatchCase {
  const char* golden;  // file in tests/data/batch
  const char* program;
  const char* currentDirectory;
  std::vector<RowCase> rows;
  int pause;
  int result;
  int reserves = -1;  // blocks the walk may reserve
};

const std::string kLong250(250, 'x');
const std::string kLong245(245, 'y');

const std::vector<BatchCase>& Cases() {
  static const char* const cc = "D:\\BIN\\CC.EXE";
  static const std::vector<BatchCase> cases = {
      // The plain layouts: drive line, "cd " line, one command, pause.
      {"work_pause.bat", cc, "D:\\WORK", {{1, "", 0, "a.c"}}, 1, kBatchComplete},
      {"relative.bat", cc, "..\\SRC", {{1, "", 0, "a.c"}}, 0, kBatchComplete},
      {"blank_dir.bat", cc, "D:\\My Work", {{1, "", 0, "*/"}}, 0, kBatchComplete},
      {"drive_only.bat", cc, "D:", {}, 0, kBatchComplete},
      {"quoted_dir.bat", cc, "\"D:\\WORK\"", {{1, "", 0, "*/.log"}}, 0, kBatchComplete},
      {"empty.bat", cc, "", {}, 0, kBatchComplete},
      {"empty_pause.bat", cc, "", {}, 1, kBatchComplete},
      // File expansion with the placeholders; a matching folder yields nothing.
      {"placeholders.bat", cc, "", {{1, "", 0, "C:\\d\\img*.jpg"}, {2, "-t", 1, "C:\\t\\th_*1.*2"}},
       0, kBatchComplete},
      {"slash.bat", cc, "", {{1, "", 0, "C:\\d/img*.jpg"}}, 0, kBatchComplete},
      // Directory expansion with file expansion in each folder and "*/".
      {"walk_files.bat", "D:\\BIN\\CV.EXE", "C:\\p\\*",
       {{1, "", 0, "*.jpg"}, {2, "-o", 1, "C:\\out\\*/\\*.png"}}, 1, kBatchComplete},
      {"walk_aborted.bat", cc, "C:\\p\\*", {{1, "", 0, "*/"}}, 1, kBatchWalkAborted, 3},
      // Names found on disk: quoted on a blank, "&" or "^", '%' doubled;
      // typed text keeps its '%'.
      {"disk_names.bat", cc, "", {{1, "", 0, "C:\\n\\*.txt"}, {2, "%TAG%", 0, ""}}, 0,
       kBatchComplete},
      {"walk_names.bat", cc, "C:\\w\\*", {{1, "", 0, "*/"}, {2, "", 0, "*.txt"}}, 0,
       kBatchComplete},
      {"typed_names.bat", "C:\\R&D\\cc.exe", "C:\\100%", {{1, "", 0, "*/"}, {2, "", 0, "C:\\My Docs\\"}},
       0, kBatchComplete},
      // A command that does not fit ends the file with an error.
      {"too_long.bat", cc, "",
       {{1, "", 0, "C:\\L\\*.jpg"}, {2, kLong250.c_str(), 0, ""}, {3, kLong245.c_str(), 0, ""}}, 1,
       kBatchLineTooLong},
  };
  return cases;
}

BatchInput MakeInput(const BatchCase& c) {
  BatchInput input;
  std::memset(&input, 0, sizeof input);
  std::snprintf(input.programText, sizeof input.programText, "%s", c.program);
  std::snprintf(input.currentDirectory, sizeof input.currentDirectory, "%s", c.currentDirectory);
  for (const RowCase& given : c.rows) {
    ArgumentRow& row = input.rows.row[given.row - 1];
    std::snprintf(row.switchText, sizeof row.switchText, "%s", given.switchText);
    row.spaceOn = given.spaceOn;
    std::snprintf(row.fileText, sizeof row.fileText, "%s", given.fileText);
  }
  input.pauseAtEnd = c.pause;
  return input;
}

TEST(BatchFile, GoldenFiles) {
  for (const BatchCase& c : Cases()) {
    MakeTree();
    g_fakeDisk.reservesLeft = c.reserves;
    ByteBuffer out;
    const BatchSystem system = {&kFakeSearch, &kFakeWalk};
    EXPECT_EQ(ComposeBatchFile(MakeInput(c), system, &out), c.result) << c.golden;
    bool read = false;
    const std::string golden = ReadWholeFile(TestDataDir() + "/batch/" + c.golden, &read);
    EXPECT_TRUE(read) << c.golden;
    EXPECT_EQ(std::string(out.data, out.size), golden) << c.golden;
    EXPECT_TRUE(g_fakeDisk.blocks.empty()) << c.golden;
    EXPECT_EQ(g_expansion.search, kSearchNone) << c.golden;
    FreeByteBuffer(&out);
  }
}

}  // namespace

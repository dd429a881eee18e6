// The batch writer, with the parameter set and a fake disk (its folders and
// files named from the input) behind the file search and the directory walk.
// Every composition ends with a known result and gives back every walk
// block; when no text and no name holds a CR or an LF, the file is made of
// whole lines, each ended by CR LF.
#include <string>

#include "fake_disk.h"
#include "fuzz_input.h"
#include "run/batch_file.h"
#include "support/byte_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input{data, size};
  static ParameterSet batch;
  std::memset(&batch, 0, sizeof batch);
  input.TextInto(batch.programText, kRowTextSize);
  input.TextInto(batch.currentDirectory, kRowTextSize);
  bool lineBreaks = HoldsLineBreak(batch.programText) || HoldsLineBreak(batch.currentDirectory);
  for (ArgumentRow& row : batch.rows.row) {
    input.TextInto(row.switchText, kRowTextSize);
    row.spaceOn = input.Flag();
    input.TextInto(row.fileText, kRowTextSize);
    lineBreaks = lineBreaks || HoldsLineBreak(row.switchText) || HoldsLineBreak(row.fileText);
  }
  batch.pauseAtEnd = input.Flag();
  // The fake disk matches '*' by trying every split: a pattern of many is
  // the fake's cost, not the writer's.
  int stars = 0;
  for (const char* p = batch.currentDirectory; *p != '\0'; ++p) stars += *p == '*';
  for (const ArgumentRow& row : batch.rows.row) {
    for (const char* p = row.fileText; *p != '\0'; ++p) stars += *p == '*';
  }
  if (stars > 8) return 0;

  // The disk: paths below C:\, a folder when the path ends with "\".
  g_fakeDisk = FakeDisk();
  FakeAdd("C:\\p", 1);
  for (int i = 0; i < 48 && !input.Done(); ++i) {
    std::string path = input.Text(200);
    lineBreaks = lineBreaks || HoldsLineBreak(path);
    const bool folder = !path.empty() && path.back() == '\\';
    if (folder) path.pop_back();
    if (path.empty()) continue;
    const std::string shortName = input.Text(12);
    lineBreaks = lineBreaks || HoldsLineBreak(shortName);
    FakeAdd("C:\\p\\" + path, folder ? 1 : 0, shortName);
  }

  RunPlan plan{};
  FakePlan(batch, kPlanBatch, &plan);
  ByteBuffer out;
  const int result = PrintBatchFile(plan, &out);
  FreeRunPlan(&plan);
  FUZZ_CHECK(result >= kBatchComplete && result <= kBatchOutOfMemory);
  FUZZ_CHECK(g_fakeDisk.blocks.empty());
  if (!lineBreaks && result != kBatchOutOfMemory) {
    const std::string text(out.data != nullptr ? out.data : "", out.size);
    std::size_t start = 0;
    while (start < text.size()) {
      const std::size_t end = text.find("\r\n", start);
      FUZZ_CHECK(end != std::string::npos);
      FUZZ_CHECK(text.find_first_of("\r\n", start) == end);
      start = end + 2;
    }
  }
  FreeByteBuffer(&out);
  return 0;
}

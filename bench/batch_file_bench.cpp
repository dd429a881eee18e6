// The batch writer: 100,000 command lines from a file expansion over a fake
// search, next to a memchr-class copy of the same bytes line by line.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_summary.h"
#include "expand/directory_walk.h"
#include "expand/file_expansion.h"
#include "run/batch_file.h"
#include "run/plan.h"
#include "support/byte_buffer.h"

namespace {

constexpr int kLines = 100000;

// The names the fake search delivers, made once.
const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> made;
    char name[32];
    for (int i = 0; i < kLines; ++i) {
      std::snprintf(name, sizeof name, "img%06d.jpg", i);
      made.push_back(name);
    }
    return made;
  }();
  return names;
}

std::size_t g_next = 0;

int FindNext(void*, FoundEntry* entry) {
  if (g_next >= Names().size()) return 0;
  const std::string& name = Names()[g_next++];
  entry->attributes = 0x20;
  std::memcpy(entry->name, name.c_str(), name.size() + 1);
  entry->shortName[0] = '\0';
  return 1;
}

int FindFirst(void* self, const char*, FoundEntry* entry) {
  g_next = 0;
  return FindNext(self, entry);
}

const SearchSource kSearch = {FindFirst, FindNext, [](void*) {}, nullptr, nullptr};
const WalkPlatform kNoWalk = {};

// The batch file of `input`: its plan, printed.
int ComposeBatchFile(const ParameterSet& input, ByteBuffer* out) {
  const PlanPlatform platform = {&kSearch, &kNoWalk, "", "", nullptr, nullptr};
  RunPlan plan{};
  MakeRunPlan(input, kPlanBatch, platform, &plan);
  const int result = PrintBatchFile(plan, out);
  FreeRunPlan(&plan);
  return result;
}

ParameterSet MakeInput() {
  ParameterSet input;
  std::memset(&input, 0, sizeof input);
  std::snprintf(input.programText, sizeof input.programText, "D:\\BIN\\CC.EXE");
  std::snprintf(input.currentDirectory, sizeof input.currentDirectory, "D:\\WORK");
  std::snprintf(input.rows.row[0].fileText, kRowTextSize, "C:\\d\\img*.jpg");
  std::snprintf(input.rows.row[1].switchText, kRowTextSize, "-o");
  input.rows.row[1].spaceOn = 1;
  std::snprintf(input.rows.row[1].fileText, kRowTextSize, "C:\\out\\th_*1.png");
  input.pauseAtEnd = 1;
  return input;
}

// The batch file once, as the anchor's input.
const std::string& BatchBytes() {
  static const std::string bytes = [] {
    ByteBuffer out;
    ComposeBatchFile(MakeInput(), &out);
    std::string made(out.data, out.size);
    FreeByteBuffer(&out);
    return made;
  }();
  return bytes;
}

void WriteBatchFile(benchmark::State& state) {
  const ParameterSet input = MakeInput();
  std::size_t written = 0;
  for (auto _ : state) {
    ByteBuffer out;
    if (ComposeBatchFile(input, &out) != kBatchComplete) {
      state.SkipWithError("the batch file was not complete");
    }
    written = out.size;
    benchmark::DoNotOptimize(out.data);
    FreeByteBuffer(&out);
  }
  if (written != BatchBytes().size()) state.SkipWithError("the batch file changed");
}
TAVIX_BENCHMARK(WriteBatchFile);

// The anchor: the same bytes copied line by line into a growing buffer.
void CopyBatchLines(benchmark::State& state) {
  const std::string& bytes = BatchBytes();
  for (auto _ : state) {
    ByteBuffer out;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (const char* newline = static_cast<const char*>(std::memchr(p, '\n', end - p))) {
      AppendBytes(&out, p, static_cast<std::size_t>(newline + 1 - p));
      p = newline + 1;
    }
    benchmark::DoNotOptimize(out.data);
    FreeByteBuffer(&out);
  }
}
TAVIX_BENCHMARK(CopyBatchLines);

const int kBatchRow = AddBenchSummary(
    {"batch writer, 100,000 command lines from a fake search (CPU time)",
     "memchr line copy of the same bytes", kLines, "lines", 1e6, 0, 0, ">= 1,000,000 lines/s"},
    "WriteBatchFile", "CopyBatchLines", kCpuClock);

}  // namespace

// The parameter file's parser and writer over 10,000 sets that fill all 29
// keys with cp932 values, next to memchr splitting the same block into lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_summary.h"
#include "params/field_table.h"
#include "params/param_file.h"
#include "support/byte_buffer.h"

namespace {

constexpr int kSets = 10000;

// The file as the program writes it: every text field and flag filled.
const std::string& ParameterFileBytes() {
  static const std::string bytes = [] {
    std::string text;
    char value[128];
    for (int set = 0; set < kSets; ++set) {
      std::snprintf(value, sizeof value, "[設定%05d]\r\n", set);
      text += value;
      for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
        text += g_fieldTable[row].key;
        text += '=';
        if (g_fieldTable[row].kind == kTextField) {
          std::snprintf(value, sizeof value, "C:\\作業\\資料%05d\\ファイル%02d *.txt", set, row);
          text += value;
        } else {
          text += '1';
        }
        text += "\r\n";
      }
    }
    return text;
  }();
  return bytes;
}

void ParseParameterFile(benchmark::State& state) {
  const std::string& bytes = ParameterFileBytes();
  std::vector<char> block(bytes.size() + 1);
  for (auto _ : state) {
    state.PauseTiming();
    FreeStoredSets();
    std::memcpy(block.data(), bytes.data(), bytes.size() + 1);
    state.ResumeTiming();
    ParseParameterText(block.data(), bytes.size());
  }
  int sets = 0;
  for (const StoredSet* set = FirstStoredSet(); set != nullptr; set = set->next) ++sets;
  if (sets != kSets) state.SkipWithError("the parser lost sets");
  FreeStoredSets();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
TAVIX_BENCHMARK(ParseParameterFile);

void WriteParameterFile(benchmark::State& state) {
  const std::string& bytes = ParameterFileBytes();
  std::vector<char> block(bytes.begin(), bytes.end());
  block.push_back('\0');
  FreeStoredSets();
  ParseParameterText(block.data(), bytes.size());
  std::size_t written = 0;
  for (auto _ : state) {
    ByteBuffer out;
    BuildParameterFileText(&out, nullptr, nullptr, nullptr);
    written = out.size;
    benchmark::DoNotOptimize(out.data);
    FreeByteBuffer(&out);
  }
  FreeStoredSets();
  if (written != bytes.size()) state.SkipWithError("the writer changed the file");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
TAVIX_BENCHMARK(WriteParameterFile);

// The anchor: the lines of the same block found with memchr.
void MemchrLineSplit(benchmark::State& state) {
  const std::string& bytes = ParameterFileBytes();
  std::size_t lines = 0;
  for (auto _ : state) {
    lines = 0;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (const char* newline = static_cast<const char*>(std::memchr(p, '\n', end - p))) {
      ++lines;
      p = newline + 1;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
TAVIX_BENCHMARK(MemchrLineSplit);

double FileSize() { return static_cast<double>(ParameterFileBytes().size()); }

const int kParseRow = AddBenchSummary(
    {"parameter-file parse, 10,000 sets x 29 keys (CPU time)", "memchr line splitting", FileSize(), "B", 1.0,
     3.0, 0, ">= 1 GB/s and <= 3x the anchor"},
    "ParseParameterFile", "MemchrLineSplit", kCpuClock);
const int kWriteRow = AddBenchSummary(
    {"parameter-file write, the same sets (CPU time)", "memchr line splitting", FileSize(), "B", 1.0, 0, 0,
     ">= 1 GB/s"},
    "WriteParameterFile", "MemchrLineSplit", kCpuClock);

}  // namespace

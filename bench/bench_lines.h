// The lines the run list benchmark's commands write when their output is
// taken in, shared by the command and the benchmark that checks what the run
// list kept of them.
#pragma once

#include <cstdio>
#include <cstring>

// Bytes of one line, its CR LF included.
inline constexpr int kBenchLineBytes = 64;

// Line `number` of the command for `name`, to standard error when
// `toError`: "<name> out|err <number>" padded with dots, then CR LF.
inline void BenchLine(const char* name, long number, int toError, char* line) {
  const int length = std::snprintf(line, kBenchLineBytes + 1, "%.40s %s %08ld ", name,
                                   toError ? "err" : "out", number);
  std::memset(line + length, '.', static_cast<std::size_t>(kBenchLineBytes - 2 - length));
  line[kBenchLineBytes - 2] = '\r';
  line[kBenchLineBytes - 1] = '\n';
}

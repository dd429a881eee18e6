// The lines the run list benchmark's commands write when their output is
// taken in, shared by the command and the benchmark that checks what the run
// list kept of them.
#pragma once

#include <cstdio>
#include <cstring>

// Bytes of one line, its CR LF included. It does not divide the 256 KB a
// command keeps, so that the kept bytes start inside a line: inside one of
// its two-byte characters, which the output window must not show half of.
inline constexpr int kBenchLineBytes = 60;

// Line `number` of the command for `name`, to standard error when
// `toError`: "<name> out|err <number> ." then two-byte characters (・ in
// cp932) and a dot up to CR LF.
inline void BenchLine(const char* name, long number, int toError, char* line) {
  int length = std::snprintf(line, kBenchLineBytes + 1, "%.30s %s %08ld .", name, toError ? "err" : "out", number);
  while (length + 2 <= kBenchLineBytes - 3) {
    line[length++] = '\x81';
    line[length++] = '\x45';
  }
  while (length < kBenchLineBytes - 2) line[length++] = '.';
  line[kBenchLineBytes - 2] = '\r';
  line[kBenchLineBytes - 1] = '\n';
}

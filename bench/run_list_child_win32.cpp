// The command the run list benchmark runs: appends one line "<start> <end>"
// (performance counter ticks at the start and at the end of its work) to
// the file named by TAVIX_BENCH_TIMES. Its work: with TAVIX_BENCH_BUSY_MS
// set, it keeps a core busy for that many milliseconds of its own processor
// time; with TAVIX_BENCH_WRITE_MB, it writes that many megabytes to standard
// output; with TAVIX_BENCH_INTERLEAVE_MB, that many megabytes of BenchLine
// lines named after its argument, every other line to standard error;
// otherwise it ends at once.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench_lines.h"

namespace {

// Processor time of this process in milliseconds.
double ProcessorMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

// Writes `megabytes` to standard output in blocks of 64 KB.
void WriteMegabytes(long megabytes) {
  static char block[64 * 1024];
  std::memset(block, 'x', sizeof block);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  for (long i = 0; i < megabytes * 16; ++i) {
    DWORD written = 0;
    if (!WriteFile(out, block, sizeof block, &written, nullptr)) return;
  }
}

void WriteLines(const char* name, long megabytes) {
  const HANDLE streams[2] = {GetStdHandle(STD_OUTPUT_HANDLE), GetStdHandle(STD_ERROR_HANDLE)};
  const long lines = megabytes * 1024 * 1024 / kBenchLineBytes;
  for (long i = 0; i < lines; ++i) {
    char line[kBenchLineBytes + 1];
    BenchLine(name, i, static_cast<int>(i % 2), line);
    DWORD written = 0;
    if (!WriteFile(streams[i % 2], line, kBenchLineBytes, &written, nullptr)) return;
  }
}

}  // namespace

int main(int argc, char** argv) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  char text[64] = {};
  if (GetEnvironmentVariableA("TAVIX_BENCH_BUSY_MS", text, sizeof text) > 0) {
    const double busy = std::atof(text);
    const DWORD began = GetTickCount();
    // Spins on processor time, asking for it only every few milliseconds
    // (under Wine every question is a round trip to the wineserver, which
    // would take a core of its own); the wall clock only bounds a system
    // that does not count processor time.
    for (volatile unsigned spin = 0; ProcessorMs() < busy && GetTickCount() - began < 10 * busy;) {
      for (int i = 0; i < 2000000; ++i) spin = spin + 1;
    }
  }
  if (GetEnvironmentVariableA("TAVIX_BENCH_WRITE_MB", text, sizeof text) > 0) WriteMegabytes(std::atol(text));
  if (GetEnvironmentVariableA("TAVIX_BENCH_INTERLEAVE_MB", text, sizeof text) > 0 && argc > 1) {
    const char* name = std::strrchr(argv[argc - 1], '\\');
    WriteLines(name != nullptr ? name + 1 : argv[argc - 1], std::atol(text));
  }
  QueryPerformanceCounter(&end);
  char path[MAX_PATH] = {};
  if (GetEnvironmentVariableA("TAVIX_BENCH_TIMES", path, sizeof path) == 0) return 1;
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const int length = std::snprintf(text, sizeof text, "%lld %lld\n", static_cast<long long>(start.QuadPart),
                                   static_cast<long long>(end.QuadPart));
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
  return 0;
}

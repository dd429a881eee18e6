// The command the run list benchmark runs: appends one line "<start> <end>"
// (performance counter ticks at the start and at the end of its work) to
// the file named by TAVIX_BENCH_TIMES. With TAVIX_BENCH_BUSY_MS set, it
// keeps a core busy for that many milliseconds of its own processor time
// first; otherwise it ends at once.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

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

}  // namespace

int main() {
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

// Start-up to a visible main window, under Wine: tavix.exe next to a program
// that shows the same dialog template with no code behind it. Both are
// started in turn, many times; each start is timed from CreateProcess until
// a visible window of the new process exists, then the window is closed and
// the process awaited. The best start of each counts.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_row.h"
#include "wall_clock_win32.h"

namespace {

constexpr int kDefaultRounds = 15;
constexpr DWORD kWindowTimeoutMs = 30000;

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM context) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// Seconds from starting `exe` (in `dir`) to its first visible window; -1 on
// failure. The program is closed again before this returns.
double TimeStart(const std::string& exe, const std::string& dir) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + exe + "\"";
  const double start = Now();
  if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      dir.c_str(), &startup, &process)) {
    return -1;
  }
  WindowSearch search = {process.dwProcessId, nullptr};
  double seconds = -1;
  const DWORD begun = GetTickCount();
  while (GetTickCount() - begun < kWindowTimeoutMs) {
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
      seconds = Now() - start;
      break;
    }
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  if (search.found != nullptr) PostMessageA(search.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, kWindowTimeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    seconds = -1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return seconds;
}

std::string ExeDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  return dir.substr(0, dir.find_last_of('\\'));
}

}  // namespace

// startup_bench [rounds]
int main(int argc, char** argv) {
  const int rounds = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : kDefaultRounds;
  const std::string dir = ExeDir();
  const std::string program = dir + "\\tavix.exe";
  const std::string anchor = dir + "\\startup_anchor.exe";
  double best = 1e9;
  double bestAnchor = 1e9;
  for (int round = 0; round < rounds; ++round) {
    const double seconds = TimeStart(program, dir);
    const double anchorSeconds = TimeStart(anchor, dir);
    if (seconds < 0 || anchorSeconds < 0) {
      std::printf("start-up: a program did not show its window\n");
      return 1;
    }
    best = seconds < best ? seconds : best;
    bestAnchor = anchorSeconds < bestAnchor ? anchorSeconds : bestAnchor;
  }
  char what[96];
  std::snprintf(what, sizeof what, "start-up to a visible main window (wall clock, best of %d)",
                rounds);
  PrintBenchRow({what, "the main dialog template with no code behind it", 0, nullptr, 0, 1.1, 0,
                 "<= 1.1x"},
                best, bestAnchor);
  return 0;
}

// The run list under Wine, driven through tavix.exe's window as a user
// drives it, each figure next to its anchor measured in the same run:
//   - 200 commands that end at once, one at a time: the gap between one
//     command's end and the next one's start, against the same commands in
//     a batch file run by cmd;
//   - commands that each keep a core busy for 0.5 s: the wall time with
//     同時実行数 2 against 1;
//   - opening the run list over 20,000 matching files, against
//     `cmd /c dir /b` listing them;
//   - the same with a second file text that names every match, so that
//     each command's target is checked while the list is made, against a
//     second file text of the same length without a wildcard (nothing to
//     check);
//   - with the output taken in (取り込む): the gap of the first row again;
//     the gap of commands that each start a console program of their own
//     (cmd /c child.exe), and no window of another program meanwhile;
//     one command writing 100 MB to standard output, taken in at what rate
//     and for how much of the program's memory, against the same command
//     writing into a pipe this program empties; eight at a time writing 10 MB
//     each, every other line to standard error, the last 256 KB of each kept
//     byte for byte (shown from their first whole character: they start
//     inside one), against the same commands writing into pipes that this
//     program empties.
// The commands are run_list_child.exe, which notes when its work starts and
// ends; the gaps and wall times come from those notes; how it drives them is
// in run_list_driver_win32.h.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench_row.h"
#include "resource.h"
#include "run_list_driver_win32.h"
#include "wall_clock_win32.h"

namespace {

// Prints a row of the summary whose figure is not a time alone.
void PrintRow(const char* what, const char* figure, const char* anchor, const char* ratio,
              const char* target, bool met) {
  std::printf("row | %s | %s | anchor, %s | %s | target %s | %s\n", what, figure, anchor, ratio, target,
              met ? "met" : "NOT MET");
  std::fflush(stdout);
}

double Best(double best, double seconds) { return seconds >= 0 && (best < 0 || seconds < best) ? seconds : best; }

int Fail(const char* what) {
  std::printf("run list: %s\n", what);
  return 1;
}

}  // namespace

// With "gaps" as its argument, only the gap rows run.
int main(int argc, char** argv) {
  const bool gapsOnly = argc > 1 && std::strcmp(argv[1], "gaps") == 0;
  g_dir = ExeDir();
  g_child = g_dir + "\\run_list_child.exe";
  g_times = g_dir + "\\run_list_times.txt";
  SetEnvironmentVariableA("TAVIX_BENCH_TIMES", g_times.c_str());
  char what[160];

  // 1. Back to back.
  const std::string quick = MakeFiles("quick", kGapCommands);
  double gap = -1, batchGap = -1, takenGap = -1;
  {
    Tavix tavix;
    if (!StartTavix(&tavix)) return Fail("tavix.exe did not show its window");
    for (int round = 0; round < kRounds; ++round) {
      if (RunListPass(tavix, quick, kGapCommands, 1)) gap = Best(gap, MeanGap(kGapCommands));
      if (RunListPass(tavix, quick, kGapCommands, 1, kTakenIn)) takenGap = Best(takenGap, MeanGap(kGapCommands));
      batchGap = Best(batchGap, BatchGap(quick, kGapCommands));
    }
    CloseTavix(&tavix);
  }
  RemoveFiles(quick, kGapCommands);
  if (gap < 0 || batchGap < 0 || takenGap < 0) return Fail("the commands did not all run");
  std::snprintf(what, sizeof what,
                "run list, %d commands that end at once: gap from one's end to the next one's start "
                "(wall clock, mean, best of %d)", kGapCommands, kRounds);
  PrintBenchRow({what, "the same commands in a batch file run by cmd", 0, nullptr, 0, 1.0, 0, "<= 1.0x"},
                gap, batchGap);
  std::snprintf(what, sizeof what,
                "run list, 取り込む, %d console commands that end at once: gap from "
                "one's end to the next one's start (wall clock, mean, best of %d)", kGapCommands, kRounds);
  PrintBenchRow({what, "the same commands in a batch file run by cmd", 0, nullptr, 0, 1.0, 0, "<= 1.0x"},
                takenGap, batchGap);

  // 1b. Each command a cmd starting a console program of its own, taken in:
  // the gap, and no window of any other program while they run.
  const std::string chained = MakeFiles("chained", kGapCommands);
  double chainedGap = -1, chainedBatchGap = -1;
  WindowWatch watch = {0, 0, 0};
  {
    char shell[MAX_PATH] = {};
    GetSystemDirectoryA(shell, MAX_PATH);
    const std::string cmd = std::string(shell) + "\\cmd.exe";
    Tavix tavix;
    if (!StartTavix(&tavix)) return Fail("tavix.exe did not show its window");
    watch.tavix = tavix.process.dwProcessId;
    HANDLE watcher = CreateThread(nullptr, 0, WatchWindows, &watch, 0, nullptr);
    for (int round = 0; round < kRounds; ++round) {
      if (RunListPass(tavix, chained, kGapCommands, 1, kTakenIn, cmd, "/c " + g_child)) {
        chainedGap = Best(chainedGap, MeanGap(kGapCommands));
      }
    }
    InterlockedExchange(&watch.stop, 1);
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    CloseTavix(&tavix);
    for (int round = 0; round < kRounds; ++round) {
      chainedBatchGap = Best(chainedBatchGap, BatchGap(chained, kGapCommands, "cmd /c "));
    }
  }
  RemoveFiles(chained, kGapCommands);
  if (chainedGap < 0 || chainedBatchGap < 0) return Fail("the chained commands did not all run");
  {
    char figure[96], anchor[128], ratio[64];
    std::snprintf(figure, sizeof figure, "%.2f ms, %d windows of other programs seen", chainedGap * 1e3, watch.most);
    std::snprintf(anchor, sizeof anchor, "the same commands in a batch file run by cmd: %.2f ms", chainedBatchGap * 1e3);
    std::snprintf(ratio, sizeof ratio, "%.2fx the anchor's time", chainedGap / chainedBatchGap);
    std::snprintf(what, sizeof what,
                  "run list, 取り込む, %d commands each starting a console program of its own "
                  "(cmd /c child.exe): gap from one's end to the next one's start (wall clock, mean, best of %d)",
                  kGapCommands, kRounds);
    PrintRow(what, figure, anchor, ratio, "<= 1.2x, and no visible window created",
             chainedGap <= 1.2 * chainedBatchGap && watch.most == 0);
  }

  if (gapsOnly) return 0;

  // 2. Two at a time.
  const std::string busy = MakeFiles("busy", kBusyCommands);
  double two = -1, one = -1;
  {
    char ms[16];
    std::snprintf(ms, sizeof ms, "%d", kBusyMs);
    SetEnvironmentVariableA("TAVIX_BENCH_BUSY_MS", ms);
    Tavix tavix;
    if (!StartTavix(&tavix)) return Fail("tavix.exe did not show its window");
    SetEnvironmentVariableA("TAVIX_BENCH_BUSY_MS", nullptr);
    for (int round = 0; round < 2; ++round) {
      if (RunListPass(tavix, busy, kBusyCommands, 1)) one = Best(one, WallTime(kBusyCommands));
      if (RunListPass(tavix, busy, kBusyCommands, 2)) two = Best(two, WallTime(kBusyCommands));
    }
    CloseTavix(&tavix);
  }
  RemoveFiles(busy, kBusyCommands);
  if (one < 0 || two < 0) return Fail("the busy commands did not all run");
  std::snprintf(what, sizeof what,
                "run list, %d commands each busy for %d ms of processor time, parallel 2 "
                "(wall clock, best of 2)", kBusyCommands, kBusyMs);
  PrintBenchRow({what, "the same with parallel 1", 0, nullptr, 0, 0.6, 0, "<= 0.6x"}, two, one);

  // 3. Opening the list over many files; then with a second file text that
  // names every match itself (the in-place case: every command is marked),
  // against one of the same length that names no match.
  const std::string many = MakeFiles("many", kOpenFiles);
  const std::string targets[] = {"", many + "\\*.txt", many + "\\x00000.txt"};
  double open[3] = {-1, -1, -1}, listing = -1;
  {
    Tavix tavix;
    if (!StartTavix(&tavix)) return Fail("tavix.exe did not show its window");
    for (int round = 0; round < kRounds; ++round) {
      for (int kind = 0; kind < 3; ++kind) {
        const double start = Now();
        HWND list = OpenRunList(tavix, many, kOpenFiles, targets[kind]);
        if (list != nullptr) open[kind] = Best(open[kind], Now() - start);
        if (list != nullptr) CloseRunList(list);
      }
      listing = Best(listing, RunAndWait("cmd.exe /c dir /b \"" + many + "\\*.txt\" >nul"));
    }
    CloseTavix(&tavix);
  }
  RemoveFiles(many, kOpenFiles);
  if (open[0] < 0 || open[1] < 0 || open[2] < 0 || listing < 0) {
    return Fail("the run list did not open over all files");
  }
  std::snprintf(what, sizeof what, "run list, opening over %d matching files (wall clock, best of %d)",
                kOpenFiles, kRounds);
  PrintBenchRow({what, "cmd /c dir /b listing them", 0, nullptr, 0, 3.0, 0, "<= 3x"}, open[0], listing);
  std::snprintf(what, sizeof what,
                "run list, opening over %d matching files, a second file text naming each match "
                "(targets checked; wall clock, best of %d)", kOpenFiles, kRounds);
  PrintBenchRow({what, "the same with a second file text of that length naming no match", 0, nullptr, 0,
                 1.25, 0, "<= 1.25x"}, open[1], open[2]);

  // 4. 100 MB taken in.
  const std::string writer = MakeFiles("write", 1);
  double seconds = -1, anchorSeconds = -1, extra = -1;
  {
    char megabytes[16];
    std::snprintf(megabytes, sizeof megabytes, "%d", kWriteMegabytes);
    SetEnvironmentVariableA("TAVIX_BENCH_WRITE_MB", megabytes);
    Tavix tavix;
    if (!StartTavix(&tavix)) return Fail("tavix.exe did not show its window");
    for (int round = 0; round < 2; ++round) {
      HWND list = PrepareRunList(tavix, writer, 1, 1, kTakenIn);
      if (list == nullptr) return Fail("the run list did not open");
      MemorySampler sampler = {tavix.process.hProcess, 0, 0};
      const double before = PrivateBytes(tavix.process.hProcess);
      HANDLE thread = CreateThread(nullptr, 0, SampleMemory, &sampler, 0, nullptr);
      const bool finished = RunToEnd(list);
      InterlockedExchange(&sampler.stop, 1);
      WaitForSingleObject(thread, INFINITE);
      CloseHandle(thread);
      if (finished) seconds = Best(seconds, WallTime(1));
      if (finished) extra = std::max(extra, sampler.peak - before);
      CloseRunList(list);
      if (DrainDirectly(writer, 1)) anchorSeconds = Best(anchorSeconds, WallTime(1));
    }
    CloseTavix(&tavix);
    SetEnvironmentVariableA("TAVIX_BENCH_WRITE_MB", nullptr);
  }
  RemoveFiles(writer, 1);
  if (seconds <= 0 || anchorSeconds <= 0) return Fail("the writing command did not run");
  {
    const double bytes = kWriteMegabytes * 1024.0 * 1024.0;
    const double rate = bytes / seconds / 1e6, anchorRate = bytes / anchorSeconds / 1e6;
    const double allowed = kKeptBytes + 2 * 1024.0 * 1024.0;
    char figure[96], anchor[128], ratio[64];
    std::snprintf(figure, sizeof figure, "%.0f MB/s (%.2f s), memory +%.0f KB at most", rate, seconds, extra / 1024);
    std::snprintf(anchor, sizeof anchor, "the command writing into a pipe this program empties: %.0f MB/s", anchorRate);
    std::snprintf(ratio, sizeof ratio, "%.2fx the anchor's time", seconds / anchorSeconds);
    std::snprintf(what, sizeof what,
                  "run list, 取り込む, one command writing %d MB to standard output "
                  "(wall clock, best of 2; memory: the program's private memory over its level before)",
                  kWriteMegabytes);
    PrintRow(what, figure, anchor, ratio, ">= 100 MB/s and < 2 MB over the kept 256 KB",
             rate >= 100 && extra >= 0 && extra < allowed);
  }

  // 5. Eight at a time, 10 MB each, every other line to standard error.
  const std::string eight = MakeFiles("interleave", kInterleaveCommands);
  double together = -1, directTogether = -1;
  int matched = 0;
  {
    char megabytes[16];
    std::snprintf(megabytes, sizeof megabytes, "%d", kInterleaveMegabytes);
    SetEnvironmentVariableA("TAVIX_BENCH_INTERLEAVE_MB", megabytes);
    Tavix tavix;
    if (!StartTavix(&tavix)) return Fail("tavix.exe did not show its window");
    HWND list = PrepareRunList(tavix, eight, kInterleaveCommands, kInterleaveCommands, kTakenIn);
    if (list == nullptr || !RunToEnd(list)) return Fail("the interleaving commands did not run");
    together = WallTime(kInterleaveCommands);
    for (int row = 0; row < kInterleaveCommands; ++row) {
      wchar_t wide[MAX_PATH] = {};
      SendMessageW(GetDlgItem(list, IDC_RUNLIST_LIST), LB_GETTEXT, row, reinterpret_cast<LPARAM>(wide));
      const std::wstring text(wide);
      const std::wstring name = text.substr(text.rfind(L'\\') + 1);
      matched += KeptTheLastBytes(OutputOf(tavix, list, row), std::string(name.begin(), name.end()).c_str());
    }
    CloseRunList(list);
    CloseTavix(&tavix);
    if (DrainDirectly(eight, kInterleaveCommands)) directTogether = WallTime(kInterleaveCommands);
    SetEnvironmentVariableA("TAVIX_BENCH_INTERLEAVE_MB", nullptr);
  }
  RemoveFiles(eight, kInterleaveCommands);
  DeleteFileA(g_times.c_str());
  {
    char figure[96], anchor[128], ratio[64];
    std::snprintf(figure, sizeof figure, "%d of %d kept outputs are the last 256 KB (whole characters), in %.2f s", matched,
                  kInterleaveCommands, together);
    std::snprintf(anchor, sizeof anchor, "the same commands at once, each writing into a pipe this program "
                  "empties: %.2f s", directTogether);
    std::snprintf(ratio, sizeof ratio, "%.2fx the anchor's time", directTogether > 0 ? together / directTogether : 0);
    std::snprintf(what, sizeof what,
                  "run list, 取り込む, %d at a time, each writing %d MB, every other "
                  "line to standard error (wall clock)", kInterleaveCommands, kInterleaveMegabytes);
    PrintRow(what, figure, anchor, ratio,
             "every kept output is the last 256 KB written, byte for byte from its first whole character",
             matched == kInterleaveCommands);
  }
  return 0;
}

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
// ends; the gaps and wall times come from those notes.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "bench_lines.h"
#include "bench_row.h"
#include "resource.h"
#include "wall_clock_win32.h"

namespace {

constexpr int kGapCommands = 200;
constexpr int kBusyCommands = 6;
constexpr int kBusyMs = 500;
constexpr int kOpenFiles = 20000;
constexpr int kRounds = 3;
constexpr DWORD kTimeoutMs = 120000;
constexpr int kWriteMegabytes = 100;
constexpr int kInterleaveCommands = 8;
constexpr int kInterleaveMegabytes = 10;
constexpr long kKeptBytes = 256 * 1024;
constexpr int kTakenIn = 1;  // the item 取り込む of the output combo box

std::string g_dir;    // the benchmark's folder: tavix.exe and the child
std::string g_child;  // run_list_child.exe
std::string g_times;  // where the children note their times

std::string ExeDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  return dir.substr(0, dir.find_last_of('\\'));
}

// A folder holding `count` empty files f00000.txt, ...
std::string MakeFiles(const char* name, int count) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string dir = std::string(temp) + "tavix-bench-" + name;
  CreateDirectoryA(dir.c_str(), nullptr);
  for (int i = 0; i < count; ++i) {
    char file[32];
    std::snprintf(file, sizeof file, "\\f%05d.txt", i);
    CloseHandle(CreateFileA((dir + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  return dir;
}

void RemoveFiles(const std::string& dir, int count) {
  for (int i = 0; i < count; ++i) {
    char file[32];
    std::snprintf(file, sizeof file, "\\f%05d.txt", i);
    DeleteFileA((dir + file).c_str());
  }
  DeleteFileA((dir + "\\run.bat").c_str());
  RemoveDirectoryA(dir.c_str());
}

// The (start, end) notes of the children, in start order, in seconds.
std::vector<std::pair<double, double>> ReadTimes() {
  std::vector<std::pair<double, double>> times;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  const double perSecond = static_cast<double>(frequency.QuadPart);
  if (std::FILE* in = std::fopen(g_times.c_str(), "rb")) {
    long long start = 0, end = 0;
    while (std::fscanf(in, "%lld %lld", &start, &end) == 2) times.emplace_back(start / perSecond, end / perSecond);
    std::fclose(in);
  }
  std::sort(times.begin(), times.end());
  return times;
}

// Mean gap from one command's end to the next one's start; -1 when not all ran.
double MeanGap(int expected) {
  const auto times = ReadTimes();
  if (static_cast<int>(times.size()) != expected || expected < 2) return -1;
  double sum = 0;
  for (std::size_t i = 1; i < times.size(); ++i) sum += times[i].first - times[i - 1].second;
  return sum / (times.size() - 1);
}

// From the first start to the last end; -1 when not all ran.
double WallTime(int expected) {
  const auto times = ReadTimes();
  if (static_cast<int>(times.size()) != expected) return -1;
  double last = 0;
  for (const auto& t : times) last = std::max(last, t.second);
  return last - times.front().first;
}

// Runs `commandLine` and waits for its end; the seconds it took, -1 on failure.
double RunAndWait(std::string commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const double start = Now();
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  const bool ended = WaitForSingleObject(process.hProcess, kTimeoutMs) == WAIT_OBJECT_0;
  const double seconds = Now() - start;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended ? seconds : -1;
}

// ---- tavix.exe driven from outside ----

struct DialogSearch {
  DWORD processId;
  const char* title;  // null: any visible dialog
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM context) {
  DialogSearch* search = reinterpret_cast<DialogSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char text[MAX_PATH] = {};
  GetClassNameA(window, text, sizeof text);
  if (owner != search->processId || lstrcmpA(text, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  GetWindowTextA(window, text, sizeof text);
  if (search->title != nullptr && lstrcmpA(text, search->title) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

HWND WaitForDialog(DWORD processId, const char* title) {
  DialogSearch search = {processId, title, nullptr};
  const DWORD begun = GetTickCount();
  while (search.found == nullptr && GetTickCount() - begun < kTimeoutMs) {
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) Sleep(2);
  }
  return search.found;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

struct Tavix {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
};

// Starts tavix.exe (its children inherit this program's environment).
bool StartTavix(Tavix* tavix) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string exe = g_dir + "\\tavix.exe";
  std::string line = "\"" + exe + "\"";
  if (!CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, g_dir.c_str(),
                      &startup, &tavix->process)) {
    return false;
  }
  tavix->window = WaitForDialog(tavix->process.dwProcessId, nullptr);
  return tavix->window != nullptr;
}

void CloseTavix(Tavix* tavix) {
  if (tavix->window != nullptr) PostMessageA(tavix->window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(tavix->process.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(tavix->process.hProcess, 1);
  }
  CloseHandle(tavix->process.hThread);
  CloseHandle(tavix->process.hProcess);
}

// Fills the window for run_list_child over `dir`\*.txt, with `target` as
// the second file text, and presses Run; the run list once it shows all
// `count` files.
HWND OpenRunList(const Tavix& tavix, const std::string& dir, int count, const std::string& target = "",
                 const std::string& program = g_child, const std::string& switchText = "") {
  const std::string pattern = dir + "\\*.txt";
  Send(GetDlgItem(tavix.window, IDC_EXEPATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(program.c_str()));
  Send(GetDlgItem(tavix.window, IDC_ARG1_SWITCH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(switchText.c_str()));
  // A blank between the switch text and the file text, as a user sets it.
  Send(GetDlgItem(tavix.window, IDC_ARG1_SPACE), BM_SETCHECK, switchText.empty() ? BST_UNCHECKED : BST_CHECKED, 0);
  Send(GetDlgItem(tavix.window, IDC_CURPATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dir.c_str()));
  Send(GetDlgItem(tavix.window, IDC_ARG1_FILE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pattern.c_str()));
  Send(GetDlgItem(tavix.window, IDC_ARG2_FILE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
  PostMessageA(GetDlgItem(tavix.window, IDC_RUN), BM_CLICK, 0, 0);
  HWND list = WaitForDialog(tavix.process.dwProcessId, program.c_str());
  if (list == nullptr) return nullptr;
  return Send(GetDlgItem(list, IDC_RUNLIST_LIST), LB_GETCOUNT, 0, 0) == count ? list : nullptr;
}

void CloseRunList(HWND list) {
  Send(list, WM_COMMAND, IDCANCEL, 0);
  while (IsWindow(list)) Sleep(5);
}

void Choose(HWND list, int id, int item) {
  HWND combo = GetDlgItem(list, id);
  Send(combo, CB_SETCURSEL, item, 0);
  Send(list, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// The list opened over `dir` with `parallel` at once and the output item
// `output`, ready to start; null when it did not open.
HWND PrepareRunList(const Tavix& tavix, const std::string& dir, int count, int parallel, int output,
                    const std::string& program = g_child, const std::string& switchText = "") {
  DeleteFileA(g_times.c_str());
  HWND list = OpenRunList(tavix, dir, count, "", program, switchText);
  if (list == nullptr) return nullptr;
  Choose(list, IDC_RUNLIST_PARALLEL, parallel - 1);
  Choose(list, IDC_RUNLIST_OUTPUT, output);
  return list;
}

// Starts the list and waits for its end; false when it did not run to its end.
bool RunToEnd(HWND list) {
  Send(GetDlgItem(list, IDC_RUNLIST_START), BM_CLICK, 0, 0);
  const DWORD begun = GetTickCount();
  HWND exit = GetDlgItem(list, IDC_RUNLIST_EXIT);
  while (!IsWindowEnabled(exit) && GetTickCount() - begun < kTimeoutMs) Sleep(10);
  return IsWindowEnabled(exit);
}

// One pass of the run list over `dir` with `parallel` at once; false when it
// did not run to its end.
bool RunListPass(const Tavix& tavix, const std::string& dir, int count, int parallel, int output = 0,
                 const std::string& program = g_child, const std::string& switchText = "") {
  HWND list = PrepareRunList(tavix, dir, count, parallel, output, program, switchText);
  if (list == nullptr) return false;
  const bool finished = RunToEnd(list);
  CloseRunList(list);
  return finished;
}

// ---- Output taken in ----

// Committed private memory of a process.
double PrivateBytes(HANDLE process) {
  double sum = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (char* at = nullptr; VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) sum += static_cast<double>(region.RegionSize);
    char* next = static_cast<char*>(region.BaseAddress) + region.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return sum;
}

// The most private memory the process held while sampled.
struct MemorySampler {
  HANDLE process;
  volatile LONG stop;
  double peak;
};

DWORD WINAPI SampleMemory(void* data) {
  MemorySampler* sampler = static_cast<MemorySampler*>(data);
  while (!sampler->stop) {
    sampler->peak = std::max(sampler->peak, PrivateBytes(sampler->process));
    Sleep(5);
  }
  return 0;
}

// A started command writing into a pipe that this program empties.
struct DirectCommand {
  HANDLE process;
  HANDLE readEnd;
};

DWORD WINAPI Empty(void* data) {
  static thread_local char buffer[64 * 1024];
  HANDLE readEnd = static_cast<DirectCommand*>(data)->readEnd;
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
  }
  return 0;
}

// The anchor of the rows that take output in: the commands for files
// f00000.txt, ... in `dir`, all at once, each writing into a pipe that a
// thread of this program empties; false when one did not run.
bool DrainDirectly(const std::string& dir, int count) {
  DeleteFileA(g_times.c_str());
  std::vector<DirectCommand> commands(static_cast<std::size_t>(count));
  std::vector<HANDLE> threads;
  bool ok = true;
  for (DirectCommand& command : commands) {
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE writeEnd = nullptr;
    command = DirectCommand{nullptr, nullptr};
    if (!CreatePipe(&command.readEnd, &writeEnd, &inherited, 64 * 1024)) return false;
    SetHandleInformation(command.readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    char file[32];
    std::snprintf(file, sizeof file, "\\f%05d.txt", static_cast<int>(&command - commands.data()));
    std::string line = g_child + " " + dir + file;
    ok = ok && CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                              &startup, &process);
    CloseHandle(writeEnd);
    CloseHandle(process.hThread);
    command.process = process.hProcess;
    threads.push_back(CreateThread(nullptr, 0, Empty, &command, 0, nullptr));
  }
  for (std::size_t i = 0; i < commands.size(); ++i) {
    ok = ok && WaitForSingleObject(threads[i], kTimeoutMs) == WAIT_OBJECT_0;
    WaitForSingleObject(commands[i].process, kTimeoutMs);
    CloseHandle(threads[i]);
    CloseHandle(commands[i].readEnd);
    if (commands[i].process != nullptr) CloseHandle(commands[i].process);
  }
  return ok;
}

// The text of the output window of `row`, opened with Enter on the row.
std::string OutputOf(const Tavix& tavix, HWND list, int row) {
  HWND box = GetDlgItem(list, IDC_RUNLIST_LIST);
  Send(box, LB_SETCARETINDEX, row, FALSE);
  PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
  char title[32];
  std::snprintf(title, sizeof title, "\x8f\x6f\x97\xcd - %d", row + 1);  // 出力 in cp932
  HWND window = WaitForDialog(tavix.process.dwProcessId, title);
  if (window == nullptr) return std::string();
  HWND edit = GetDlgItem(window, IDC_OUTPUT_TEXT);
  const LRESULT length = Send(edit, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  Send(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(std::strlen(text.c_str()));
  return text;
}

// 1 when `shown` is what the output window is to show of the command for
// `name`: a first line naming the bytes left out, then the last 256 KB it
// wrote from their first byte below 0x40 on, byte for byte (the oldest kept
// byte may be the second of a two-byte character, and no character shows
// in half). 0 as well when the kept bytes do not start inside a character,
// where this would not check that.
int KeptTheLastBytes(const std::string& shown, const char* name) {
  const long lines = kInterleaveMegabytes * 1024L * 1024 / kBenchLineBytes;
  const long written = lines * kBenchLineBytes;
  const long firstKept = written - static_cast<long>(kKeptBytes);
  std::string tail;  // from the start of the line the kept bytes start in
  for (long i = firstKept / kBenchLineBytes; i < lines; ++i) {
    char line[kBenchLineBytes + 1];
    BenchLine(name, i, static_cast<int>(i % 2), line);
    tail.append(line, kBenchLineBytes);
  }
  const std::size_t cut = static_cast<std::size_t>(firstKept % kBenchLineBytes);
  std::size_t at = 0;
  while (at < cut) {
    const unsigned char byte = static_cast<unsigned char>(tail[at]);
    at += (byte >= 0x81 && byte <= 0x9f) || (byte >= 0xe0 && byte <= 0xfc) ? 2 : 1;
  }
  if (at == cut) return 0;
  std::size_t from = cut;
  while (from < tail.size() && static_cast<unsigned char>(tail[from]) >= 0x40) ++from;
  const std::size_t firstLine = shown.find("\r\n");
  const std::string leftOut = " " + std::to_string(written - static_cast<long>(tail.size() - from)) + " ";
  return firstLine != std::string::npos && shown.substr(0, firstLine).find(leftOut) != std::string::npos &&
         shown.compare(firstLine + 2, std::string::npos, tail, from, std::string::npos) == 0;
}

// Prints a row of the summary whose figure is not a time alone.
void PrintRow(const char* what, const char* figure, const char* anchor, const char* ratio,
              const char* target, bool met) {
  std::printf("row | %s | %s | anchor, %s | %s | target %s | %s\n", what, figure, anchor, ratio, target,
              met ? "met" : "NOT MET");
  std::fflush(stdout);
}

// The same commands in a batch file run by cmd.
double BatchGap(const std::string& dir, int count, const std::string& prefix = "") {
  const std::string batch = dir + "\\run.bat";
  std::string text = "@echo off\r\n";
  for (int i = 0; i < count; ++i) {
    char file[32];
    std::snprintf(file, sizeof file, "\\f%05d.txt", i);
    text += prefix + g_child + " " + dir + file + "\r\n";  // as the run list starts them
  }
  HANDLE out = CreateFileA(batch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(out);
  DeleteFileA(g_times.c_str());
  if (RunAndWait("cmd.exe /c \"" + batch + "\"") < 0) return -1;
  return MeanGap(count);
}

// The most visible top-level windows of other programs than this one and
// tavix.exe seen while it watches.
struct WindowWatch {
  DWORD tavix;
  volatile LONG stop;
  int most;
};

BOOL CALLBACK CountForeign(HWND window, LPARAM context) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  WindowWatch* watch = reinterpret_cast<WindowWatch*>(context);
  if (IsWindowVisible(window) && owner != watch->tavix && owner != GetCurrentProcessId()) ++watch->most;
  return TRUE;
}

DWORD WINAPI WatchWindows(void* data) {
  WindowWatch* watch = static_cast<WindowWatch*>(data);
  while (!watch->stop) {
    WindowWatch now = {watch->tavix, 0, 0};
    EnumWindows(CountForeign, reinterpret_cast<LPARAM>(&now));
    watch->most = std::max(watch->most, now.most);
    Sleep(5);
  }
  return 0;
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

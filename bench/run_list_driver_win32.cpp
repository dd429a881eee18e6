// The helpers the run list benchmark drives tavix.exe and its anchors with.
#include "run_list_driver_win32.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "bench_lines.h"
#include "resource.h"
#include "wall_clock_win32.h"

std::string g_dir;    // the benchmark's folder: tavix.exe and the child
std::string g_child;  // run_list_child.exe
std::string g_times;  // where the children note their times

namespace {

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

void Choose(HWND list, int id, int item) {
  HWND combo = GetDlgItem(list, id);
  Send(combo, CB_SETCURSEL, item, 0);
  Send(list, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
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

BOOL CALLBACK CountForeign(HWND window, LPARAM context) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  WindowWatch* watch = reinterpret_cast<WindowWatch*>(context);
  if (IsWindowVisible(window) && owner != watch->tavix && owner != GetCurrentProcessId()) ++watch->most;
  return TRUE;
}

}  // namespace

std::string ExeDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  return dir.substr(0, dir.find_last_of('\\'));
}

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

double MeanGap(int expected) {
  const auto times = ReadTimes();
  if (static_cast<int>(times.size()) != expected || expected < 2) return -1;
  double sum = 0;
  for (std::size_t i = 1; i < times.size(); ++i) sum += times[i].first - times[i - 1].second;
  return sum / (times.size() - 1);
}

double WallTime(int expected) {
  const auto times = ReadTimes();
  if (static_cast<int>(times.size()) != expected) return -1;
  double last = 0;
  for (const auto& t : times) last = std::max(last, t.second);
  return last - times.front().first;
}

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

HWND OpenRunList(const Tavix& tavix, const std::string& dir, int count, const std::string& target,
                 const std::string& program, const std::string& switchText) {
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

HWND PrepareRunList(const Tavix& tavix, const std::string& dir, int count, int parallel, int output,
                    const std::string& program, const std::string& switchText) {
  DeleteFileA(g_times.c_str());
  HWND list = OpenRunList(tavix, dir, count, "", program, switchText);
  if (list == nullptr) return nullptr;
  Choose(list, IDC_RUNLIST_PARALLEL, parallel - 1);
  Choose(list, IDC_RUNLIST_OUTPUT, output);
  return list;
}

bool RunToEnd(HWND list) {
  Send(GetDlgItem(list, IDC_RUNLIST_START), BM_CLICK, 0, 0);
  const DWORD begun = GetTickCount();
  HWND exit = GetDlgItem(list, IDC_RUNLIST_EXIT);
  while (!IsWindowEnabled(exit) && GetTickCount() - begun < kTimeoutMs) Sleep(10);
  return IsWindowEnabled(exit);
}

bool RunListPass(const Tavix& tavix, const std::string& dir, int count, int parallel, int output,
                 const std::string& program, const std::string& switchText) {
  HWND list = PrepareRunList(tavix, dir, count, parallel, output, program, switchText);
  if (list == nullptr) return false;
  const bool finished = RunToEnd(list);
  CloseRunList(list);
  return finished;
}

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

DWORD WINAPI SampleMemory(void* data) {
  MemorySampler* sampler = static_cast<MemorySampler*>(data);
  while (!sampler->stop) {
    sampler->peak = std::max(sampler->peak, PrivateBytes(sampler->process));
    Sleep(5);
  }
  return 0;
}

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

double BatchGap(const std::string& dir, int count, const std::string& prefix) {
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

// What the run list benchmark drives tavix.exe and its anchors with: the
// files the commands are made for, the children's notes of their times,
// tavix.exe's window and run list worked from outside as a user works them,
// the memory of a process sampled, the commands run with a pipe this program
// empties, and the output window read back.
#pragma once

#include <windows.h>

#include <string>

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

extern std::string g_dir;    // the benchmark's folder: tavix.exe and the child
extern std::string g_child;  // run_list_child.exe
extern std::string g_times;  // where the children note their times

// The folder of this program.
std::string ExeDir();

// A folder holding `count` empty files f00000.txt, ...
std::string MakeFiles(const char* name, int count);

// Removes what MakeFiles made, and the batch file BatchGap wrote there.
void RemoveFiles(const std::string& dir, int count);

// Mean gap from one command's end to the next one's start; -1 when not all ran.
double MeanGap(int expected);

// From the first start to the last end; -1 when not all ran.
double WallTime(int expected);

// Runs `commandLine` and waits for its end; the seconds it took, -1 on failure.
double RunAndWait(std::string commandLine);

// ---- tavix.exe driven from outside ----

struct Tavix {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
};

// Starts tavix.exe (its children inherit this program's environment).
bool StartTavix(Tavix* tavix);

void CloseTavix(Tavix* tavix);

// Fills the window for run_list_child over `dir`\*.txt, with `target` as
// the second file text, and presses Run; the run list once it shows all
// `count` files.
HWND OpenRunList(const Tavix& tavix, const std::string& dir, int count, const std::string& target = "",
                 const std::string& program = g_child, const std::string& switchText = "");

void CloseRunList(HWND list);

// The list opened over `dir` with `parallel` at once and the output item
// `output`, ready to start; null when it did not open.
HWND PrepareRunList(const Tavix& tavix, const std::string& dir, int count, int parallel, int output,
                    const std::string& program = g_child, const std::string& switchText = "");

// Starts the list and waits for its end; false when it did not run to its end.
bool RunToEnd(HWND list);

// One pass of the run list over `dir` with `parallel` at once; false when it
// did not run to its end.
bool RunListPass(const Tavix& tavix, const std::string& dir, int count, int parallel, int output = 0,
                 const std::string& program = g_child, const std::string& switchText = "");

// ---- Output taken in ----

// Committed private memory of a process.
double PrivateBytes(HANDLE process);

// The most private memory the process held while sampled.
struct MemorySampler {
  HANDLE process;
  volatile LONG stop;
  double peak;
};

// The thread that samples until `stop` is set; its data is a MemorySampler.
DWORD WINAPI SampleMemory(void* data);

// The anchor of the rows that take output in: the commands for files
// f00000.txt, ... in `dir`, all at once, each writing into a pipe that a
// thread of this program empties; false when one did not run.
bool DrainDirectly(const std::string& dir, int count);

// The text of the output window of `row`, opened with Enter on the row.
std::string OutputOf(const Tavix& tavix, HWND list, int row);

// 1 when `shown` is what the output window is to show of the command for
// `name`: a first line naming the bytes left out, then the last 256 KB it
// wrote from their first byte below 0x40 on, byte for byte (the oldest kept
// byte may be the second of a two-byte character, and no character shows
// in half). 0 as well when the kept bytes do not start inside a character,
// where this would not check that.
int KeptTheLastBytes(const std::string& shown, const char* name);

// The same commands in a batch file run by cmd.
double BatchGap(const std::string& dir, int count, const std::string& prefix = "");

// The most visible top-level windows of other programs than this one and
// tavix.exe seen while it watches.
struct WindowWatch {
  DWORD tavix;
  volatile LONG stop;
  int most;
};

// The thread that watches until `stop` is set; its data is a WindowWatch.
DWORD WINAPI WatchWindows(void* data);

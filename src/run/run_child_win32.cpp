#include "run/run_child_win32.h"

#include <cstdlib>

#include "run/launch.h"
#include "run/launch_flags.h"
#include "run/launch_win32.h"
#include "run/run_child.h"
#include "run/shared_console_win32.h"
#include "support/format_text.h"
#include "support/memory_win32.h"
#include "support/message_box_win32.h"

namespace {

// The pipe's buffer and one read.
constexpr DWORD kPipeBytes = 64 * 1024;

// The read end of one child's pipe, owned by the reader thread once started.
struct PipeReader {
  OVERLAPPED read;
  HANDLE pipe;
  OutputSink* sink;  // null once its run list has closed: bytes are dropped
  int output;
  int reading;  // a read is under way
  int closing;  // every writer has closed the pipe: freed once no read is under way
  PipeReader* next;
  char buffer[kPipeBytes];
};

// The program's reader thread and its completion port.
HANDLE g_port = nullptr;
HANDLE g_thread = nullptr;
// Packets posted to the port, told apart by the address of these: a pipe
// to read, a run list that closes, a count of the open pipes. The reader
// answers the last two through g_answered.
OVERLAPPED g_startPacket, g_detachPacket, g_countPacket;
HANDLE g_answered = nullptr;
int g_counted = 0;

CRITICAL_SECTION g_outputLock;
int g_outputLockMade = 0;

void CloseIfSet(HANDLE handle) {
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}

void Read(PipeReader* reader) {
  reader->read = OVERLAPPED{};
  if (ReadFile(reader->pipe, reader->buffer, kPipeBytes, nullptr, &reader->read) ||
      GetLastError() == ERROR_IO_PENDING) {
    reader->reading = 1;  // its completion comes through the port either way
  } else {
    reader->closing = 1;  // every writer has closed the pipe
  }
}

void Take(PipeReader* reader, DWORD got) {
  OutputSink* sink = reader->sink;
  if (got == 0 || sink == nullptr) return;
  TakeOutput(sink->store, reader->output, reader->buffer, got);
  if (InterlockedExchange(&sink->pending, 1) == 0) PostMessageA(sink->notify, sink->message, 0, 0);
}

// The pipes something can still write to.
int CountOpen(const PipeReader* active) {
  int open = 0;
  for (const PipeReader* reader = active; reader != nullptr; reader = reader->next) {
    DWORD waiting = 0;
    open += !reader->closing && PeekNamedPipe(reader->pipe, nullptr, 0, nullptr, &waiting, nullptr);
  }
  return open;
}

// Reads every pipe until no writer is left, for as long as the program runs.
DWORD WINAPI ReadOutputs(void*) {
  PipeReader* active = nullptr;
  for (;;) {
    DWORD got = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* packet = nullptr;
    const BOOL read = GetQueuedCompletionStatus(g_port, &got, &key, &packet, INFINITE);
    if (packet == nullptr) break;  // the port is gone
    if (packet == &g_detachPacket || packet == &g_countPacket) {
      for (PipeReader* reader = active; reader != nullptr; reader = reader->next) {
        if (packet == &g_detachPacket && reader->sink == reinterpret_cast<OutputSink*>(key)) reader->sink = nullptr;
      }
      g_counted = CountOpen(active);
      SetEvent(g_answered);
      continue;
    }
    PipeReader* reader = reinterpret_cast<PipeReader*>(key);
    if (packet == &g_startPacket) {
      reader->next = active;
      active = reader;
      Read(reader);
    } else {
      reader->reading = 0;
      Take(reader, got);
      if (!read) reader->closing = 1;
      if (!reader->closing) Read(reader);
    }
    // Frees the readers that are done with.
    for (PipeReader** at = &active; *at != nullptr;) {
      PipeReader* done = *at;
      if (done->closing && !done->reading) {
        *at = done->next;
        CloseHandle(done->pipe);
        FreeBlock(&done);
      } else {
        at = &done->next;
      }
    }
  }
  return 0;
}

// Posts `packet` to the reader and waits for its answer; 0 without a reader.
int AskReader(OVERLAPPED* packet, ULONG_PTR key) {
  if (g_thread == nullptr || !PostQueuedCompletionStatus(g_port, 0, key, packet)) return 0;
  WaitForSingleObject(g_answered, INFINITE);
  return 1;
}

// A pipe whose read end allows overlapped reads (an anonymous pipe does not),
// its write end inheritable.
int MakeOutputPipe(HANDLE* readEnd, HANDLE* writeEnd) {
  static LONG made = 0;
  char name[64];
  FormatText(name, sizeof name, "\\\\.\\pipe\\tavix-output-%lu-%ld",
             static_cast<unsigned long>(GetCurrentProcessId()), InterlockedIncrement(&made));
  *readEnd = CreateNamedPipeA(name, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                              PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, kPipeBytes, 0, nullptr);
  if (*readEnd == INVALID_HANDLE_VALUE) return 0;
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  *writeEnd = CreateFileA(name, GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, &inherited, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  if (*writeEnd != INVALID_HANDLE_VALUE) return 1;
  CloseHandle(*readEnd);
  return 0;
}

// Hands the read end of a started child's pipe to the reader thread.
PipeReader* StartReading(HANDLE pipe, OutputSink* sink, int output) {
  PipeReader* reader = nullptr;
  if (g_port == nullptr || !AllocBlock(&reader, sizeof(PipeReader))) return nullptr;
  reader->pipe = pipe;
  reader->sink = sink;
  reader->output = output;
  if (CreateIoCompletionPort(pipe, g_port, reinterpret_cast<ULONG_PTR>(reader), 0) == nullptr ||
      !PostQueuedCompletionStatus(g_port, 0, reinterpret_cast<ULONG_PTR>(reader), &g_startPacket)) {
    FreeBlock(&reader);
    return nullptr;
  }
  return reader;
}

// 1 when a command is to leave the job the program runs in (where jobs do
// not nest, and the outer job allows it).
int LeaveOuterJob() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version) || JobsNest(version.dwMajorVersion, version.dwMinorVersion)) return 0;
  BOOL inJob = FALSE;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION outer{};
  return IsProcessInJob(GetCurrentProcess(), nullptr, &inJob) && inJob &&
         QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &outer, sizeof outer, nullptr) &&
         BreakAwayFromOuterJob(0, inJob, outer.BasicLimitInformation.LimitFlags);
}

}  // namespace

struct ListedChild {
  HANDLE process;
  HANDLE job;          // null when the process could not join one
  PipeReader* reader;  // null in a console of its own
  OutputSink* sink;    // where its output goes while its list is open
  int output;          // its output in the sink's store, -1 for none
  DWORD jobClass;      // the priority class its job carries, 0 for none
};

namespace {

// The job carries the class JobPriorityClass gives for `priorityClass`, so
// that every process of the command has it; where it cannot, the class
// reaches the command's own process only (the caller gave it that), and its
// output says so.
void ApplyJobPriority(ListedChild* child, DWORD priorityClass) {
  const DWORD wanted = JobPriorityClass(priorityClass);
  if (wanted == child->jobClass) return;
  JOBOBJECT_BASIC_LIMIT_INFORMATION limits{};
  limits.LimitFlags = wanted != 0 ? JOB_OBJECT_LIMIT_PRIORITY_CLASS : 0;
  limits.PriorityClass = wanted;
  if (child->job != nullptr &&
      SetInformationJobObject(child->job, JobObjectBasicLimitInformation, &limits, sizeof limits)) {
    child->jobClass = wanted;
  } else if (wanted != 0 && child->output >= 0 && child->sink != nullptr) {
    NoteOutput(child->sink->store, child->output, kNotePriorityAlone);
  }
}

}  // namespace

int StartOutputReader() {
  if (g_thread != nullptr) return 1;
  if (g_answered == nullptr) g_answered = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (g_port == nullptr) g_port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
  if (g_port == nullptr || g_answered == nullptr) return 0;
  g_thread = CreateThread(nullptr, 64 * 1024, ReadOutputs, nullptr, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  return g_thread != nullptr;
}

void DetachOutputs(OutputSink* sink) {
  AskReader(&g_detachPacket, reinterpret_cast<ULONG_PTR>(sink));
  AcknowledgeOutput(sink);
}

int OpenOutputPipes() { return AskReader(&g_countPacket, 0) ? g_counted : 0; }

ListedChild* StartListedChild(HWND owner, const char* program, const char* arguments,
                              const char* directory, int priorityIndex, OutputSink* sink, int output) {
  ListedChild* child = static_cast<ListedChild*>(std::calloc(1, sizeof(ListedChild)));
  if (child == nullptr || (output >= 0 && g_thread == nullptr)) {
    std::free(child);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    ShowSystemError(owner, kLaunchFailedTitle);
    return nullptr;
  }
  HANDLE readEnd = nullptr;
  // A taken-in command shares the hidden console; any other gets a console
  // of its own.
  const int consoleHeld = output >= 0 ? PrepareSharedConsole() : SharedConsoleHeld();
  ChildStart start = {ListedCreationFlags(priorityIndex, output >= 0, consoleHeld, LeaveOuterJob()),
                      nullptr, nullptr};
  if (output >= 0) {
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    start.input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                              OPEN_EXISTING, 0, nullptr);
    if (start.input == INVALID_HANDLE_VALUE || !MakeOutputPipe(&readEnd, &start.output)) {
      ShowSystemError(owner, kLaunchFailedTitle);
      CloseIfSet(start.input);
      std::free(child);
      return nullptr;
    }
  }
  PROCESS_INFORMATION info{};
  const int started = LaunchChild(owner, program, arguments, directory, start, &info);
  CloseIfSet(start.output);
  CloseIfSet(start.input);
  if (started && output >= 0 && (child->reader = StartReading(readEnd, sink, output)) == nullptr) {
    ShowSystemError(owner, kLaunchFailedTitle);
    TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  if (!started || (output >= 0 && child->reader == nullptr)) {
    CloseIfSet(readEnd);
    std::free(child);
    return nullptr;
  }
  child->process = info.hProcess;
  child->sink = sink;
  child->output = output;
  child->job = CreateJobObjectA(nullptr, nullptr);
  if (child->job != nullptr && !AssignProcessToJobObject(child->job, info.hProcess)) {
    CloseHandle(child->job);
    child->job = nullptr;
  }
  ApplyJobPriority(child, CreationFlagsForPriority(priorityIndex));
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  return child;
}

HANDLE ListedChildProcess(const ListedChild* child) { return child->process; }

int StopListedChild(ListedChild* child) {
  if (child->job != nullptr && TerminateJobObject(child->job, 1)) return 1;
  TerminateProcess(child->process, 1);
  return 0;
}

void SetListedChildPriority(ListedChild* child, DWORD priorityClass) {
  ApplyJobPriority(child, priorityClass);
  SetPriorityClass(child->process, priorityClass);
}

ULONGLONG ListedChildCpuMs(const ListedChild* child) {
  constexpr ULONGLONG kTicksPerMs = 10000;  // the system counts in 100 ns
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION job{};
  if (child->job != nullptr &&
      QueryInformationJobObject(child->job, JobObjectBasicAccountingInformation, &job, sizeof job, nullptr)) {
    return static_cast<ULONGLONG>(job.TotalUserTime.QuadPart + job.TotalKernelTime.QuadPart) / kTicksPerMs;
  }
  FILETIME created{}, ended{}, kernel{}, user{};
  if (!GetProcessTimes(child->process, &created, &ended, &kernel, &user)) return 0;
  const ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
  const ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
  return (k.QuadPart + u.QuadPart) / kTicksPerMs;
}

void ReleaseListedChild(ListedChild* child) {
  CloseHandle(child->process);
  CloseIfSet(child->job);
  std::free(child);
}

void AcknowledgeOutput(OutputSink* sink) { InterlockedExchange(&sink->pending, 0); }

void LockOutputs(int enter) {
  if (!g_outputLockMade) {
    InitializeCriticalSection(&g_outputLock);
    g_outputLockMade = 1;
  }
  if (enter) {
    EnterCriticalSection(&g_outputLock);
  } else {
    LeaveCriticalSection(&g_outputLock);
  }
}

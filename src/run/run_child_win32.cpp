#include "run/run_child_win32.h"

#include <cstdlib>

#include "run/launch.h"
#include "run/launch_win32.h"
#include "run/run_list.h"
#include "support/byte_buffer.h"
#include "support/format_text.h"
#include "support/memory_win32.h"
#include "support/message_box_win32.h"

struct ListedChild {
  HANDLE process;
  HANDLE job;  // null when the process could not join one
};

namespace {

// The pipe's buffer and one read.
constexpr DWORD kPipeBytes = 64 * 1024;
// Once the child has ended, what it wrote is in the pipe already: the reader
// takes what comes within this time and then stops.
constexpr DWORD kDrainMs = 20;

// One reader thread's own data; the thread frees it.
struct OutputReader {
  HANDLE pipe;     // read end, overlapped
  HANDLE process;  // the child, to see it end
  HANDLE event;    // of the read under way
  OutputStore* outputs;
  int output;
  HWND notify;
  UINT message;
  char buffer[kPipeBytes];
};

CRITICAL_SECTION g_outputLock;
int g_outputLockMade = 0;
HANDLE g_stopReaders = nullptr;  // set while the readers are told to stop
ByteBuffer g_readers;            // HANDLE[]: reader threads not yet reaped
LONG g_notifyPending = 0;

HANDLE* Readers() { return reinterpret_cast<HANDLE*>(g_readers.data); }
int ReaderCount() { return static_cast<int>(g_readers.size / sizeof(HANDLE)); }

void CloseIfSet(HANDLE handle) {
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}

// Waits for the read under way: 1 when it completed, 0 when the reader is to
// stop. Once the child has ended, only bytes already there count.
int WaitForRead(OutputReader* reader, int* ended) {
  for (;;) {
    if (*ended) return WaitForSingleObject(reader->event, kDrainMs) == WAIT_OBJECT_0;
    const HANDLE waits[3] = {reader->event, reader->process, g_stopReaders};
    const DWORD woke = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
    if (woke == WAIT_OBJECT_0) return 1;
    if (woke != WAIT_OBJECT_0 + 1) return 0;
    *ended = 1;
  }
}

void Take(OutputReader* reader, DWORD got) {
  if (got == 0) return;
  TakeOutput(reader->outputs, reader->output, reader->buffer, got);
  if (InterlockedExchange(&g_notifyPending, 1) == 0) {
    PostMessageA(reader->notify, reader->message, 0, 0);
  }
}

DWORD WINAPI ReadOutput(void* data) {
  OutputReader* reader = static_cast<OutputReader*>(data);
  OVERLAPPED read{};
  read.hEvent = reader->event;
  int ended = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(reader->pipe, reader->buffer, kPipeBytes, nullptr, &read) &&
        GetLastError() != ERROR_IO_PENDING) {
      break;  // every writer has closed the pipe
    }
    if (!WaitForRead(reader, &ended)) {
      CancelIo(reader->pipe);
      if (GetOverlappedResult(reader->pipe, &read, &got, TRUE)) Take(reader, got);
      break;
    }
    if (!GetOverlappedResult(reader->pipe, &read, &got, FALSE)) break;
    Take(reader, got);
  }
  CloseHandle(reader->pipe);
  CloseHandle(reader->process);
  CloseHandle(reader->event);
  FreeBlock(&reader);
  return 0;
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

// The reader thread of a started (still suspended) child, which then owns
// `pipe`; 1 when it runs.
int StartReader(HANDLE pipe, HANDLE process, OutputStore* outputs, int output, HWND notify,
                UINT message) {
  if (g_stopReaders == nullptr) g_stopReaders = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  OutputReader* reader = nullptr;
  if (g_stopReaders == nullptr || !AllocBlock(&reader, sizeof(OutputReader))) return 0;
  reader->pipe = pipe;
  reader->outputs = outputs;
  reader->output = output;
  reader->notify = notify;
  reader->message = message;
  reader->event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = nullptr;
  if (reader->event != nullptr && AppendBytes(&g_readers, &thread, sizeof thread) &&
      DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &reader->process,
                      SYNCHRONIZE, FALSE, 0)) {
    thread = CreateThread(nullptr, 64 * 1024, ReadOutput, reader, STACK_SIZE_PARAM_IS_A_RESERVATION,
                          nullptr);
  }
  if (thread == nullptr) {
    if (ReaderCount() > 0 && Readers()[ReaderCount() - 1] == nullptr) g_readers.size -= sizeof(HANDLE);
    CloseIfSet(reader->process);
    CloseIfSet(reader->event);
    FreeBlock(&reader);
    return 0;
  }
  Readers()[ReaderCount() - 1] = thread;
  return 1;
}

}  // namespace

ListedChild* StartListedChild(HWND owner, const char* program, const char* arguments,
                              const char* directory, int priorityIndex, OutputStore* outputs,
                              int output, HWND notify, UINT message) {
  ListedChild* child = static_cast<ListedChild*>(std::calloc(1, sizeof(ListedChild)));
  if (child == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    ShowSystemError(owner, kLaunchFailedTitle);
    return nullptr;
  }
  HANDLE readEnd = nullptr;
  ChildStart start = {ListedCreationFlags(priorityIndex, output >= 0), nullptr, nullptr};
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
  if (!started) {
    CloseIfSet(readEnd);
    std::free(child);
    return nullptr;
  }
  if (output >= 0 && !StartReader(readEnd, info.hProcess, outputs, output, notify, message)) {
    ShowSystemError(owner, kLaunchFailedTitle);
    TerminateProcess(info.hProcess, 1);
    CloseHandle(readEnd);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    std::free(child);
    return nullptr;
  }
  child->process = info.hProcess;
  child->job = CreateJobObjectA(nullptr, nullptr);
  if (child->job != nullptr && !AssignProcessToJobObject(child->job, info.hProcess)) {
    CloseHandle(child->job);
    child->job = nullptr;
  }
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
  SetPriorityClass(child->process, priorityClass);
}

void ReleaseListedChild(ListedChild* child) {
  CloseHandle(child->process);
  CloseIfSet(child->job);
  std::free(child);
}

void AcknowledgeOutput() { InterlockedExchange(&g_notifyPending, 0); }

void ReapOutputReaders() {
  for (int i = ReaderCount() - 1; i >= 0; --i) {
    if (WaitForSingleObject(Readers()[i], 0) != WAIT_OBJECT_0) continue;
    CloseHandle(Readers()[i]);
    Readers()[i] = Readers()[ReaderCount() - 1];
    g_readers.size -= sizeof(HANDLE);
  }
}

void EndOutputReaders() {
  if (g_stopReaders != nullptr) SetEvent(g_stopReaders);
  for (int i = 0; i < ReaderCount(); ++i) {
    WaitForSingleObject(Readers()[i], INFINITE);
    CloseHandle(Readers()[i]);
  }
  FreeByteBuffer(&g_readers);
  if (g_stopReaders != nullptr) ResetEvent(g_stopReaders);
  AcknowledgeOutput();
}

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

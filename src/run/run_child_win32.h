// The children of the run list. Each starts suspended, joins a job of its
// own (so that 停止 ends it with everything it started; the job does not end
// them when it is closed) and then runs. With its output taken in, it writes
// into a pipe that the program's one reader thread reads for as long as
// anything can write to it (the command, and programs it left behind holding
// the pipe), and for as long as the program runs: into the outputs of its
// run list while that is open, and into nothing once the list has closed.
// So no write of a command fails because of the list.
#pragma once

#include <windows.h>

#include "run/kept_output.h"

struct ListedChild;

// Where the output of a run list's commands goes: its store, and the window
// that is posted `message` when bytes came (once until AcknowledgeOutput).
struct OutputSink {
  OutputStore* store;
  HWND notify;
  UINT message;
  volatile LONG pending;
};

// Starts the program's reader thread unless it runs already. 0 when it
// could not start (commands can then not have their output taken in).
int StartOutputReader();

// The run list of `sink` closes: once this returns, nothing adds to its
// store any more; the pipes of its commands are still read, their bytes
// dropped.
void DetachOutputs(OutputSink* sink);

// How many pipes of taken-in commands something can still write to: their
// output would be lost if the program ended now.
int OpenOutputPipes();

// Starts `arguments` with `program` in `directory` with the priority row
// `priorityIndex` (-1: none), which its job carries when it is not normal;
// with `output` 0 or more, its output goes into that output of `sink`'s
// store, and it shares the program's hidden console
// (run/shared_console_win32.h). Before Windows 8 it leaves the job the
// program runs in, where that job allows it (run/launch_flags.h). Null after
// the system's text under "タビクス：実行失敗".
ListedChild* StartListedChild(HWND owner, const char* program, const char* arguments,
                              const char* directory, int priorityIndex, OutputSink* sink, int output);

// Its process handle, to wait on.
HANDLE ListedChildProcess(const ListedChild* child);

// Ends the child and every process of its job: 1; 0 when it has no job and
// only its own process was ended.
int StopListedChild(ListedChild* child);

// The child's own process, and its job when the class is not normal, get
// `priorityClass`; a class its job cannot carry is noted in its output.
void SetListedChildPriority(ListedChild* child, DWORD priorityClass);

// The processor time, in milliseconds, that every process of its job has
// used (its own process's when it has no job).
ULONGLONG ListedChildCpuMs(const ListedChild* child);

// Closes its handles and frees it; the child runs on, and the reader reads
// its pipe on.
void ReleaseListedChild(ListedChild* child);

// The posted message has been handled: the next bytes post it again.
void AcknowledgeOutput(OutputSink* sink);

// The lock of the outputs (OutputStore::lock).
void LockOutputs(int enter);

// The children of the run list. Each starts suspended, joins a job of its
// own (so that 停止 ends it with everything it started; the job does not end
// them when it is closed) and then runs. With its output taken in, it writes
// into a pipe that the list's one reader thread empties into the list's
// outputs until the child's own process has ended and what it wrote has been
// read: a program it started in the background and that still holds the
// pipe is not waited for.
#pragma once

#include <windows.h>

#include "run/kept_output.h"

struct ListedChild;

// Starts the reader thread of a run list whose outputs are `outputs`;
// `notify` is posted `message` when bytes came (once until
// AcknowledgeOutput). 0 when it could not start (commands can then not have
// their output taken in).
int BeginOutputReader(OutputStore* outputs, HWND notify, UINT message);

// Stops the reader thread and waits for it: afterwards nothing adds to the
// outputs. After every child was released.
void EndOutputReader();

// Starts `arguments` with `program` in `directory` with the priority row
// `priorityIndex` (-1: none), which its job carries when it is not normal;
// with `output` 0 or more, its output goes into that output of the reader's
// store, and it shares the program's hidden console
// (run/shared_console_win32.h). Before Windows 8 it leaves the job the
// program runs in, where that job allows it (run/launch_flags.h). Null after
// the system's text under "タビクス：実行失敗".
ListedChild* StartListedChild(HWND owner, const char* program, const char* arguments,
                              const char* directory, int priorityIndex, int output);

// Its process handle, to wait on.
HANDLE ListedChildProcess(const ListedChild* child);

// Ends the child and every process of its job: 1; 0 when it has no job and
// only its own process was ended.
int StopListedChild(ListedChild* child);

// The child's own process, and its job when the class is not normal, get
// `priorityClass`; a class its job cannot carry is noted in its output.
void SetListedChildPriority(ListedChild* child, DWORD priorityClass);

// Closes its handles and frees it; the child runs on, and the reader takes
// what it wrote until its pipe is empty.
void ReleaseListedChild(ListedChild* child);

// The posted message has been handled: the next bytes post it again.
void AcknowledgeOutput();

// The lock of the outputs (OutputStore::lock).
void LockOutputs(int enter);

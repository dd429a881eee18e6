// The children of the run list. Each starts suspended, joins a job of its
// own (so that 停止 ends it with everything it started; the job does not end
// them when it is closed) and then runs. With its output taken in, it writes
// into a pipe that a reader thread empties into the list's outputs until the
// child's own process has ended: a program it started in the background and
// that still holds the pipe is not waited for.
#pragma once

#include <windows.h>

#include "run/kept_output.h"

struct ListedChild;

// Starts `arguments` with `program` in `directory` with the priority row
// `priorityIndex` (-1: none); with `output` 0 or more, its output goes into
// that output of `outputs` and `notify` is posted `message` when bytes came
// (once until AcknowledgeOutput). Null after the system's text under
// "タビクス：実行失敗".
ListedChild* StartListedChild(HWND owner, const char* program, const char* arguments,
                              const char* directory, int priorityIndex, OutputStore* outputs,
                              int output, HWND notify, UINT message);

// Its process handle, to wait on.
HANDLE ListedChildProcess(const ListedChild* child);

// Ends the child and every process of its job: 1; 0 when it has no job and
// only its own process was ended.
int StopListedChild(ListedChild* child);

void SetListedChildPriority(ListedChild* child, DWORD priorityClass);

// Closes its handles and frees it; the child runs on.
void ReleaseListedChild(ListedChild* child);

// The posted message has been handled: the next bytes post it again.
void AcknowledgeOutput();

// Closes the handles of reader threads that have ended.
void ReapOutputReaders();

// Stops every reader thread and waits for it: afterwards nothing adds to
// the outputs.
void EndOutputReaders();

// The lock of the outputs (OutputStore::lock).
void LockOutputs(int enter);

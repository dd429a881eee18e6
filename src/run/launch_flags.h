// How children start besides their command lines: the creation flags of a
// listed command and of a launch outside the run list, whether a command
// leaves the job the program itself runs in, and which priority class a
// command's job carries. Decisions only; run/run_child_win32.cpp and
// run/launch_win32.cpp ask the system and apply them.
#pragma once

// Creation flags of CreateProcess.
inline constexpr unsigned long kCreateSuspended = 0x4;               // CREATE_SUSPENDED
inline constexpr unsigned long kCreateNewConsole = 0x10;             // CREATE_NEW_CONSOLE
inline constexpr unsigned long kCreateBreakawayFromJob = 0x01000000; // CREATE_BREAKAWAY_FROM_JOB
inline constexpr unsigned long kCreateNoWindow = 0x08000000;         // CREATE_NO_WINDOW

// Flags of a listed command: its priority class (run/launch.h), started
// suspended so that it joins its job before it can start anything; with
// its output taken in, no console flag while the program holds its hidden
// console (the command and every console program it starts share it), else
// a console without a window of its own; in a console of its own, a new
// console while the program holds the hidden one (else it would share it).
// `breakaway` adds the flag that leaves the program's own job.
unsigned long ListedCreationFlags(int priorityIndex, int taken, int consoleHeld, int breakaway);

// Flags of a launch outside the run list (a direct run, the batch file of
// batch-mode Run, the editor): its priority class, and a new console while
// the program holds its hidden console, so that the command still gets a
// console window of its own where a "pause" can be answered.
unsigned long OwnConsoleFlags(int priorityIndex, int consoleHeld);

// Job limits as QueryInformationJobObject reports them.
inline constexpr unsigned long kJobLimitBreakawayOk = 0x800;  // JOB_OBJECT_LIMIT_BREAKAWAY_OK

// 1 when jobs nest on the system of `major`.`minor`: from Windows 8 (6.2) on.
int JobsNest(unsigned long major, unsigned long minor);

// 1 when a listed command leaves the job the program runs in: only where
// jobs do not nest (a process belongs to one job at most, so the command
// could not join a job of its own) and only where the outer job allows it
// (`outerLimits` holds kJobLimitBreakawayOk). Where jobs nest, a command
// never leaves the outer job (a task scheduler's or a build server's).
int BreakAwayFromOuterJob(int jobsNest, int inJob, unsigned long outerLimits);

// The class a command's job is to carry for the priority class
// `priorityClass` (0: none chosen): every class but normal; 0 for none and
// for normal, since the processes of a job that carries a class cannot
// change their own.
unsigned long JobPriorityClass(unsigned long priorityClass);

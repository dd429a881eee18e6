// The console that commands with their output taken in share: one for the
// program, made at the first such start and kept until the program ends, so
// that no command pays for a console host of its own and no window appears,
// not even for a moment, for a command or for a console program it starts.
// The program is a windowed one and has no console of its own: it starts
// the system's cmd.exe without a window, waiting on a pipe the program
// holds (it ends when the program does), and attaches to that console
// (Windows 11 24H2 on: AllocConsoleWithOptions without a window, where
// kernel32 has it). A control event on that console would reach every
// command on it: the program sends none, and ignores any that comes.
#pragma once

// 1 while the program holds the hidden console: a launch that needs a
// console of its own then asks for a new one (run/launch_flags.h).
int SharedConsoleHeld();

// Before a command with its output taken in starts: the hidden console,
// made on first use, with its input and output code pages and modes put
// back to what they were when it was made (a command's chcp reaches no
// later command). 1 when it is held; 0 when it cannot be had (the system
// refused one): the command then
// starts with a console of its own without a window, and so do later ones
// without asking the system again.
int PrepareSharedConsole();

// The program lets the hidden console go (its host ends once nothing else
// uses it); the next PrepareSharedConsole makes a new one, also after a
// refusal.
void ReleaseSharedConsole();

// The three kinds of failure message: the system's text for the last error,
// the texts for ShellExecuteA failure values, and the program's own error
// table (codes in support/messages.h). Every box is an information box with
// one OK button, owned by `owner` and titled by the caller; each call returns
// after the user has closed it. Every message box and question of the
// program goes through here, so that a run nobody watches (/exit) writes
// them to its log instead.
#pragma once

#include <windows.h>

// Shows `text` in an information box with one OK button.
void ShowInformationText(HWND owner, const char* title, const char* text);

// Asks `text` in a Yes/No box with a warning icon, No the default button:
// 1 for Yes. In a run written to a log, the question and the answer taken
// are logged and the answer is that of SendMessagesToLog.
int AskYesNo(HWND owner, const char* title, const char* text);

// From now on messages are appended to the file `logPath` instead of shown,
// and questions answered `answerYes`; null shows them again.
void SendMessagesToLog(const char* logPath, int answerYes);

// 1 while messages go to a log.
int MessagesGoToLog();

// How many questions were answered No since the program started.
int DeclinedQuestions();

// Shows the system's text for the calling thread's last error code.
void ShowSystemError(HWND owner, const char* title);

// Shows the text for a failure value returned by ShellExecuteA (pass
// reinterpret_cast<INT_PTR>(result)); values without a text, success values
// (above 32) included, show nothing.
void ShowShellError(HWND owner, const char* title, INT_PTR value);

// Shows the program's text for an error code 0-6 (ProgramError in
// support/messages.h); any other code shows nothing.
void ShowProgramError(HWND owner, const char* title, int code);

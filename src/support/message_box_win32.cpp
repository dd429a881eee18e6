#include "support/message_box_win32.h"

#include <cstdio>

#include "support/format_text.h"
#include "support/messages.h"

namespace {

constexpr std::size_t kLogPathSize = 520;
constexpr std::size_t kLogLineSize = 4096;

char g_logPath[kLogPathSize] = {};
int g_answerYes = 0;
int g_declined = 0;

// Appends one line to the log; a log that cannot be written loses the line.
void WriteLogLine(const char* title, const char* text) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char stamp[32];
  FormatText(stamp, sizeof stamp, "%04u/%02u/%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond);
  char line[kLogLineSize];
  int length = FormatLogLine(line, sizeof line, stamp, title, text);
  if (length < 0) length = lstrlenA(line);
  HANDLE file = CreateFileA(g_logPath, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

void ShowInformationText(HWND owner, const char* title, const char* text) {
  if (MessagesGoToLog()) {
    WriteLogLine(title, text);
    return;
  }
  MessageBoxA(owner, text, title, MB_OK | MB_ICONINFORMATION);
}

int AskYesNo(HWND owner, const char* title, const char* text) {
  int yes = 0;
  if (MessagesGoToLog()) {
    WriteLogLine(title, text);
    WriteLogLine(title, g_answerYes ? kLogAnswerYes : kLogAnswerNo);
    yes = g_answerYes;
  } else {
    yes = MessageBoxA(owner, text, title, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
  }
  if (!yes) ++g_declined;
  return yes;
}

void SendMessagesToLog(const char* logPath, int answerYes) {
  FormatText(g_logPath, sizeof g_logPath, "%s", logPath != nullptr ? logPath : "");
  g_answerYes = answerYes;
}

int MessagesGoToLog() {
  return g_logPath[0] != '\0';
}

int DeclinedQuestions() {
  return g_declined;
}

void ShowSystemError(HWND owner, const char* title) {
  const DWORD code = GetLastError();
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
      nullptr);
  if (length != 0 && text != nullptr) {
    ShowInformationText(owner, title, text);
  } else {
    char fallback[64];
    std::snprintf(fallback, sizeof fallback, kSystemErrorFallbackFormat,
                  static_cast<unsigned long>(code));
    ShowInformationText(owner, title, fallback);
  }
  if (text != nullptr) LocalFree(text);
}

void ShowShellError(HWND owner, const char* title, INT_PTR value) {
  const char* text = ShellErrorText(static_cast<long long>(value));
  if (text != nullptr) ShowInformationText(owner, title, text);
}

void ShowProgramError(HWND owner, const char* title, int code) {
  const char* text = ProgramErrorText(code);
  if (text != nullptr) ShowInformationText(owner, title, text);
}

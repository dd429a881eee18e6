#include "support/message_box_win32.h"

#include <cstdio>

#include "support/messages.h"

void ShowInformationText(HWND owner, const char* title, const char* text) {
  MessageBoxA(owner, text, title, MB_OK | MB_ICONINFORMATION);
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

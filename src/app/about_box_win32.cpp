#include "app/about_box_win32.h"

#include <shellapi.h>

#include "app/about.h"
#include "app/placement_win32.h"
#include "app/startup.h"
#include "resource.h"
#include "run/command_line.h"
#include "run/launch_win32.h"
#include "support/control_text_win32.h"
#include "support/shell_win32.h"

namespace {

// What the open about box shows; one about box at a time.
struct AboutRecord {
  HWND owner;
  AboutTexts texts;
};

const AboutRecord* g_about = nullptr;

// Hands `target` to the shell's default action (browser, mail program).
void OpenQuietly(HWND dialog, const char* target) {
  ShellExecuteLate(dialog, nullptr, target, nullptr, nullptr, SW_SHOWNORMAL);
}

BOOL OnAboutInit(HWND dialog, LPARAM parameter) {
  g_about = reinterpret_cast<const AboutRecord*>(parameter);
  CenterOverOwner(dialog, g_about->owner);
  char text[kAboutTextSize];
  FormatAboutText(text, sizeof text, g_about->texts);
  SetDlgItemTextA(dialog, IDC_ABOUT_TEXT, text);
  SetActiveWindow(dialog);
  SetFocus(dialog);
  return TRUE;
}

BOOL OnWebPage(HWND dialog) {
  OpenQuietly(dialog, g_about->texts.webPage);
  return TRUE;
}

BOOL OnMail(HWND dialog) {
  char address[kMailtoSize];
  FormatMailto(address, sizeof address, g_about->texts.mail);
  OpenQuietly(dialog, address);
  return TRUE;
}

BOOL OnAboutClose(HWND dialog) {
  EndDialog(dialog, IDOK);
  return TRUE;
}

BOOL OnAboutCommand(HWND dialog, WORD id) {
  switch (id) {
    case IDC_ABOUT_WEBPAGE: return OnWebPage(dialog);
    case IDC_ABOUT_MAIL: return OnMail(dialog);
    case IDOK: case IDCANCEL: return OnAboutClose(dialog);
    default: return FALSE;
  }
}

BOOL OnAboutDestroy() {
  g_about = nullptr;
  return TRUE;
}

// Opens `path` with the verb "open"; a failure value gets its message.
void OpenWithShell(HWND dialog, const char* path, const char* title) {
  const INT_PTR result = reinterpret_cast<INT_PTR>(
      ShellExecuteLate(dialog, "open", path, nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) ShowShellError(dialog, title, result);
}

}  // namespace

void ShowAboutBox(HWND owner, const char* title, const char* version, const char* buildDate,
                  const char* author, const char* webPage, const char* mail) {
  const AboutRecord record = {owner, {title, version, buildDate, author, webPage, mail}};
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc,
                  reinterpret_cast<LPARAM>(&record));
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnAboutInit(dialog, lParam);
    case WM_COMMAND: return OnAboutCommand(dialog, LOWORD(wParam));
    case WM_DESTROY: return OnAboutDestroy();
    default: return FALSE;
  }
}

void OpenHelpFile(HWND dialog, const char* path) {
  OpenWithShell(dialog, path, kHelpFileTitle);
}

void ShowUsageFile(HWND dialog) {
  char path[kUsageFilePathSize];
  MakeUsageFilePath(path, sizeof path, g_executableDirectory);
  OpenWithShell(dialog, path, kUsageFileTitle);
}

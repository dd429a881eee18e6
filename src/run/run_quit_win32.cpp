#include "run/run_quit_win32.h"

#include "run/entry_text.h"
#include "run/run_child_win32.h"
#include "support/format_text.h"

namespace {

int g_unattended = 0;
int g_sessionEnding = 0;

}  // namespace

void SetUnattendedRun(int on) { g_unattended = on; }

void NoteSessionEnding() { g_sessionEnding = 1; }

int MayEndWithTakenInOutput(HWND owner) {
  if (g_unattended || g_sessionEnding) return 1;
  const int open = OpenOutputPipes();
  if (open == 0) return 1;
  char text[512];
  FormatText(text, sizeof text, kQuitQuestionFormat, open);
  return MessageBoxA(owner, text, kQuitQuestionTitle, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

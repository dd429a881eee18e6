#include "run/run_questions_win32.h"

#include <initializer_list>

#include "expand/file_expansion.h"
#include "expand/target_check.h"
#include "support/message_box_win32.h"

void ReportLeftOutNames(HWND owner, const char* caption, const LeftOutNames& leftOut) {
  for (int reason : {kNotInCodePage, kChangedByCmd, kNotMatched}) {
    char text[2 * kRowTextSize];
    if (FormatLeftOutReport(leftOut, text, sizeof text, reason)) {
      ShowInformationText(owner, caption, text);
    }
  }
}

int AskAboutTargets(HWND owner, const TargetRecord& record) {
  if (record.marked == 0) return 1;
  char text[kTargetQuestionSize];
  FormatTargetQuestion(record, text, sizeof text);
  return AskYesNo(owner, kTargetQuestionTitle, text);
}

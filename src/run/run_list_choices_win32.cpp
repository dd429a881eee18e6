#include "run/run_list_choices_win32.h"

#include "resource.h"
#include "support/control_text_win32.h"

void FillChoices(RunListWindow* w) {
  const RunListSettings& settings = w->input.settings;
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  const int newerSystem = GetVersionExA(&version) && version.dwMajorVersion > 4;
  PriorityItems items{};
  ListPriorityItems(settings.stored[kKeyPriority], newerSystem, &items);
  for (int i = 0; i < items.count; ++i) {
    SendMessageA(w->priority, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items.text[i]));
  }
  SendMessageA(w->priority, CB_SETCURSEL, items.selected, 0);
  for (int n = 1; n <= kMaxParallel; ++n) {
    const char item[2] = {static_cast<char>('0' + n), '\0'};
    SendMessageA(w->parallel, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  SendMessageA(w->parallel, CB_SETCURSEL, ParallelItemForSetting(settings.stored[kKeyParallel]), 0);
  for (const char* item : kOutputItems) SendMessageA(w->output, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SendMessageA(w->output, CB_SETCURSEL, OutputItemForSetting(settings.stored[kKeyOutput]), 0);
  const int halt = HaltForSetting(settings.stored[kKeyHalt]);
  SendMessageA(w->halt, BM_SETCHECK, halt ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ReadChoices(RunListWindow* w) {
  char priority[kRunListSettingSize * 2] = {};
  ReadControlText(w->dialog, IDC_RUNLIST_PRIORITY, priority, sizeof priority);
  w->run.chosen.priority = FindPriorityByLabel(priority);
  w->run.chosen.parallel = static_cast<int>(SendMessageA(w->parallel, CB_GETCURSEL, 0, 0)) + 1;
  w->run.chosen.output = static_cast<int>(SendMessageA(w->output, CB_GETCURSEL, 0, 0));
  w->run.chosen.halt = SendMessageA(w->halt, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

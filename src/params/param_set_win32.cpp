#include "params/param_set_win32.h"

#include "resource.h"
#include "support/control_text_win32.h"

namespace {

void SetCheck(HWND dialog, int id, bool on) {
  CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

void ReadLiveSet(HWND dialog, LiveSet* live) {
  for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
    const FieldDef& field = g_fieldTable[row];
    live->texts[row][0] = '\0';
    live->states[row] = 0;
    switch (field.kind) {
      case kTextField:
        ReadControlText(dialog, field.id, live->texts[row], kFieldTextSize);
        break;
      case kCheckField:
        live->states[row] = static_cast<int>(IsDlgButtonChecked(dialog, field.id));
        break;
      case kOptionField:
        live->states[row] = GetOptionFlag(field.id);
        break;
    }
  }
}

void ReadParameterSet(HWND dialog, ParameterSet* set) {
  static LiveSet live;  // one GUI thread; too large for a comfortable stack frame
  ReadLiveSet(dialog, &live);
  ParameterSetFromLive(live, set);
}

int WriteSetSection(ByteBuffer* out, const char* name, HWND dialog) {
  static LiveSet live;  // one GUI thread; too large for a comfortable stack frame
  ReadLiveSet(dialog, &live);
  return AppendLiveSection(out, name, live);
}

void ApplyStoredSet(HWND dialog, const StoredSet* set) {
  if (set == nullptr) set = &g_emptySet;
  for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
    const FieldDef& field = g_fieldTable[row];
    const char* value = set->values[row];
    switch (field.kind) {
      case kTextField:
        SetDlgItemTextA(dialog, field.id, value != nullptr ? value : "");
        break;
      case kCheckField:
        SetCheck(dialog, field.id, StoredFlagIsOn(value));
        break;
      case kOptionField:
        SetOptionFlag(field.id, StoredFlagIsOn(value));
        break;
    }
  }
  UpdateOptionButtonCaption(dialog);
}

void ClearSet(HWND dialog) {
  ApplyStoredSet(dialog, &g_emptySet);
}

void UpdateOptionButtonCaption(HWND dialog) {
  char caption[kOptionCaptionSize];
  BuildOptionButtonCaption(caption, sizeof caption);
  SetDlgItemTextA(dialog, IDC_OPTION, caption);
}

#include "params/field_table.h"

#include <cstring>

#include "params/param_texts.h"
#include "resource.h"
#include "support/byte_buffer.h"
#include "support/dbcs.h"
#include "support/format_text.h"

const FieldDef g_fieldTable[kFieldCount + 1] = {
    {"EXEPATH", kTextField, IDC_EXEPATH},
    {"CURPATH", kTextField, IDC_CURPATH},
    {"HELPPATH", kTextField, IDC_HELPPATH},
    {"ARG1SWITCH", kTextField, IDC_ARG1_SWITCH},
    {"ARG1SPACE", kCheckField, IDC_ARG1_SPACE},
    {"ARG1FILE", kTextField, IDC_ARG1_FILE},
    {"ARG2SWITCH", kTextField, IDC_ARG2_SWITCH},
    {"ARG2SPACE", kCheckField, IDC_ARG2_SPACE},
    {"ARG2FILE", kTextField, IDC_ARG2_FILE},
    {"ARG3SWITCH", kTextField, IDC_ARG3_SWITCH},
    {"ARG3SPACE", kCheckField, IDC_ARG3_SPACE},
    {"ARG3FILE", kTextField, IDC_ARG3_FILE},
    {"ARG4SWITCH", kTextField, IDC_ARG4_SWITCH},
    {"ARG4SPACE", kCheckField, IDC_ARG4_SPACE},
    {"ARG4FILE", kTextField, IDC_ARG4_FILE},
    {"ARG5SWITCH", kTextField, IDC_ARG5_SWITCH},
    {"ARG5SPACE", kCheckField, IDC_ARG5_SPACE},
    {"ARG5FILE", kTextField, IDC_ARG5_FILE},
    {"ARG6SWITCH", kTextField, IDC_ARG6_SWITCH},
    {"ARG6SPACE", kCheckField, IDC_ARG6_SPACE},
    {"ARG6FILE", kTextField, IDC_ARG6_FILE},
    {"ARG7SWITCH", kTextField, IDC_ARG7_SWITCH},
    {"ARG7SPACE", kCheckField, IDC_ARG7_SPACE},
    {"ARG7FILE", kTextField, IDC_ARG7_FILE},
    {"ARG8SWITCH", kTextField, IDC_ARG8_SWITCH},
    {"ARG8SPACE", kCheckField, IDC_ARG8_SPACE},
    {"ARG8FILE", kTextField, IDC_ARG8_FILE},
    {"BATCHOUT", kOptionField, IDM_OPT_BATCHOUT},
    {"LASTPAUSE", kOptionField, IDM_OPT_LASTPAUSE},
    {nullptr, 0, 0},
};

static_assert(kOptionBatchOut == IDM_OPT_BATCHOUT && kOptionLastPause == IDM_OPT_LASTPAUSE,
              "option ids follow the menu resource");

const int g_optionIds[kOptionCount] = {kOptionBatchOut, kOptionLastPause};

const StoredSet g_emptySet = {kDefaultSetName, {}, nullptr};

namespace {

// The option flags of the live set, indexed like g_optionIds; both off at start.
int g_optionFlags[kOptionCount] = {0, 0};

const char kLineEnd[] = "\r\n";
const char kOnValue[] = "1";

int AppendHeader(ByteBuffer* out, const char* name) {
  AppendText(out, "[");
  AppendText(out, name);
  AppendText(out, "]");
  return AppendText(out, kLineEnd);
}

int AppendFieldLine(ByteBuffer* out, const char* key, const char* value) {
  AppendText(out, key);
  AppendText(out, "=");
  AppendText(out, value);
  return AppendText(out, kLineEnd);
}

}  // namespace

int OptionIndex(int id) {
  for (int i = 0; i < kOptionCount; ++i) {
    if (g_optionIds[i] == id) return i;
  }
  return -1;
}

void ToggleOptionFlag(int id) {
  int index = OptionIndex(id);
  if (index >= 0) g_optionFlags[index] = g_optionFlags[index] ? 0 : 1;
}

int GetOptionFlag(int id) {
  int index = OptionIndex(id);
  return index >= 0 ? g_optionFlags[index] : 0;
}

void SetOptionFlag(int id, int on) {
  int index = OptionIndex(id);
  if (index >= 0) g_optionFlags[index] = on ? 1 : 0;
}

int StoredFlagIsOn(const char* value) {
  return value != nullptr && value[0] != '0';
}

const char* LiveLineValue(const LiveSet& live, int row) {
  if (g_fieldTable[row].kind == kTextField) {
    return live.texts[row][0] != '\0' ? live.texts[row] : nullptr;
  }
  return live.states[row] == 1 ? kOnValue : nullptr;
}

const char* StoredLineValue(const StoredSet& set, int row) {
  const char* value = set.values[row];
  if (value == nullptr) return nullptr;
  if (g_fieldTable[row].kind == kTextField) return value;
  // A carried-over flag needs a non-empty value that does not start with "0".
  return value[0] != '\0' && value[0] != '0' ? kOnValue : nullptr;
}

int AppendLiveSection(ByteBuffer* out, const char* name, const LiveSet& live) {
  AppendHeader(out, name);
  for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
    const char* value = LiveLineValue(live, row);
    if (value != nullptr) AppendFieldLine(out, g_fieldTable[row].key, value);
  }
  return out->failed ? 0 : 1;
}

int WriteSetSection(ByteBuffer* out, const char* name, const StoredSet& set) {
  AppendHeader(out, name);
  for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
    const char* value = StoredLineValue(set, row);
    if (value != nullptr) AppendFieldLine(out, g_fieldTable[row].key, value);
  }
  return out->failed ? 0 : 1;
}

void BuildOptionButtonCaption(char* buffer, std::size_t size) {
  if (size == 0) return;
  char digits[kOptionCount + 1];
  for (int i = 0; i < kOptionCount; ++i) digits[i] = g_optionFlags[i] ? '1' : '0';
  digits[kOptionCount] = '\0';
  FormatText(buffer, size, "%s%s%s", kOptionCaptionHead, digits, kOptionCaptionTail);
}

#include "params/field_table.h"

#include <cstring>

#include "params/param_texts.h"
#include "resource.h"
#include "support/byte_buffer.h"
#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/line_scan.h"

const FieldDef g_fieldTable[kFieldCount + 1] = {
    Field("EXEPATH", kTextField, IDC_EXEPATH),
    Field("CURPATH", kTextField, IDC_CURPATH),
    Field("HELPPATH", kTextField, IDC_HELPPATH),
    Field("ARG1SWITCH", kTextField, IDC_ARG1_SWITCH),
    Field("ARG1SPACE", kCheckField, IDC_ARG1_SPACE),
    Field("ARG1FILE", kTextField, IDC_ARG1_FILE),
    Field("ARG2SWITCH", kTextField, IDC_ARG2_SWITCH),
    Field("ARG2SPACE", kCheckField, IDC_ARG2_SPACE),
    Field("ARG2FILE", kTextField, IDC_ARG2_FILE),
    Field("ARG3SWITCH", kTextField, IDC_ARG3_SWITCH),
    Field("ARG3SPACE", kCheckField, IDC_ARG3_SPACE),
    Field("ARG3FILE", kTextField, IDC_ARG3_FILE),
    Field("ARG4SWITCH", kTextField, IDC_ARG4_SWITCH),
    Field("ARG4SPACE", kCheckField, IDC_ARG4_SPACE),
    Field("ARG4FILE", kTextField, IDC_ARG4_FILE),
    Field("ARG5SWITCH", kTextField, IDC_ARG5_SWITCH),
    Field("ARG5SPACE", kCheckField, IDC_ARG5_SPACE),
    Field("ARG5FILE", kTextField, IDC_ARG5_FILE),
    Field("ARG6SWITCH", kTextField, IDC_ARG6_SWITCH),
    Field("ARG6SPACE", kCheckField, IDC_ARG6_SPACE),
    Field("ARG6FILE", kTextField, IDC_ARG6_FILE),
    Field("ARG7SWITCH", kTextField, IDC_ARG7_SWITCH),
    Field("ARG7SPACE", kCheckField, IDC_ARG7_SPACE),
    Field("ARG7FILE", kTextField, IDC_ARG7_FILE),
    Field("ARG8SWITCH", kTextField, IDC_ARG8_SWITCH),
    Field("ARG8SPACE", kCheckField, IDC_ARG8_SPACE),
    Field("ARG8FILE", kTextField, IDC_ARG8_FILE),
    Field("BATCHOUT", kOptionField, IDM_OPT_BATCHOUT),
    Field("LASTPAUSE", kOptionField, IDM_OPT_LASTPAUSE),
    {nullptr, 0, 0, 0},
};

static_assert(kOptionBatchOut == IDM_OPT_BATCHOUT && kOptionLastPause == IDM_OPT_LASTPAUSE,
              "option ids follow the menu resource");

const int g_optionIds[kOptionCount] = {kOptionBatchOut, kOptionLastPause};

const StoredSet g_emptySet = {kDefaultSetName, {}, nullptr};

namespace {

// The option flags of the live set, indexed like g_optionIds; both off at start.
int g_optionFlags[kOptionCount] = {0, 0};

const char kOnValue[] = "1";

// Copies `length` bytes of a name or value, control bytes as blanks.
char* CopyLineText(char* to, const char* from, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char byte = static_cast<unsigned char>(from[i]);
    to[i] = static_cast<char>(IsLineEndByte(byte) ? ' ' : byte);
  }
  return to + length;
}

char* CopyLineEnd(char* to) {
  to[0] = '\r';
  to[1] = '\n';
  return to + 2;
}

// "[" name "]" CR LF, made in place in one piece.
int AppendHeader(ByteBuffer* out, const char* name) {
  const std::size_t length = std::strlen(name);
  char* to = ExtendBuffer(out, length + 4);
  if (to == nullptr) return 0;
  *to++ = '[';
  to = CopyLineText(to, name, length);
  *to++ = ']';
  CopyLineEnd(to);
  return 1;
}

// key "=" value CR LF, made in place in one piece.
int AppendFieldLine(ByteBuffer* out, const FieldDef& field, const char* value) {
  const std::size_t length = std::strlen(value);
  char* to = ExtendBuffer(out, field.keyLength + length + 3);
  if (to == nullptr) return 0;
  std::memcpy(to, field.key, field.keyLength);
  to += field.keyLength;
  *to++ = '=';
  CopyLineEnd(CopyLineText(to, value, length));
  return 1;
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

namespace {

// The controls of the argument rows, row 1 first.
constexpr int kSwitchIds[kArgumentRowCount] = {
    IDC_ARG1_SWITCH, IDC_ARG2_SWITCH, IDC_ARG3_SWITCH, IDC_ARG4_SWITCH,
    IDC_ARG5_SWITCH, IDC_ARG6_SWITCH, IDC_ARG7_SWITCH, IDC_ARG8_SWITCH};
constexpr int kSpaceIds[kArgumentRowCount] = {
    IDC_ARG1_SPACE, IDC_ARG2_SPACE, IDC_ARG3_SPACE, IDC_ARG4_SPACE,
    IDC_ARG5_SPACE, IDC_ARG6_SPACE, IDC_ARG7_SPACE, IDC_ARG8_SPACE};
constexpr int kFileIds[kArgumentRowCount] = {
    IDC_ARG1_FILE, IDC_ARG2_FILE, IDC_ARG3_FILE, IDC_ARG4_FILE,
    IDC_ARG5_FILE, IDC_ARG6_FILE, IDC_ARG7_FILE, IDC_ARG8_FILE};

// The text slot of the record that the control `id` fills, or null.
char* TextSlot(ParameterSet* set, int id) {
  if (id == IDC_EXEPATH) return set->programText;
  if (id == IDC_CURPATH) return set->currentDirectory;
  if (id == IDC_HELPPATH) return set->helpText;
  for (int i = 0; i < kArgumentRowCount; ++i) {
    if (id == kSwitchIds[i]) return set->rows.row[i].switchText;
    if (id == kFileIds[i]) return set->rows.row[i].fileText;
  }
  return nullptr;
}

// The flag slot of the record that the check box or option `id` fills, or null.
int* FlagSlot(ParameterSet* set, int id) {
  if (id == kOptionBatchOut) return &set->batchOut;
  if (id == kOptionLastPause) return &set->pauseAtEnd;
  for (int i = 0; i < kArgumentRowCount; ++i) {
    if (id == kSpaceIds[i]) return &set->rows.row[i].spaceOn;
  }
  return nullptr;
}

}  // namespace

void ParameterSetFromLive(const LiveSet& live, ParameterSet* set) {
  std::memset(set, 0, sizeof *set);
  for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
    const FieldDef& field = g_fieldTable[row];
    if (field.kind == kTextField) {
      char* slot = TextSlot(set, field.id);
      if (slot == nullptr) continue;
      std::memcpy(slot, live.texts[row], kFieldTextSize);
      slot[kFieldTextSize - 1] = '\0';
    } else if (int* flag = FlagSlot(set, field.id)) {
      *flag = live.states[row] == 1;  // a check box counts only when checked
    }
  }
}

void ParameterSetFromStored(const StoredSet& stored, ParameterSet* set) {
  static LiveSet live;
  std::memset(&live, 0, sizeof live);
  for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
    const char* value = stored.values[row];
    if (g_fieldTable[row].kind == kTextField) {
      if (value != nullptr && FormatText(live.texts[row], kFieldTextSize, "%s", value) < 0) {
        CutToWholeCharacters(live.texts[row]);
      }
    } else {
      live.states[row] = StoredFlagIsOn(value);
    }
  }
  ParameterSetFromLive(live, set);
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

namespace {

// The header and the field lines of a section, each row's value as
// `valueOf(row)` gives it (null: no line).
template <typename Values>
int AppendSection(ByteBuffer* out, const char* name, Values valueOf) {
  AppendHeader(out, name);
  for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
    const char* value = valueOf(row);
    if (value != nullptr) AppendFieldLine(out, g_fieldTable[row], value);
  }
  return out->failed ? 0 : 1;
}

}  // namespace

int AppendLiveSection(ByteBuffer* out, const char* name, const LiveSet& live) {
  return AppendSection(out, name, [&live](int row) { return LiveLineValue(live, row); });
}

int WriteSetSection(ByteBuffer* out, const char* name, const StoredSet& set) {
  return AppendSection(out, name, [&set](int row) { return StoredLineValue(set, row); });
}

void BlankControlBytes(char* text) {
  for (; *text != '\0'; ++text) {
    if (IsLineEndByte(static_cast<unsigned char>(*text))) *text = ' ';
  }
}

void BuildOptionButtonCaption(char* buffer, std::size_t size) {
  if (size == 0) return;
  char digits[kOptionCount + 1];
  for (int i = 0; i < kOptionCount; ++i) digits[i] = g_optionFlags[i] ? '1' : '0';
  digits[kOptionCount] = '\0';
  FormatText(buffer, size, "%s%s%s", kOptionCaptionHead, digits, kOptionCaptionTail);
}

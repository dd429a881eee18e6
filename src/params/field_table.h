// The field table that drives saving, loading, applying and clearing a
// parameter set; the two option flags; the record of a stored set; and the
// decisions about which lines a section holds. No system calls here.
#pragma once

#include <cstddef>

struct ByteBuffer;

// Kinds of the field table.
enum FieldKind : int {
  kTextField = 0,    // text of an edit control
  kCheckField = 1,   // checked state of a check box
  kOptionField = 2,  // one of the option flags, addressed by its menu id
};

// One row of the field table.
struct FieldDef {
  const char* key;        // key in the parameter file; nullptr ends the table
  int kind;               // FieldKind
  int id;                 // edit or check box id, or the option's menu command id
  std::size_t keyLength;  // bytes of the key
};

// A row of the field table, its key length counted from the literal.
template <std::size_t N>
constexpr FieldDef Field(const char (&key)[N], int kind, int id) {
  return FieldDef{key, kind, id, N - 1};
}

// Longest key of the field table ("ARG1SWITCH").
inline constexpr std::size_t kLongestFieldKey = 10;

// Number of persisted fields.
inline constexpr int kFieldCount = 29;

// The field table: kFieldCount rows in saving order, then a row whose key is
// nullptr.
extern const FieldDef g_fieldTable[kFieldCount + 1];

// Option command ids; the index of an id is the flag's index (0 = BATCHOUT,
// 1 = LASTPAUSE), which is also the order of the option menu items and of the
// digits of the option button caption.
inline constexpr int kOptionCount = 2;
inline constexpr int kOptionBatchOut = 40013;
inline constexpr int kOptionLastPause = 40014;
extern const int g_optionIds[kOptionCount];

// Index of an option command id in g_optionIds, or -1.
int OptionIndex(int id);

// Flips the flag of `id`; an id that is not an option changes nothing.
void ToggleOptionFlag(int id);

// The flag (0 or 1) of `id`; 0 for an id that is not an option.
int GetOptionFlag(int id);

// Sets the flag of `id` to 1 when `on` is nonzero, else 0; an id that is not
// an option changes nothing.
void SetOptionFlag(int id, int on);

// A parameter set as read from the parameter file. It owns no text: name and
// values point into the parameter file's text block. A value is nullptr when
// the file had no line for that field (absent), else the text after "=".
struct StoredSet {
  const char* name;
  const char* values[kFieldCount];
  StoredSet* next;
};

// Name of the set that holds the screen as it was last closed; never listed.
inline constexpr char kDefaultSetName[] = "default";

// The empty set: named "default", every value absent.
extern const StoredSet g_emptySet;

// Capacity of a text read from a control (at most 259 characters).
inline constexpr std::size_t kFieldTextSize = 260;

// The argument rows of a parameter set as the command-line assembly reads
// them: eight rows of a switch text, a space flag and a file text.
inline constexpr int kArgumentRowCount = 8;
inline constexpr std::size_t kRowTextSize = kFieldTextSize;

// One argument row as read from the main dialog.
struct ArgumentRow {
  char switchText[kRowTextSize];
  int spaceOn;  // 1 when the row's space box is checked
  char fileText[kRowTextSize];
};

// The eight argument rows, row 1 first.
struct ArgumentRows {
  ArgumentRow row[kArgumentRowCount];
};

// The live set as read from the dialog, one slot per field-table row: for a
// text field its text (cut to 259 characters), for a check field the state the
// box reported (1 = checked), for an option field the flag.
struct LiveSet {
  char texts[kFieldCount][kFieldTextSize];
  int states[kFieldCount];
};

// The parameter set as shown in the main dialog, read once by a command and
// handed down: everything that composes, expands, writes or runs commands
// works from this record, never from the controls.
struct ParameterSet {
  char programText[kFieldTextSize];       // EXEPATH, as typed
  char currentDirectory[kFieldTextSize];  // CURPATH, as typed
  char helpText[kFieldTextSize];          // HELPPATH, as typed
  ArgumentRows rows;
  int batchOut;    // the option BATCHOUT
  int pauseAtEnd;  // the option LASTPAUSE
};

// The parameter set of a live set: the field table's rows in their places.
void ParameterSetFromLive(const LiveSet& live, ParameterSet* set);

// The parameter set of a stored set, as applying it to the window and
// reading the window back would give: texts cut to 259 characters, a flag on
// as StoredFlagIsOn says.
void ParameterSetFromStored(const StoredSet& stored, ParameterSet* set);

// A stored check or option value counts as on when present and its first
// character is not "0" (an empty value counts as on).
int StoredFlagIsOn(const char* value);

// The value a section line carries for row `row`, or nullptr when the row has
// no line. From the live set: a non-empty text, or "1" for a state of 1. From
// a stored set (carry-over): a present text as it is (even empty), or "1" for
// a present, non-empty flag value whose first character is not "0".
const char* LiveLineValue(const LiveSet& live, int row);
const char* StoredLineValue(const StoredSet& set, int row);

// Appends "[" name "]" CR LF and the field lines of a section (key "=" value
// CR LF, in table order). 0 when the buffer could not grow. A control byte
// (0x01-0x1F) of the name or a value is written as a blank: read back, it
// would end the line and cut the text.
int AppendLiveSection(ByteBuffer* out, const char* name, const LiveSet& live);
int WriteSetSection(ByteBuffer* out, const char* name, const StoredSet& set);

// Writes every control byte (0x01-0x1F) of `text` as a blank, in place, so
// that a name matches the one the parameter file keeps.
void BlankControlBytes(char* text);

// Capacity of the option button caption.
inline constexpr std::size_t kOptionCaptionSize = 32;

// Builds "設定(&P)[" + one digit per option flag + "]" into `buffer`.
void BuildOptionButtonCaption(char* buffer, std::size_t size);

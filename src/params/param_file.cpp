#include "params/param_file.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "params/field_table.h"
#include "support/byte_buffer.h"
#include "support/line_scan.h"
#include "support/text_kind.h"

namespace {

// The set list in file order, and its last record (where the parser appends).
StoredSet* g_firstSet = nullptr;
StoredSet* g_lastSet = nullptr;

// 1 when the parsed file began with the UTF-8 byte-order mark.
int g_utf8Mark = 0;

// The field keys by a hash, for the parser. A key of up to 16 bytes is held
// as two words, its bytes in memory order and the rest zero, so that a line's
// key is found by comparing two words rather than byte by byte.
static_assert(kLongestFieldKey <= 16, "keys fit two words");
struct KeyWords {
  std::uint64_t low;
  std::uint64_t high;
};

KeyWords KeyWordsOf(const char* key, std::size_t length) {
  char bytes[16] = {};
  std::memcpy(bytes, key, length);
  return {LoadWord(bytes), LoadWord(bytes + 8)};
}

// Slots hold a row + 1, or 0 when empty; a key is looked for from the slot of
// its hash onward.
constexpr std::size_t kKeySlots = 64;
struct KeyIndex {
  unsigned char rows[kKeySlots];
  KeyWords words[kKeySlots];
};

std::size_t KeySlot(const KeyWords& words) {
  return static_cast<std::size_t>(((words.low * 0x9E3779B97F4A7C15ull) ^ words.high) >> 58);
}

KeyIndex BuildKeyIndex() {
  KeyIndex index = {};
  for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
    const KeyWords words = KeyWordsOf(g_fieldTable[row].key, g_fieldTable[row].keyLength);
    std::size_t slot = KeySlot(words);
    while (index.rows[slot] != 0) slot = (slot + 1) % kKeySlots;
    index.rows[slot] = static_cast<unsigned char>(row + 1);
    index.words[slot] = words;
  }
  return index;
}

// Built from the field table, whose rows are constant before any of this runs.
const KeyIndex g_keyIndex = BuildKeyIndex();

// Masks that keep the first n bytes (n = 0 to 16) of two words in memory order.
struct KeyMasks {
  std::uint64_t low[17];
  std::uint64_t high[17];
};

constexpr KeyMasks MakeKeyMasks() {
  KeyMasks masks = {};
  for (int n = 0; n <= 16; ++n) {
    for (int i = 0; i < 8; ++i) {
      if (i < n) masks.low[n] |= std::uint64_t{0xFF} << (8 * i);
      if (8 + i < n) masks.high[n] |= std::uint64_t{0xFF} << (8 * i);
    }
  }
  return masks;
}

constexpr KeyMasks kKeyMasks = MakeKeyMasks();

// The row whose key starts `line` (which ends by `end`) immediately followed
// by "=", or -1; `keyLength` receives the key's length. Keys hold no "=", so
// the key is the text before the line's first "=", and a line end before any
// "=" means no key.
int MatchFieldKey(const char* line, const char* end, std::size_t* keyLength) {
  KeyWords words;
  std::size_t length = 0;
  if (kWordScan && end - line >= 16) {
    const std::uint64_t low = LoadWord(line);
    const std::uint64_t high = LoadWord(line + 8);
    const std::uint64_t lowMarks = ByteMarks(low, '=') | LineEndMarks(low);
    // A mark on the last byte stands for "none in these 16 bytes": too long.
    const std::uint64_t highMarks = ByteMarks(high, '=') | LineEndMarks(high) |
                                    0x8000000000000000ull;
    length = lowMarks != 0 ? FirstMarkedByte(lowMarks) : 8 + FirstMarkedByte(highMarks);
    words = {low & kKeyMasks.low[length], high & kKeyMasks.high[length]};
  } else {
    while (length <= kLongestFieldKey && line[length] != '=' &&
           !IsLineEndByte(static_cast<unsigned char>(line[length]))) {
      ++length;
    }
    if (length > kLongestFieldKey) return -1;
    words = KeyWordsOf(line, length);
  }
  if (length == 0 || length > kLongestFieldKey || line[length] != '=') return -1;
  const KeyIndex& index = g_keyIndex;
  for (std::size_t slot = KeySlot(words); index.rows[slot] != 0; slot = (slot + 1) % kKeySlots) {
    if (index.words[slot].low == words.low && index.words[slot].high == words.high) {
      *keyLength = length;
      return index.rows[slot] - 1;
    }
  }
  return -1;
}

// Starts a new set at a header line "[name]" that ends at `end`: the byte
// after "[" begins the name and the last byte of the line, whatever it is, is
// dropped.
StoredSet* AppendSetForHeader(char* line, char* end) {
  StoredSet* set = new (std::nothrow) StoredSet();
  if (set == nullptr) return nullptr;
  end[-1] = '\0';
  set->name = line + 1;
  if (g_lastSet != nullptr) {
    g_lastSet->next = set;
  } else {
    g_firstSet = set;
  }
  g_lastSet = set;
  return set;
}

}  // namespace

char* NextLine(char* cursor, const char* end) {
  cursor = FindLineEnd(cursor, end);
  if (cursor == end) return nullptr;
  *cursor = '\0';
  for (++cursor; cursor != end && IsLineEndByte(static_cast<unsigned char>(*cursor));) ++cursor;
  return cursor != end ? cursor : nullptr;
}

int ParameterTextIsReadable(const char* bytes, std::size_t size) {
  return ClassifyText(bytes, size) != kUtf16Text;
}

int TextReadsAsParameterFile(const char* bytes, std::size_t size) {
  if (ClassifyText(bytes, size) == kUtf16Text) return 0;
  const char* const end = bytes + size;
  const char* line = bytes + (size >= kUtf8MarkSize && std::memcmp(bytes, kUtf8Mark, kUtf8MarkSize) == 0
                                  ? kUtf8MarkSize
                                  : 0);
  int lines = 0;
  for (;;) {
    while (line != end && IsLineEndByte(static_cast<unsigned char>(*line))) ++line;
    if (line == end) return lines > 0;
    const char* lineEnd = FindLineEnd(line, end);
    std::size_t keyLength = 0;
    const bool header = line[0] == '[' && lineEnd[-1] == ']' && lineEnd - line >= 2;
    if (!header && MatchFieldKey(line, lineEnd, &keyLength) < 0) return 0;
    ++lines;
    line = lineEnd;
  }
}

int ParseParameterText(char* text, std::size_t size) {
  const char* const end = text + size;
  StoredSet* current = nullptr;
  const std::size_t mark = Utf8MarkLength(text);
  if (mark != 0) g_utf8Mark = 1;
  // The first line starts at the first byte that is no line end.
  char* line = text + mark;
  while (line != end && IsLineEndByte(static_cast<unsigned char>(*line))) ++line;
  if (line == end) line = nullptr;
  while (line != nullptr) {
    char* rest = line;  // where the line end is looked for
    if (line[0] == '[') {
      char* lineEnd = FindLineEnd(line, end);
      current = AppendSetForHeader(line, lineEnd);
      if (current == nullptr) {
        FreeStoredSets();
        return 0;
      }
      rest = lineEnd;  // a header's name is already cut inside the line
    } else if (current != nullptr) {
      std::size_t keyLength = 0;
      int row = MatchFieldKey(line, end, &keyLength);
      if (row >= 0) {
        rest = line + keyLength + 1;
        current->values[row] = rest;
      }
    }
    line = NextLine(rest, end);
  }
  return 1;
}

void FreeStoredSets() {
  StoredSet* set = g_firstSet;
  while (set != nullptr) {
    StoredSet* next = set->next;
    delete set;
    set = next;
  }
  g_firstSet = nullptr;
  g_lastSet = nullptr;
  g_utf8Mark = 0;
}

int AppendParameterFileMark(ByteBuffer* out) {
  return !g_utf8Mark || AppendBytes(out, kUtf8Mark, kUtf8MarkSize);
}

StoredSet* FirstStoredSet() {
  return g_firstSet;
}

StoredSet* FindStoredSet(const char* name) {
  for (StoredSet* set = g_firstSet; set != nullptr; set = set->next) {
    if (std::strcmp(set->name, name) == 0) return set;
  }
  return nullptr;
}

int RemoveStoredSet(const char* name) {
  StoredSet* previous = nullptr;
  for (StoredSet* set = g_firstSet; set != nullptr; previous = set, set = set->next) {
    if (std::strcmp(set->name, name) != 0) continue;
    if (previous != nullptr) {
      previous->next = set->next;
    } else {
      g_firstSet = set->next;
    }
    if (g_lastSet == set) g_lastSet = previous;
    delete set;
    return 1;
  }
  return 0;
}

const StoredSet* FindSetForApply(const char* name) {
  if (g_firstSet == nullptr) {
    return std::strcmp(name, kDefaultSetName) == 0 ? &g_emptySet : nullptr;
  }
  return FindStoredSet(name);
}

int BuildParameterFileText(ByteBuffer* out, const char* name, const LiveSet* live,
                           const char* skipName) {
  if (live != nullptr) AppendLiveSection(out, name, *live);
  const StoredSet* skipped = skipName != nullptr ? FindStoredSet(skipName) : nullptr;
  for (const StoredSet* set = g_firstSet; set != nullptr; set = set->next) {
    if (set != skipped) WriteSetSection(out, set->name, *set);
  }
  return out->failed ? 0 : 1;
}

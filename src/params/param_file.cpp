#include "params/param_file.h"

#include <cstring>
#include <new>

#include "params/field_table.h"
#include "support/byte_buffer.h"
#include "support/line_scan.h"

char g_parameterFilePath[kParameterFilePathSize] = {};

namespace {

// The set list in file order, and its last record (where the parser appends).
StoredSet* g_firstSet = nullptr;
StoredSet* g_lastSet = nullptr;

// The field keys by a hash of their bytes, for the parser: slots hold a row
// + 1, or 0 when empty; a key is found by probing onward from its hash.
constexpr std::size_t kKeySlots = 64;
struct KeyIndex {
  unsigned char slots[kKeySlots];
};

constexpr std::size_t HashKeyByte(std::size_t hash, unsigned char byte) {
  return hash * 31 + byte;
}

KeyIndex BuildKeyIndex() {
  KeyIndex index = {};
  for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
    std::size_t hash = 0;
    for (std::size_t i = 0; i < g_fieldTable[row].keyLength; ++i) {
      hash = HashKeyByte(hash, static_cast<unsigned char>(g_fieldTable[row].key[i]));
    }
    std::size_t slot = hash % kKeySlots;
    while (index.slots[slot] != 0) slot = (slot + 1) % kKeySlots;
    index.slots[slot] = static_cast<unsigned char>(row + 1);
  }
  return index;
}

// Built from the field table, whose rows are constant before any of this runs.
const KeyIndex g_keyIndex = BuildKeyIndex();

// The row whose key starts `line` immediately followed by "=", or -1. Keys
// hold no "=", so the key is the text before the line's first "=".
int MatchFieldKey(const char* line) {
  const KeyIndex& index = g_keyIndex;
  std::size_t hash = 0;
  std::size_t length = 0;
  for (;; ++length) {
    const unsigned char byte = static_cast<unsigned char>(line[length]);
    if (byte == '=') break;
    if (IsLineEndByte(byte) || length == kLongestFieldKey) return -1;
    hash = HashKeyByte(hash, byte);
  }
  for (std::size_t slot = hash % kKeySlots; index.slots[slot] != 0; slot = (slot + 1) % kKeySlots) {
    const FieldDef& field = g_fieldTable[index.slots[slot] - 1];
    if (field.keyLength == length && std::memcmp(field.key, line, length) == 0) {
      return index.slots[slot] - 1;
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
  cursor = SkipLineEnds(cursor + 1, end);
  return cursor != end ? cursor : nullptr;
}

int ParseParameterText(char* text) {
  const char* const end = text + std::strlen(text);
  StoredSet* current = nullptr;
  char* line = text != end ? text : nullptr;
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
      int row = MatchFieldKey(line);
      if (row >= 0) {
        rest = line + g_fieldTable[row].keyLength + 1;
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

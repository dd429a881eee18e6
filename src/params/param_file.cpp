#include "params/param_file.h"

#include <cstring>
#include <new>

#include "params/field_table.h"
#include "support/byte_buffer.h"

char g_parameterFilePath[kParameterFilePathSize] = {};

namespace {

// The set list in file order, and its last record (where the parser appends).
StoredSet* g_firstSet = nullptr;
StoredSet* g_lastSet = nullptr;


bool IsLineEnd(char c) {
  return static_cast<unsigned char>(c) < 0x20;
}

// The row whose key starts `line` immediately followed by "=", or -1.
int MatchFieldKey(const char* line) {
  for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
    const char* key = g_fieldTable[row].key;
    std::size_t length = std::strlen(key);
    if (std::strncmp(line, key, length) == 0 && line[length] == '=') return row;
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

char* NextLine(char* cursor) {
  while (!IsLineEnd(*cursor)) ++cursor;
  if (*cursor == '\0') return nullptr;
  *cursor++ = '\0';
  while (*cursor != '\0' && IsLineEnd(*cursor)) ++cursor;
  return *cursor != '\0' ? cursor : nullptr;
}

int ParseParameterText(char* text) {
  StoredSet* current = nullptr;
  char* line = *text != '\0' ? text : nullptr;
  while (line != nullptr) {
    char* end = line;
    while (!IsLineEnd(*end)) ++end;
    if (line[0] == '[') {
      current = AppendSetForHeader(line, end);
      if (current == nullptr) {
        FreeStoredSets();
        return 0;
      }
    } else if (current != nullptr) {
      int row = MatchFieldKey(line);
      if (row >= 0) current->values[row] = line + std::strlen(g_fieldTable[row].key) + 1;
    }
    // From the line end: a header's name is already cut inside the line.
    line = NextLine(end);
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

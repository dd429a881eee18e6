#include "settings/ini.h"

#include <cstring>
#include <new>

#include "support/byte_buffer.h"
#include "support/text_kind.h"

namespace {

// The one document: its text block and its list of sections.
char* g_textBlock = nullptr;
IniSection* g_firstSection = nullptr;
IniSection* g_lastSection = nullptr;
// 1 when the parsed text began with the UTF-8 mark, which a save keeps.
int g_utf8Mark = 0;

// Every byte from 0x01 to 0x1F ends a line (CR, LF, TAB and the others); the
// zero byte ends the text.
bool IsLineEnd(char c) {
  return static_cast<unsigned char>(c) < 0x20;
}

char* CopyText(const char* text) {
  std::size_t length = std::strlen(text);
  char* copy = new (std::nothrow) char[length + 1];
  if (copy != nullptr) std::memcpy(copy, text, length + 1);
  return copy;
}

void FreeOwned(char* text, unsigned char owned) {
  if (owned) delete[] text;
}

IniSection* AppendSection(char* name, unsigned char owned) {
  IniSection* section = new (std::nothrow) IniSection{name, owned, nullptr, nullptr, nullptr, g_lastSection};
  if (section == nullptr) return nullptr;
  if (g_lastSection != nullptr) {
    g_lastSection->next = section;
  } else {
    g_firstSection = section;
  }
  g_lastSection = section;
  return section;
}

IniEntry* AppendEntry(IniSection* section, char* key, unsigned char keyOwned, char* value,
                      unsigned char valueOwned) {
  IniEntry* entry =
      new (std::nothrow) IniEntry{key, keyOwned, value, valueOwned, nullptr, section->lastEntry};
  if (entry == nullptr) return nullptr;
  if (section->lastEntry != nullptr) {
    section->lastEntry->next = entry;
  } else {
    section->firstEntry = entry;
  }
  section->lastEntry = entry;
  return entry;
}

IniSection* FindSection(const char* name) {
  for (IniSection* section = g_firstSection; section != nullptr; section = section->next) {
    if (std::strcmp(section->name, name) == 0) return section;
  }
  return nullptr;
}

// One line, already ended by a zero byte at `end` (end > line). A header
// "[name]" makes the new current section; a line with "=" is an entry of the
// current one (dropped before the first header). 0 when out of memory.
int ParseLine(char* line, char* end, IniSection** current) {
  if (line[0] == '[') {
    if (end[-1] != ']') return 1;
    end[-1] = '\0';
    *current = AppendSection(line + 1, 0);
    return *current != nullptr;
  }
  char* equals = std::strchr(line, '=');
  if (equals == nullptr || *current == nullptr) return 1;
  *equals = '\0';
  return AppendEntry(*current, line, 0, equals + 1, 0) != nullptr;
}

}  // namespace

char* IniNewBlock(std::size_t textSize) {
  if (textSize + 1 == 0) return nullptr;
  return new (std::nothrow) char[textSize + 1]();
}

void IniDeleteBlock(char* block) {
  delete[] block;
}

int IniTextIsReadable(const char* bytes, std::size_t size) {
  const TextKind kind = ClassifyText(bytes, size);
  return kind == kPlainText || kind == kUtf8MarkedText;
}

int IniParseBlock(char* block) {
  IniFree();
  if (block == nullptr) return 0;
  g_textBlock = block;
  IniSection* current = nullptr;
  const std::size_t mark = Utf8MarkLength(block);
  g_utf8Mark = mark != 0;
  char* cursor = block + mark;
  for (;;) {
    while (*cursor != '\0' && IsLineEnd(*cursor)) ++cursor;
    if (*cursor == '\0') return 1;
    char* line = cursor;
    while (!IsLineEnd(*cursor)) ++cursor;
    char* end = cursor;
    if (*cursor != '\0') *cursor++ = '\0';
    if (!ParseLine(line, end, &current)) {
      IniFree();
      return 0;
    }
  }
}

void IniFree() {
  IniSection* section = g_firstSection;
  while (section != nullptr) {
    IniEntry* entry = section->firstEntry;
    while (entry != nullptr) {
      IniEntry* next = entry->next;
      FreeOwned(entry->key, entry->keyOwned);
      FreeOwned(entry->value, entry->valueOwned);
      delete entry;
      entry = next;
    }
    IniSection* next = section->next;
    FreeOwned(section->name, section->nameOwned);
    delete section;
    section = next;
  }
  g_firstSection = nullptr;
  g_lastSection = nullptr;
  g_utf8Mark = 0;
  delete[] g_textBlock;
  g_textBlock = nullptr;
}

IniEntry* IniFindEntry(const char* section, const char* key) {
  for (IniSection* s = g_firstSection; s != nullptr; s = s->next) {
    if (std::strcmp(s->name, section) != 0) continue;
    for (IniEntry* entry = s->firstEntry; entry != nullptr; entry = entry->next) {
      if (std::strcmp(entry->key, key) == 0) return entry;
    }
  }
  return nullptr;
}

std::size_t IniGetValue(const char* section, const char* key, char* buffer, std::size_t size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  const IniEntry* entry = IniFindEntry(section, key);
  if (entry == nullptr) return 0;
  std::size_t length = std::strlen(entry->value);
  if (buffer == nullptr) return length;
  if (size == 0) return 0;
  if (length >= size) length = size - 1;
  std::memcpy(buffer, entry->value, length);
  buffer[length] = '\0';
  return length;
}

int IniSetValue(const char* section, const char* key, const char* value) {
  IniEntry* entry = IniFindEntry(section, key);
  if (entry != nullptr) {
    char* copy = CopyText(value);
    if (copy == nullptr) return 0;
    FreeOwned(entry->value, entry->valueOwned);
    entry->value = copy;
    entry->valueOwned = 1;
    return 1;
  }
  IniSection* target = FindSection(section);
  if (target == nullptr) {
    char* name = CopyText(section);
    if (name == nullptr) return 0;
    target = AppendSection(name, 1);
    if (target == nullptr) {
      delete[] name;
      return 0;
    }
  }
  char* keyCopy = CopyText(key);
  char* valueCopy = keyCopy != nullptr ? CopyText(value) : nullptr;
  if (valueCopy == nullptr || AppendEntry(target, keyCopy, 1, valueCopy, 1) == nullptr) {
    delete[] keyCopy;
    delete[] valueCopy;
    return 0;
  }
  return 1;
}

int IniWriteDocument(ByteBuffer* out) {
  if (g_utf8Mark) AppendBytes(out, kUtf8Mark, kUtf8MarkSize);
  for (const IniSection* section = g_firstSection; section != nullptr; section = section->next) {
    AppendText(out, "[");
    AppendText(out, section->name);
    AppendText(out, "]\r\n");
    for (const IniEntry* entry = section->firstEntry; entry != nullptr; entry = entry->next) {
      AppendText(out, entry->key);
      AppendText(out, "=");
      AppendText(out, entry->value);
      AppendText(out, "\r\n");
    }
  }
  return out->failed ? 0 : 1;
}

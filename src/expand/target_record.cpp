#include "expand/target_parts.h"

#include <cstring>

#include "support/dbcs.h"
#include "support/path_text.h"

TargetPath* Paths(TargetRecord* record) { return Records<TargetPath>(record->paths); }
FolderListing* Listings(TargetRecord* record) { return Records<FolderListing>(record->listings); }
ListedName* Names(TargetRecord* record) { return Records<ListedName>(record->names); }

const char* Text(const TargetRecord& record, std::size_t at) { return record.texts.data + at; }

int StartTexts(TargetRecord* record) {
  if (record->texts.size == 0 && !AppendBytes(&record->texts, "", 1)) record->failed = 1;
  return record->texts.size > 0;
}

std::size_t AddText(TargetRecord* record, const char* text) {
  if (text[0] == '\0' || !StartTexts(record)) return 0;
  const std::size_t at = record->texts.size;
  if (!AppendBytes(&record->texts, text, std::strlen(text) + 1)) {
    record->failed = 1;
    return 0;
  }
  return at;
}

namespace {

// 1 for the placeholders "*1", "*2" and "*/" at `p` of a translated text.
int IsPlaceholder(const char* p) {
  return p[0] == '*' && (p[1] == '1' || p[1] == '2' || p[1] == '/');
}

// The names a listing for the translated file text `translated` asks for:
// its name part, each placeholder a '*' (what it stands for is unknown
// here). Into `out` (kRowTextSize bytes).
void ListingMask(const char* translated, char* out) {
  const char* name = translated;
  for (const char* p = translated; *p != '\0';) {
    if (IsPlaceholder(p)) {
      p += 2;
    } else {
      if (CharLength(p) == 1 && IsSeparator(*p)) name = p + 1;
      p = NextChar(p);
    }
  }
  std::size_t length = 0;
  for (const char* p = name; *p != '\0' && length + 2 < kRowTextSize;) {
    if (IsPlaceholder(p)) {
      out[length++] = '*';
      p += 2;
      continue;
    }
    for (std::size_t i = CharLength(p); i > 0; --i) out[length++] = *p++;
  }
  out[length] = '\0';
}

}  // namespace

void AddListedName(TargetRecord* record, const FoundEntry& entry) {
  char name[kRowTextSize];
  char shortName[kShortNameSize];
  CopyPathText(name, entry.name);
  const std::size_t shortLength = strnlen(entry.shortName, kShortNameSize - 1);
  std::memcpy(shortName, entry.shortName, shortLength);
  shortName[shortLength] = '\0';
  const int longUsable = FindCharDbcs(name, '?') == nullptr;
  FoldNameCase(name);
  FoldNameCase(shortName);
  const std::size_t standsFor = AddText(record, longUsable ? name : shortName);
  if (standsFor == 0) return;
  const std::size_t listing = RecordCount<FolderListing>(record->listings) - 1;
  if (longUsable && AddRecord(record, &record->names, ListedName{standsFor, standsFor})) {
    ++Listings(record)[listing].count;
  }
  if (shortName[0] != '\0' && std::strcmp(shortName, name) != 0 &&
      AddRecord(record, &record->names, ListedName{AddText(record, shortName), standsFor})) {
    ++Listings(record)[listing].count;
  }
}

// A listing for the search on `pattern`: its folder as written and its
// name part as the mask.
int BeginRecordedListing(TargetRecord* record, const char* pattern) {
  if (!StartTexts(record)) return 0;
  char folder[kRowTextSize];
  char mask[kRowTextSize];
  CopyPathText(folder, pattern);
  char* name = folder;
  for (char* p = folder; *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) == 1 && IsSeparator(*p)) name = p + 1;
  }
  std::memcpy(mask, name, std::strlen(name) + 1);
  *name = '\0';
  FoldNameCase(mask);
  const FolderListing listing = {AddText(record, folder),
                                 0,
                                 0,
                                 AddText(record, mask),
                                 RecordCount<ListedName>(record->names),
                                 0,
                                 kListingRecorded,
                                 -1};
  return AddRecord(record, &record->listings, listing);
}

int RecordedFindFirst(void* self, const char* pattern, FoundEntry* entry) {
  TargetRecord* record = static_cast<TargetRecord*>(self);
  const SearchSource& inner = *record->innerSearch;
  const int found = inner.findFirst(inner.self, pattern, entry);
  if (BeginRecordedListing(record, pattern) && found) AddListedName(record, *entry);
  return found;
}

int RecordedFindNext(void* self, FoundEntry* entry) {
  TargetRecord* record = static_cast<TargetRecord*>(self);
  const SearchSource& inner = *record->innerSearch;
  const int found = inner.findNext(inner.self, entry);
  if (found) AddListedName(record, *entry);
  return found;
}

void RecordedClose(void* self) {
  const SearchSource& inner = *static_cast<TargetRecord*>(self)->innerSearch;
  inner.close(inner.self);
}

int RecordedExists(void* self, const char* path) {
  const SearchSource& inner = *static_cast<TargetRecord*>(self)->innerSearch;
  return inner.exists != nullptr && inner.exists(inner.self, path);
}

int MayHoldTargets(const ArgumentRows& rows, const char* folderName) {
  int live = 0;
  for (const ArgumentRow& row : rows.row) {
    char text[kRowTextSize];
    char translated[kRowTextSize];
    CopyPathText(text, row.fileText);
    if (!IsPlainFileText(text)) continue;
    DropQuotes(text);
    live += TranslateTokens(text, translated, sizeof translated, 1, folderName);
  }
  return live >= 2;
}

SearchSource RecordSearches(TargetRecord* record, const SearchSource* inner) {
  record->innerSearch = inner;
  return SearchSource{RecordedFindFirst, RecordedFindNext, RecordedClose, RecordedExists, record};
}

void BeginListTargets(TargetRecord* record, const Expansion& expansion, const ArgumentRows& rows,
                      const char* folder) {
  char text[kRowTextSize];
  CopyPathText(text, folder != nullptr ? folder : "");
  DropQuotes(text);
  record->listFolder = AddText(record, text);
  const int expanded = expansion.expandedRow;
  for (int slot = 0; slot <= kArgumentRowCount; ++slot) {
    const int input = slot == kArgumentRowCount;
    const int row = input ? expanded : slot;
    record->rowText[slot][0] = '\0';
    record->rowMask[slot] = 0;
    if (row >= kArgumentRowCount || (!input && row == expanded)) continue;
    CopyPathText(text, rows.row[row].fileText);
    if (!IsPlainFileText(text)) continue;
    DropQuotes(text);
    char translated[kRowTextSize];
    char mask[kRowTextSize];
    if (!TranslateTokens(text, translated, sizeof translated, !input, expansion.folderName.text) &&
        !input) {
      continue;
    }
    ListingMask(translated, mask);
    std::memcpy(record->rowText[slot], text, std::strlen(text) + 1);
    record->rowMask[slot] = AddText(record, mask);
    if (input) {
      // The matched file's path is this folder part and its name, as the
      // expanded row gives it to the command.
      std::size_t split = 0;
      for (const char* p = translated; *p != '\0'; p = NextChar(p)) {
        if (CharLength(p) == 1 && IsSeparator(*p)) {
          split = static_cast<std::size_t>(p + 1 - translated);
        }
      }
      std::memcpy(record->inputFolder, translated, split);
      record->inputFolder[split] = '\0';
    }
  }
}

void RecordCommandTargets(TargetRecord* record, Expansion* expansion) {
  const char* expandedText = record->rowText[kArgumentRowCount];
  if (expansion->search != kSearchOpen || expandedText[0] == '\0' || !StartTexts(record)) return;
  CaptureMatch(expansion, expandedText);
  const int command = record->commands++;
  // The targets in row order, then the input, which only a command with a
  // target needs.
  int targets = 0;
  char path[kRowTextSize];
  for (int slot = 0; slot <= kArgumentRowCount; ++slot) {
    const int input = slot == kArgumentRowCount;
    const char* text = record->rowText[slot];
    if (text[0] == '\0' || (input && targets == 0)) continue;
    if (input) {
      const std::size_t folderLength = std::strlen(record->inputFolder);
      const std::size_t nameLength = strnlen(expansion->current.name, kRowTextSize);
      if (folderLength + nameLength > kRowTextSize - 1) continue;
      std::memcpy(path, record->inputFolder, folderLength);
      std::memcpy(path + folderLength, expansion->current.name, nameLength);
      path[folderLength + nameLength] = '\0';
    } else if (!RewriteFileText(*expansion, text, path) || path[0] == '\0') {
      continue;
    }
    targets += !input;
    const TargetPath added = {command,
                              input ? kInputPathRow : slot,
                              record->listFolder,
                              AddText(record, path),
                              record->rowMask[slot],
                              -1,
                              0,
                              0,
                              0,
                              0};
    AddRecord(record, &record->paths, added);
  }
}

void FreeTargetRecord(TargetRecord* record) {
  FreeByteBuffer(&record->texts);
  FreeByteBuffer(&record->paths);
  FreeByteBuffer(&record->listings);
  FreeByteBuffer(&record->names);
  FreeByteBuffer(&record->marks);
  *record = TargetRecord{};
}

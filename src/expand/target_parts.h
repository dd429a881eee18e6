// The parts of the target check (expand/target_check.h) that its recording
// (target_record.cpp) and its check (target_check.cpp) share: the record's
// paths, listings, names and texts in their byte buffers.
#pragma once

#include <cstddef>

#include "expand/target_check.h"

TargetPath* Paths(TargetRecord* record);
FolderListing* Listings(TargetRecord* record);
ListedName* Names(TargetRecord* record);

// Appends `item` to `buffer`: 1, or 0 with the record failed when memory ran out.
template <typename T>
int AddRecord(TargetRecord* record, ByteBuffer* buffer, const T& item) {
  if (AppendBytes(buffer, &item, sizeof item)) return 1;
  record->failed = 1;
  return 0;
}

// The text at offset `at` of the record's texts.
const char* Text(const TargetRecord& record, std::size_t at);

// The texts start with the empty text, so that offset 0 is "": 1 once they do.
int StartTexts(TargetRecord* record);

// Keeps `text` and gives its offset; 0 (the empty text) for "" or when
// memory ran out.
std::size_t AddText(TargetRecord* record, const char* text);

// 1 for '\' and '/'.
inline int IsSeparator(char c) { return c == '\\' || c == '/'; }

// Adds a name a search delivered to the newest listing: keyed by its long
// name and by its short name, standing for the long name, or for the short
// name when the code page cannot hold the long one.
void AddListedName(TargetRecord* record, const FoundEntry& entry);

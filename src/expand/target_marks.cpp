#include "expand/target_parts.h"

#include <algorithm>
#include <cstring>

#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/path_text.h"

namespace {

// ---- The check ----

// What one check keeps while it goes through the paths.
struct Checker {
  TargetRecord* record;
  const TargetPlatform* platform;
  char working[kRowTextSize];  // the program's own folder
  std::size_t baseFolder;      // the folder text whose full path `base` holds
  int baseValid;               // -1 before the first folder, 0 when `base` could not be told
  char base[kRowTextSize];
  int lastListing[kArgumentRowCount + 1];  // per row (the input's first), or -1
  // Per row (the input's first): the folder part of its last path as
  // recorded, and the full path and key of that folder, or "" when it could
  // not be told. The paths of one row mostly share it.
  struct {
    std::size_t commandFolder;
    std::size_t length;  // of `written`; kRowTextSize: nothing cached
    char written[kRowTextSize];
    char full[kRowTextSize];
    char key[kRowTextSize];
  } folders[kArgumentRowCount + 1];
};

// The full path of the folder a command runs in, as the command sees it;
// "" when it cannot be told (then only absolute paths resolve).
const char* CommandBase(Checker* checker, std::size_t folder) {
  if (checker->baseFolder != folder || checker->baseValid < 0) {
    checker->baseFolder = folder;
    const char* given = Text(*checker->record, folder);
    checker->baseValid =
        ResolvePath(checker->working, given[0] != '\0' ? given : ".", checker->base);
    if (!checker->baseValid) checker->base[0] = '\0';
  }
  return checker->base;
}

// The names of a listing, sorted by key.
void SortNames(TargetRecord* record, const FolderListing& listing) {
  ListedName* first = Names(record) + listing.first;
  const char* texts = record->texts.data;
  std::sort(first, first + listing.count, [texts](const ListedName& a, const ListedName& b) {
    return std::strcmp(texts + a.key, texts + b.key) < 0;
  });
}

// Asks the system for the listing's folder (its long form) and, for a
// listing the check makes, for its names that `searchMask` matches (null:
// the file search delivered them already).
void PrepareListing(Checker* checker, std::size_t index, const char* searchMask) {
  TargetRecord* record = checker->record;
  char longFolder[kRowTextSize];
  if (!checker->platform->longFolder(Text(*record, Listings(record)[index].folder), longFolder)) {
    Listings(record)[index].state = kListingMissing;
    return;
  }
  char key[kRowTextSize];
  std::memcpy(key, longFolder, std::strlen(longFolder) + 1);
  FoldNameCase(key);
  Listings(record)[index].longKey = AddText(record, key);
  // Listings of one folder on disk (asked by other names) stand for it as one.
  Listings(record)[index].sameFolder = static_cast<int>(index);
  for (std::size_t other = 0; other < RecordCount<FolderListing>(record->listings); ++other) {
    const FolderListing& ready = Listings(record)[other];
    if (ready.state == kListingReady && std::strcmp(Text(*record, ready.longKey), key) == 0) {
      Listings(record)[index].sameFolder = ready.sameFolder;
      break;
    }
  }
  if (searchMask != nullptr) {
    char pattern[kJoinedPathSize];
    JoinPath(pattern, sizeof pattern, longFolder, searchMask);
    const SearchSource& source = checker->platform->search;
    FoundEntry entry{};
    if (source.findFirst(source.self, pattern, &entry)) {
      do {
        AddListedName(record, entry);
      } while (source.findNext(source.self, &entry));
      source.close(source.self);
    }
  }
  SortNames(record, Listings(record)[index]);
  Listings(record)[index].state = kListingReady;
}

int Covers(const TargetRecord& record, const FolderListing& listing, const char* folderKey,
           const char* nameKey) {
  return listing.folderKey != 0 && std::strcmp(Text(record, listing.folderKey), folderKey) == 0 &&
         NameMatchesMask(Text(record, listing.mask), nameKey);
}

// The listing that holds `nameKey` if it is in the folder: one made already
// (by the file search or for another path), else a new one asking for the
// path's mask, or for every name when the mask would not cover it. -1 when
// memory ran out.
int FindListing(Checker* checker, int slot, const char* folder, const char* folderKey,
                const char* nameKey, const char* mask) {
  TargetRecord* record = checker->record;
  const int count = static_cast<int>(RecordCount<FolderListing>(record->listings));
  int found = -1;
  const int last = checker->lastListing[slot];
  if (last >= 0 && Covers(*record, Listings(record)[last], folderKey, nameKey)) found = last;
  for (int i = 0; i < count && found < 0; ++i) {
    if (Covers(*record, Listings(record)[i], folderKey, nameKey)) found = i;
  }
  if (found >= 0) {
    if (Listings(record)[found].state == kListingRecorded) {
      PrepareListing(checker, static_cast<std::size_t>(found), nullptr);
    }
    return checker->lastListing[slot] = found;
  }
  // The mask as written (the texts it lies in grow below) and as names compare.
  char written[kRowTextSize];
  char maskKey[kRowTextSize];
  CopyPathText(written, mask);
  CopyPathText(maskKey, mask);
  FoldNameCase(maskKey);
  const int covered = NameMatchesMask(maskKey, nameKey);
  const FolderListing listing = {AddText(record, folder),
                                 AddText(record, folderKey),
                                 0,
                                 AddText(record, covered ? maskKey : "*"),
                                 RecordCount<ListedName>(record->names),
                                 0,
                                 kListingRecorded,
                                 -1};
  if (!AddRecord(record, &record->listings, listing)) return -1;
  // The search gets the mask as written, in case the system's matching
  // minds the case.
  PrepareListing(checker, static_cast<std::size_t>(count), covered ? written : "*");
  return checker->lastListing[slot] = count;
}

// The name a listing's key stands for, or 0 when the listing lacks it.
std::size_t LookUpName(const TargetRecord& record, const FolderListing& listing,
                       const char* nameKey) {
  const ListedName* first = Records<ListedName>(record.names) + listing.first;
  const ListedName* end = first + listing.count;
  const char* texts = record.texts.data;
  const ListedName* at =
      std::lower_bound(first, end, nameKey, [texts](const ListedName& item, const char* key) {
        return std::strcmp(texts + item.key, key) < 0;
      });
  return at != end && std::strcmp(texts + at->key, nameKey) == 0 ? at->name : 0;
}

// 1 when `name` (a name without separators) resolves as itself with its
// trailing dots and blanks dropped: not "." or "..", not only dots and
// blanks, not relative to a drive's own folder.
int IsPlainName(const char* name, std::size_t length, int folderWritten) {
  std::size_t kept = length;
  while (kept > 0 && (name[kept - 1] == '.' || name[kept - 1] == ' ')) --kept;
  return kept > 0 && (folderWritten || std::memchr(name, ':', length) == nullptr);
}

// The full path of `path` as its command sees it into `full`, the length of
// its folder part (with the backslash of a root) into `*folderLength`, and
// that folder's key into `folderKey`. 0 when it cannot be told.
int LocatePath(Checker* checker, const TargetPath& path, char* full, std::size_t* folderLength,
               char* folderKey) {
  const char* written = Text(*checker->record, path.path);
  std::size_t split = 0;  // after the last separator
  for (const char* p = written; *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) == 1 && IsSeparator(*p)) split = static_cast<std::size_t>(p + 1 - written);
  }
  const char* name = written + split;
  const std::size_t nameLength = std::strlen(name);
  if (!IsPlainName(name, nameLength, split > 0)) {
    // Resolved whole, then cut at its last backslash.
    if (!ResolvePath(CommandBase(checker, path.folder), written, full)) return 0;
    const char* cut = FindLastCharDbcs(full, '\\');
    *folderLength = static_cast<std::size_t>(cut - full) + (cut > full && cut[-1] == ':');
    std::memcpy(folderKey, full, *folderLength);
    folderKey[*folderLength] = '\0';
    FoldNameCase(folderKey);
    return 1;
  }
  auto& folder = checker->folders[path.row + 1];
  if (folder.length != split || folder.commandFolder != path.folder ||
      std::memcmp(folder.written, written, split) != 0) {
    folder.commandFolder = path.folder;
    folder.length = split;
    std::memcpy(folder.written, written, split);
    folder.written[split] = '\0';
    if (!ResolvePath(CommandBase(checker, path.folder), split > 0 ? folder.written : ".",
                     folder.full)) {
      folder.full[0] = '\0';
    }
    std::memcpy(folder.key, folder.full, std::strlen(folder.full) + 1);
    FoldNameCase(folder.key);
  }
  std::size_t length = std::strlen(folder.full);
  if (length == 0) return 0;
  std::size_t kept = nameLength;
  while (name[kept - 1] == '.' || name[kept - 1] == ' ') --kept;
  const int root = folder.full[length - 1] == '\\';
  if (length + !root + kept > kRowTextSize - 1) return 0;
  std::memcpy(full, folder.full, length);
  *folderLength = length;
  if (!root) full[length++] = '\\';
  std::memcpy(full + length, name, kept);
  full[length + kept] = '\0';
  std::memcpy(folderKey, folder.key, std::strlen(folder.key) + 1);
  return 1;
}

// Finds one path on disk: the folder it lies in, its name as names compare
// (the long name when it exists) and whether it exists. Leaves a path that
// cannot be told without a folder.
void CheckPath(Checker* checker, std::size_t index) {
  TargetRecord* record = checker->record;
  const TargetPath path = Paths(record)[index];
  char full[kRowTextSize];
  char folderKey[kRowTextSize];
  std::size_t folderLength = 0;
  if (!LocatePath(checker, path, full, &folderLength, folderKey)) return;
  const char* start = full + folderLength + (full[folderLength] == '\\');
  char name[kRowTextSize];
  std::memcpy(name, start, std::strlen(start) + 1);
  // A name still holding a wildcard (a character the code page lacks shows
  // as '?') names no one file.
  if (name[0] == '\0' || FindAnyCharDbcs(name, "?*") != nullptr) return;
  full[folderLength] = '\0';
  FoldNameCase(name);
  const int listing =
      FindListing(checker, path.row + 1, full, folderKey, name, Text(*record, path.mask));
  if (listing < 0 || Listings(record)[listing].state != kListingReady) return;
  const int sameFolder = Listings(record)[listing].sameFolder;
  const std::size_t found = LookUpName(*record, Listings(record)[listing], name);
  const std::size_t nameAt = found != 0 ? found : AddText(record, name);
  TargetPath& checked = Paths(record)[index];
  checked.sameFolder = sameFolder;
  checked.name = nameAt;
  checked.exists = found != 0;
}

// The full paths of the first marked targets, for the question.
void ShowMarkedTargets(Checker* checker) {
  TargetRecord* record = checker->record;
  int shown = 0;
  for (std::size_t i = 0;
       i < RecordCount<TargetPath>(record->paths) && shown < kTargetQuestionLines; ++i) {
    const TargetPath path = Paths(record)[i];
    char full[kRowTextSize];
    char folderKey[kRowTextSize];
    std::size_t folderLength = 0;
    if (path.marks == 0 || !LocatePath(checker, path, full, &folderLength, folderKey)) continue;
    Paths(record)[i].shown = AddText(record, full);
    ++shown;
  }
}

// 1 when two checked paths name one file.
int SameFile(const char* texts, const TargetPath& a, const TargetPath& b) {
  return a.sameFolder == b.sameFolder && std::strcmp(texts + a.name, texts + b.name) == 0;
}

// The marks of the targets and of their commands.
void MarkPaths(TargetRecord* record) {
  const std::size_t count = RecordCount<TargetPath>(record->paths);
  TargetPath* paths = Paths(record);
  const char* texts = record->texts.data;
  // A target that exists, or is its command's input (the last path of the
  // command).
  ByteBuffer order;
  for (std::size_t first = 0, end = 0; first < count; first = end) {
    while (end < count && paths[end].command == paths[first].command) ++end;
    const TargetPath& input = paths[end - 1];
    const int hasInput = input.row == kInputPathRow && input.sameFolder >= 0;
    for (std::size_t i = first; i < end; ++i) {
      TargetPath& path = paths[i];
      if (path.row == kInputPathRow || path.sameFolder < 0) continue;
      path.marks = path.exists ? kMarkOverwrite : 0;
      if (hasInput && SameFile(texts, input, path)) path.marks |= kMarkSameAsInput;
      if (!AppendBytes(&order, &i, sizeof i)) record->failed = 1;
    }
  }
  // Targets that more than one command writes: one file's targets side by
  // side.
  std::size_t* first = Records<std::size_t>(order);
  std::size_t* end = first + RecordCount<std::size_t>(order);
  std::sort(first, end, [paths, texts](std::size_t a, std::size_t b) {
    if (paths[a].sameFolder != paths[b].sameFolder) {
      return paths[a].sameFolder < paths[b].sameFolder;
    }
    const int byName = std::strcmp(texts + paths[a].name, texts + paths[b].name);
    return byName != 0 ? byName < 0 : paths[a].command < paths[b].command;
  });
  for (std::size_t* run = first; run != end;) {
    std::size_t* next = run + 1;
    while (next != end && SameFile(texts, paths[*run], paths[*next])) ++next;
    if (paths[*run].command != paths[next[-1]].command) {
      for (std::size_t* p = run; p != next; ++p) paths[*p].marks |= kMarkDuplicate;
    }
    run = next;
  }
  FreeByteBuffer(&order);
  unsigned char* marks = reinterpret_cast<unsigned char*>(record->marks.data);
  for (std::size_t i = 0; i < count; ++i) {
    marks[paths[i].command] |= static_cast<unsigned char>(paths[i].marks);
  }
}

void CountMarks(TargetRecord* record) {
  const unsigned char* marks = reinterpret_cast<const unsigned char*>(record->marks.data);
  for (int command = 0; command < record->commands; ++command) {
    for (int kind = 0; kind < kTargetMarkKinds; ++kind) {
      record->counts[kind] += (marks[command] >> kind) & 1;
    }
    record->marked += marks[command] != 0;
  }
}

}  // namespace

void CheckTargets(TargetRecord* record, const TargetPlatform& platform) {
  FreeByteBuffer(&record->marks);
  record->marked = 0;
  for (int& count : record->counts) count = 0;
  if (record->commands == 0 || record->failed || RecordCount<TargetPath>(record->paths) == 0) {
    return;
  }
  if (ExtendBuffer(&record->marks, static_cast<std::size_t>(record->commands)) == nullptr) return;
  std::memset(record->marks.data, 0, record->marks.size);

  Checker checker{};
  checker.record = record;
  checker.platform = &platform;
  platform.workingFolder(checker.working);
  checker.baseValid = -1;
  for (int& last : checker.lastListing) last = -1;
  for (auto& folder : checker.folders) folder.length = kRowTextSize;
  // The folders the file search looked in, seen from the program's folder.
  for (std::size_t i = 0; i < RecordCount<FolderListing>(record->listings); ++i) {
    char full[kRowTextSize];
    const char* folder = Text(*record, Listings(record)[i].folder);
    if (!ResolvePath(checker.working, folder[0] != '\0' ? folder : ".", full)) continue;
    const std::size_t fullAt = AddText(record, full);
    FoldNameCase(full);
    const std::size_t keyAt = AddText(record, full);
    Listings(record)[i].folder = fullAt;
    Listings(record)[i].folderKey = keyAt;
  }
  for (std::size_t i = 0; i < RecordCount<TargetPath>(record->paths); ++i) CheckPath(&checker, i);
  MarkPaths(record);
  ShowMarkedTargets(&checker);
  if (record->failed) {
    std::memset(record->marks.data, 0, record->marks.size);
    return;
  }
  CountMarks(record);
}

int CommandMarks(const TargetRecord& record, int command) {
  if (command < 0 || static_cast<std::size_t>(command) >= record.marks.size) return 0;
  return reinterpret_cast<const unsigned char*>(record.marks.data)[command];
}

void FormatMarkNames(int marks, char* out, std::size_t size) {
  LineWriter writer{out, size, 0, 0};
  for (int kind = 0; kind < kTargetMarkKinds; ++kind) {
    if ((marks & (1 << kind)) == 0) continue;
    if (writer.length > 0) Put(&writer, kMarkJoiner);
    Put(&writer, kTargetMarkNames[kind]);
  }
  FinishLine(&writer);
}

void FormatTargetQuestion(const TargetRecord& record, char* out, std::size_t size) {
  LineWriter writer{out, size, 0, 0};
  char line[kTargetQuestionSize];
  FormatText(line, sizeof line, kTargetQuestionFormat, record.marked);
  Put(&writer, line);
  const TargetPath* paths = Records<TargetPath>(record.paths);
  int listed = 0;
  for (std::size_t i = 0;
       i < RecordCount<TargetPath>(record.paths) && listed < kTargetQuestionLines; ++i) {
    if (paths[i].row == kInputPathRow || paths[i].marks == 0) continue;
    char names[64];
    FormatMarkNames(paths[i].marks, names, sizeof names);
    FormatText(line, sizeof line, "\n%s: %s", names, Text(record, paths[i].shown));
    Put(&writer, line);
    ++listed;
  }
  Put(&writer, "\n");
  Put(&writer, kTargetQuestionEnd);
  FinishLine(&writer);
}

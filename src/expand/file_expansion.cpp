#include "expand/file_expansion.h"

#include <cstring>

#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/path_split.h"

namespace {

// The texts written by the translation and the rewriting, with their limit.
struct TextWriter {
  char* out;
  std::size_t limit;  // characters the text may hold
  std::size_t length;
  int doublePercent;  // 1: a '%' found on disk is written twice (batch lines)
  char* found = nullptr;  // when not null, 1 for each byte of `out` found on disk
};

// Writes one byte (`found`: it comes from disk). Returns 0, writing
// nothing, when the text is full.
int Put(TextWriter* writer, char c, int found = 0) {
  if (writer->length >= writer->limit) return 0;
  if (writer->found != nullptr) writer->found[writer->length] = static_cast<char>(found);
  writer->out[writer->length++] = c;
  writer->out[writer->length] = '\0';
  return 1;
}

// Writes the character at `p` (one or two bytes). When it comes from the
// file system (`found`) and the text is for a batch line, a '%' is written
// twice so that cmd hands the program the name as it is.
int PutChar(TextWriter* writer, const char* p, int found) {
  std::size_t step = CharLength(p);
  for (std::size_t i = 0; i < step; ++i) {
    if (!Put(writer, p[i], found)) return 0;
  }
  if (step == 1 && *p == '%' && found && writer->doublePercent) return Put(writer, '%', found);
  return 1;
}

// Writes the whole of `text`, character by character. Returns 0 when it did
// not fit.
int PutText(TextWriter* writer, const char* text, int found) {
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    if (!PutChar(writer, p, found)) return 0;
  }
  return 1;
}

// 1 when `text` holds a backslash followed by at least one character.
int HasDirectoryAndName(const char* text) {
  const char* lastBackslash = FindLastCharDbcs(text, '\\');
  return lastBackslash != nullptr && lastBackslash[1] != '\0';
}

void CloseOpenSearch(Expansion* expansion) {
  if (expansion->search == kSearchOpen && expansion->source != nullptr) {
    expansion->source->close(expansion->source->self);
  }
  expansion->search = kSearchNone;
  expansion->matchCaptured = 0;
}

// Ends the texts of an entry the source delivered within their buffers.
void BoundEntry(FoundEntry* entry) {
  entry->name[kRowTextSize - 1] = '\0';
  entry->shortName[kShortNameSize - 1] = '\0';
}

// Fetches the next entry of the open search; after the last one the search
// is exhausted and closed. Returns 1 when an entry came.
int FetchNextEntry(Expansion* expansion) {
  expansion->matchCaptured = 0;
  if (expansion->source->findNext(expansion->source->self, &expansion->current)) {
    BoundEntry(&expansion->current);
    return 1;
  }
  expansion->exhausted = 1;
  CloseOpenSearch(expansion);
  return 0;
}

// Position of the character after the first `count` characters of `text`,
// or null when the text is shorter.
const char* SkipCharacters(const char* text, std::size_t count) {
  const char* p = text;
  for (std::size_t i = 0; i < count; ++i) {
    if (*p == '\0') return nullptr;
    p = NextChar(p);
  }
  return p;
}

// Where the bytes of a translated text came from: fromFolder[i] is 1 for a
// byte that the token "*/" brought in from the current folder name.
struct Translated {
  char text[kRowTextSize + 1];
  char fromFolder[kRowTextSize + 1];
  std::size_t existing;  // the bytes at its start that name a folder or file on disk
};

// 1 when the translated character at `p` came from a name found on disk.
int FoundOnDisk(const Translated& translated, const FolderName& folder, const char* p) {
  const std::size_t at = static_cast<std::size_t>(p - translated.text);
  return at < translated.existing || (folder.fromDisk && translated.fromFolder[at]);
}

// Writes a translated text that is not rewritten against a match.
int PutTranslated(TextWriter* writer, const Translated& translated, const FolderName& folder) {
  for (const char* p = translated.text; *p != '\0'; p = NextChar(p)) {
    if (!PutChar(writer, p, FoundOnDisk(translated, folder, p))) return 0;
  }
  return 1;
}

// Writes a translated text whose file search has no current match: the
// wildcards stay for the called program, the placeholders become empty.
int PutWithoutMatch(TextWriter* writer, const Translated& translated, const FolderName& folder) {
  for (const char* p = translated.text; *p != '\0';) {
    if (p[0] == '*' && (p[1] == '1' || p[1] == '2' || p[1] == '/')) {
      if (p[1] == '/' && !PutText(writer, folder.text, folder.fromDisk)) return 0;
      p += 2;
      continue;
    }
    if (!PutChar(writer, p, FoundOnDisk(translated, folder, p))) return 0;
    p = NextChar(p);
  }
  return 1;
}

// Writes a translated live text against the current match, like the target
// of a copy command: ordinary characters stand in for the match's characters
// at the same place, '?' takes the match's character, '*' the rest of the
// base name or extension; '\' and '/' restart at the base name, '.' moves to
// the extension. The cursor moves by whole characters. What comes from the
// match is text found on disk.
int PutWithMatch(TextWriter* writer, const Translated& translated, const Expansion& expansion) {
  const FolderName& folder = expansion.folderName;
  const char* cursor = expansion.baseName;
  for (const char* p = translated.text; *p != '\0';) {
    std::size_t step = CharLength(p);
    if (step == 1 && (*p == '\\' || *p == '/')) {
      cursor = expansion.baseName;
    } else if (step == 1 && *p == '.') {
      cursor = expansion.extension;
    } else if (step == 1 && *p == '?') {
      if (*cursor == '\0') {
        if (!Put(writer, '?')) return 0;
      } else {
        if (!PutChar(writer, cursor, 1)) return 0;
        cursor = NextChar(cursor);
      }
      ++p;
      continue;
    } else if (step == 1 && *p == '*') {
      if (p[1] == '1' || p[1] == '2') {
        if (!PutText(writer, p[1] == '1' ? expansion.capture1 : expansion.extension, 1)) {
          return 0;
        }
        p += 2;
      } else if (p[1] == '/') {
        if (!PutText(writer, folder.text, folder.fromDisk)) return 0;
        p += 2;
      } else {
        if (!PutText(writer, cursor, 1)) return 0;
        cursor += std::strlen(cursor);
        ++p;
      }
      continue;
    } else {
      cursor = NextChar(cursor);
    }
    if (!PutChar(writer, p, FoundOnDisk(translated, folder, p))) return 0;
    p += step;
  }
  return 1;
}

// The translation of TranslateTokens, noting in `fromFolder` (capacity
// bytes, or null) which bytes of `out` the current folder name brought in.
int TranslateMarked(const char* text, char* out, std::size_t capacity, int countPlaceholders,
                    const char* folderName, char* fromFolder) {
  if (folderName == nullptr) folderName = "";
  if (capacity == 0) return 0;
  out[0] = '\0';
  if (capacity == 1) return 0;
  TextWriter writer{out, capacity - 1, 0, 0};
  int live = 0;
  auto emit = [&writer, fromFolder](char c, char folder) {
    if (Put(&writer, c) && fromFolder != nullptr) fromFolder[writer.length - 1] = folder;
  };
  // Every write is followed by the test for a full text, which ends the
  // translation as an overflow even when the text ends there.
  auto full = [&writer]() { return writer.length >= writer.limit; };
  for (const char* p = text; *p != '\0';) {
    if (p[0] == '*') {
      char next = p[1];
      if (next == '*' || next == '?') {
        emit(next, 0);
        p += 2;
      } else if (next == '/' && folderName[0] != '\0') {
        for (const char* f = folderName; *f != '\0' && !full(); ++f) emit(*f, 1);
        p += 2;
      } else {
        emit('*', 0);
        ++p;
        if (next == '1' || next == '2') {
          if (countPlaceholders) live = 1;
        } else if (next != '/') {
          live = 1;
        }
      }
    } else {
      if (p[0] == '?') live = 1;
      emit(*p, 0);
      ++p;
    }
    if (full()) return 0;
  }
  return live;
}

}  // namespace

void SetFolderName(FolderName* name, const char* directory, int fromDisk) {
  name->text[0] = '\0';
  name->fromDisk = 0;
  if (directory == nullptr || directory[0] == '\0') return;
  char text[kRowTextSize];
  CopyPathText(text, directory);
  CutToWholeCharacters(text);
  RemoveEnclosingQuotes(text);
  char base[kMaxFname];
  char extension[kMaxExt];
  SplitPath(text, nullptr, nullptr, base, extension);
  if (FormatText(name->text, sizeof name->text, "%s%s", base, extension) < 0) {
    CutToWholeCharacters(name->text);
  }
  name->fromDisk = fromDisk;
}

int TranslateTokens(const char* text, char* out, std::size_t capacity, int countPlaceholders,
                    const char* folderName) {
  return TranslateMarked(text, out, capacity, countPlaceholders, folderName, nullptr);
}

int ChooseExpandedRow(const char (*fileTexts)[kRowTextSize], const char* baseDirectory,
                      char* pattern, const char* folderName) {
  pattern[0] = '\0';
  for (int row = 0; row < kArgumentRowCount; ++row) {
    char text[kRowTextSize];
    CopyPathText(text, fileTexts[row]);
    if (text[0] == '\0' || !IsPlainFileText(text) || !IsOnePath(text)) continue;
    // A path picked with the file pickers stands in double quotes when it
    // holds a blank, and a folder may be quoted alone; no name holds a
    // quote, so the search takes the path without them.
    DropQuotes(text);

    char joined[kJoinedPathSize];
    const char* candidate = text;
    if (!HasDirectoryAndName(text)) {
      if (baseDirectory == nullptr || baseDirectory[0] == '\0') continue;
      JoinPath(joined, sizeof joined, baseDirectory, text);
      if (!HasDirectoryAndName(joined)) continue;
      candidate = joined;
    }
    if (!TranslateTokens(candidate, pattern, kRowTextSize, 0, folderName)) continue;
    return row;
  }
  pattern[0] = '\0';
  return kNoExpandedRow;
}

int BeginFileExpansion(Expansion* expansion, const char (*fileTexts)[kRowTextSize],
                       const char* baseDirectory, const SearchSource* source) {
  CloseOpenSearch(expansion);
  expansion->expandedRow = kNoExpandedRow;
  expansion->exhausted = 0;
  expansion->matchCaptured = 0;
  expansion->baseName[0] = '\0';
  expansion->capture1[0] = '\0';
  expansion->extension[0] = '\0';
  expansion->source = source;

  char pattern[kRowTextSize];
  int row = ChooseExpandedRow(fileTexts, baseDirectory, pattern, expansion->folderName.text);
  if (row == kNoExpandedRow) return 0;
  expansion->expandedRow = row;
  expansion->current.attributes = 0;
  expansion->current.name[0] = '\0';
  if (source != nullptr && source->findFirst(source->self, pattern, &expansion->current)) {
    BoundEntry(&expansion->current);
    expansion->search = kSearchOpen;
  } else {
    expansion->search = kSearchNoMatch;
  }
  return 1;
}

int SearchPreStep(Expansion* expansion, int form) {
  if (expansion->search == kSearchNoMatch) return 0;
  if (expansion->search == kSearchOpen) {
    // Folders never yield a command, nor files without a usable name.
    FoundEntry& entry = expansion->current;
    while (IsFolderEntry(entry) ||
           !UseFoundName(&expansion->leftOut, entry.name, entry.shortName) ||
           !UseNameInForm(&expansion->leftOut, entry.name, form)) {
      if (!FetchNextEntry(expansion)) break;
    }
  }
  return expansion->exhausted ? 0 : 1;
}

void SearchPostStep(Expansion* expansion) {
  if (expansion->search == kSearchOpen) FetchNextEntry(expansion);
}

int FileExpansionEnded(const Expansion& expansion) {
  return expansion.search == kSearchNoMatch || expansion.exhausted || expansion.nameLeftOut;
}

void EndFileExpansion(Expansion* expansion) {
  CloseOpenSearch(expansion);
  expansion->expandedRow = kNoExpandedRow;
  expansion->exhausted = 0;
}

void CaptureMatch(Expansion* expansion, const char* fileText) {
  // Double quotes are no part of the name.
  char unquoted[kRowTextSize];
  CopyPathText(unquoted, fileText);
  DropQuotes(unquoted);
  char namePart[kMaxFname];
  SplitPath(unquoted, nullptr, nullptr, namePart, nullptr);

  const char* name = expansion->current.name;
  const char* lastDot = FindLastCharDbcs(name, '.');
  std::size_t baseLength = lastDot != nullptr ? static_cast<std::size_t>(lastDot - name)
                                              : strnlen(name, kRowTextSize - 1);
  std::memcpy(expansion->baseName, name, baseLength);
  expansion->baseName[baseLength] = '\0';
  CopyPathText(expansion->extension, lastDot != nullptr ? lastDot + 1 : "");

  // Capture 1 starts in the match where the name part's first '*' stands,
  // counted in characters; empty when the base name is shorter than that.
  expansion->capture1[0] = '\0';
  const char* star = FindCharDbcs(namePart, '*');
  if (star != nullptr) {
    std::size_t before = 0;
    for (const char* p = namePart; p < star; p = NextChar(p)) ++before;
    const char* start = SkipCharacters(expansion->baseName, before);
    if (start != nullptr) CopyPathText(expansion->capture1, start);
  }
  expansion->matchCaptured = 1;
}

int HoldsFolderNameToken(const char* fileText) {
  for (const char* p = fileText; *p != '\0'; ++p) {
    if (p[0] != '*') continue;
    if (p[1] == '/') return 1;
    if (p[1] == '*' || p[1] == '?') ++p;  // an escaped '*' or '?' starts no token
  }
  return 0;
}

int WriteMatchedPath(const Expansion& expansion, const char* fileText, char* out, int form) {
  out[0] = '\0';
  Translated translated{};
  TranslateMarked(fileText, translated.text, sizeof translated.text, 1,
                  expansion.folderName.text, translated.fromFolder);
  char* end = translated.text;  // after the last separator
  for (char* p = translated.text; *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) == 1 && (*p == '\\' || *p == '/')) end = p + 1;
  }
  *end = '\0';
  if (IsBatchForm(form) && expansion.source != nullptr) {
    translated.existing =
        PercentPrefixOnDisk(*expansion.source, expansion.commandFolder, translated.text);
  }
  char result[kRowTextSize];
  result[0] = '\0';
  TextWriter writer{result, kRowTextSize - 1, 0, IsBatchForm(form)};
  if (!PutTranslated(&writer, translated, expansion.folderName) ||
      !PutText(&writer, expansion.current.name, 1)) {
    return 0;
  }
  std::memcpy(out, result, writer.length + 1);
  return 1;
}

int RewriteOnePath(Expansion* expansion, const char* fileText, char* out, int form) {
  if (!RewriteFileText(*expansion, fileText, out, kCommandLineForm)) return 0;
  // A '%' in the part that is on disk belongs to a name, which cmd would
  // change when it reads the program's arguments again.
  if (CmdChangedCharacters(form)[0] != '\0' && expansion->source != nullptr &&
      PercentPrefixOnDisk(*expansion->source, expansion->commandFolder, out) > 0) {
    UseNameInForm(&expansion->leftOut, out, form);
    expansion->nameLeftOut = 1;
    return 0;
  }
  return RewriteFileText(*expansion, fileText, out, form);
}

namespace {

// RewriteFileText into `writer` (its `out` holds kRowTextSize bytes);
// `onePath`: the part of the text on disk is a name.
int RewriteWith(const Expansion& expansion, const char* fileText, TextWriter* writer, int onePath) {
  writer->out[0] = '\0';
  if (fileText[0] == '\0') return 1;  // most rows are empty: nothing to translate
  // One byte more than the result may hold: a translation that overflows
  // it is longer than any usable file text.
  Translated translated{};
  int live = TranslateMarked(fileText, translated.text, sizeof translated.text, 1,
                             expansion.folderName.text, translated.fromFolder);
  if (onePath && writer->doublePercent && expansion.source != nullptr) {
    translated.existing =
        PercentPrefixOnDisk(*expansion.source, expansion.commandFolder, translated.text);
  }
  if (!live && std::strlen(translated.text) >= kRowTextSize) return 0;
  if (!live) return PutTranslated(writer, translated, expansion.folderName);
  if (expansion.search == kSearchOpen && expansion.matchCaptured) {
    return PutWithMatch(writer, translated, expansion);
  }
  return PutWithoutMatch(writer, translated, expansion.folderName);
}

// Writes the word of `text` from `from` to `to` into `writer`: as it is,
// or, when a character of it found on disk is one of `triggers`, without
// its quotes and enclosed in one pair, the backslashes that end it doubled.
int PutWord(TextWriter* writer, const char* text, const char* found, std::size_t from,
            std::size_t to, const char* triggers) {
  int quote = 0;
  for (std::size_t i = from; i < to; i += CharLength(text + i)) {
    if (found[i] && CharLength(text + i) == 1 && std::strchr(triggers, text[i]) != nullptr) quote = 1;
  }
  if (quote && !Put(writer, '"')) return 0;
  std::size_t backslashes = 0;
  for (std::size_t i = from; i < to; i += CharLength(text + i)) {
    if (quote && text[i] == '"') continue;
    backslashes = CharLength(text + i) == 1 && text[i] == '\\' ? backslashes + 1 : 0;
    for (std::size_t b = 0; b < CharLength(text + i); ++b) {
      if (!Put(writer, text[i + b])) return 0;
    }
  }
  for (std::size_t i = 0; quote && i < backslashes; ++i) {
    if (!Put(writer, '\\')) return 0;
  }
  return !quote || Put(writer, '"');
}

}  // namespace

int RewriteFileText(const Expansion& expansion, const char* fileText, char* out, int form) {
  char result[kRowTextSize];
  TextWriter writer{result, kRowTextSize - 1, 0, IsBatchForm(form)};
  if (!RewriteWith(expansion, fileText, &writer, 1)) return 0;
  std::memcpy(out, result, writer.length + 1);
  return 1;
}

int RewriteSeveralPaths(const Expansion& expansion, const char* fileText, char* out, int form) {
  char result[kRowTextSize];
  char found[kRowTextSize] = {};
  TextWriter writer{result, kRowTextSize - 1, 0, IsBatchForm(form), found};
  if (!RewriteWith(expansion, fileText, &writer, 0)) return 0;
  // Each word (up to a typed blank outside typed quotes) in turn.
  TextWriter words{out, kRowTextSize - 1, 0, 0};
  out[0] = '\0';
  int quoted = 0;
  std::size_t start = 0;
  for (std::size_t i = 0;; i += CharLength(result + i)) {
    const int end = result[i] == '\0' || (result[i] == ' ' && !found[i] && !quoted);
    if (!found[i] && result[i] == '"') quoted = !quoted;
    if (!end) continue;
    if (!PutWord(&words, result, found, start, i, PathQuoteTriggers(form)) ||
        (result[i] != '\0' && !Put(&words, ' '))) {
      return 0;
    }
    if (result[i] == '\0') return 1;
    start = i + 1;
  }
}

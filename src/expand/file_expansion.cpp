#include "expand/file_expansion.h"

#include <cstring>

#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/path_split.h"

char g_currentFolderName[kRowTextSize] = "";
int g_currentFolderNameFromDisk = 0;
namespace {
char g_commandFolder[kRowTextSize] = "";
}  // namespace

ExpansionState g_expansion = {
    kSearchNone, {0, "", ""}, kNoExpandedRow, 0, 0, "", "", "", nullptr, 0};

namespace {

// Names left out since the last reset, by reason, and the first of each.
struct LeftOutNames {
  int count;
  char first[kRowTextSize];
};
LeftOutNames g_leftOut[2] = {};

// The texts written by the translation and the rewriting, with their limit.
struct TextWriter {
  char* out;
  std::size_t limit;  // characters the text may hold
  std::size_t length;
  int doublePercent;  // 1: a '%' found on disk is written twice (batch lines)
};

// Writes one byte. Returns 0, writing nothing, when the text is full.
int Put(TextWriter* writer, char c) {
  if (writer->length >= writer->limit) return 0;
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
    if (!Put(writer, p[i])) return 0;
  }
  if (step == 1 && *p == '%' && found && writer->doublePercent) return Put(writer, '%');
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

// Copies at most 259 characters of `text` into a 260-byte buffer.
void CopyBounded(char* out, const char* text) {
  std::size_t length = strnlen(text, kRowTextSize - 1);
  std::memcpy(out, text, length);
  out[length] = '\0';
}

void CloseOpenSearch() {
  if (g_expansion.search == kSearchOpen && g_expansion.source != nullptr) {
    g_expansion.source->close();
  }
  g_expansion.search = kSearchNone;
  g_expansion.matchCaptured = 0;
}

// Ends the texts of an entry the source delivered within their buffers.
void BoundEntry(FoundEntry* entry) {
  entry->name[kRowTextSize - 1] = '\0';
  entry->shortName[kShortNameSize - 1] = '\0';
}

// Fetches the next entry of the open search; after the last one the search
// is exhausted and closed. Returns 1 when an entry came.
int FetchNextEntry() {
  g_expansion.matchCaptured = 0;
  if (g_expansion.source->findNext(&g_expansion.current)) {
    BoundEntry(&g_expansion.current);
    return 1;
  }
  g_expansion.exhausted = 1;
  CloseOpenSearch();
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
};

// 1 when the translated character at `p` came from a name found on disk.
int FoundOnDisk(const Translated& translated, const char* p) {
  return g_currentFolderNameFromDisk && translated.fromFolder[p - translated.text];
}

// Writes a translated text that is not rewritten against a match.
int PutTranslated(TextWriter* writer, const Translated& translated) {
  for (const char* p = translated.text; *p != '\0'; p = NextChar(p)) {
    if (!PutChar(writer, p, FoundOnDisk(translated, p))) return 0;
  }
  return 1;
}

// Writes a translated text whose file search has no current match: the
// wildcards stay for the called program, the placeholders become empty.
int PutWithoutMatch(TextWriter* writer, const Translated& translated) {
  for (const char* p = translated.text; *p != '\0';) {
    if (p[0] == '*' && (p[1] == '1' || p[1] == '2' || p[1] == '/')) {
      if (p[1] == '/' && !PutText(writer, g_currentFolderName, g_currentFolderNameFromDisk)) {
        return 0;
      }
      p += 2;
      continue;
    }
    if (!PutChar(writer, p, FoundOnDisk(translated, p))) return 0;
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
int PutWithMatch(TextWriter* writer, const Translated& translated) {
  const char* cursor = g_expansion.baseName;
  for (const char* p = translated.text; *p != '\0';) {
    std::size_t step = CharLength(p);
    if (step == 1 && (*p == '\\' || *p == '/')) {
      cursor = g_expansion.baseName;
    } else if (step == 1 && *p == '.') {
      cursor = g_expansion.extension;
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
        if (!PutText(writer, p[1] == '1' ? g_expansion.capture1 : g_expansion.extension, 1)) {
          return 0;
        }
        p += 2;
      } else if (p[1] == '/') {
        if (!PutText(writer, g_currentFolderName, g_currentFolderNameFromDisk)) return 0;
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
    if (!PutChar(writer, p, FoundOnDisk(translated, p))) return 0;
    p += step;
  }
  return 1;
}

// The translation of TranslateTokens, noting in `fromFolder` (capacity
// bytes, or null) which bytes of `out` the current folder name brought in.
int TranslateMarked(const char* text, char* out, std::size_t capacity, int countPlaceholders,
                    char* fromFolder) {
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
      } else if (next == '/' && g_currentFolderName[0] != '\0') {
        for (const char* f = g_currentFolderName; *f != '\0' && !full(); ++f) emit(*f, 1);
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

namespace {

// Counts `name` as left out for `reason`. Returns 0.
int LeaveOut(const char* name, int reason) {
  LeftOutNames& names = g_leftOut[reason];
  if (names.count++ == 0) CopyBounded(names.first, name);
  return 0;
}

}  // namespace

int UseFoundName(char* name, const char* shortName) {
  if (FindCharDbcs(name, '?') == nullptr) return 1;
  if (shortName[0] != '\0' && FindCharDbcs(shortName, '?') == nullptr) {
    CopyBounded(name, shortName);
    return 1;
  }
  return LeaveOut(name, kNotInCodePage);
}

int UseNameInForm(const char* name, int form) {
  const char* changed = CmdChangedCharacters(form);
  if (changed[0] == '\0' || FindAnyCharDbcs(name, changed) == nullptr) return 1;
  return LeaveOut(name, kChangedByCmd);
}

void ResetLeftOutNames() {
  for (LeftOutNames& names : g_leftOut) {
    names.count = 0;
    names.first[0] = '\0';
  }
}

int LeftOutNameCount(int reason) {
  return g_leftOut[reason].count;
}

int FormatLeftOutReport(char* out, std::size_t size, int reason) {
  if (size > 0) out[0] = '\0';
  const LeftOutNames& names = g_leftOut[reason];
  if (names.count == 0) return 0;
  FormatText(out, size, reason == kChangedByCmd ? kCmdLeftOutNamesFormat : kLeftOutNamesFormat,
             names.count, names.first);
  return 1;
}

int TranslateTokens(const char* text, char* out, std::size_t capacity, int countPlaceholders) {
  return TranslateMarked(text, out, capacity, countPlaceholders, nullptr);
}

int ChooseExpandedRow(const char (*fileTexts)[kRowTextSize], const char* baseDirectory,
                      char* pattern) {
  pattern[0] = '\0';
  for (int row = 0; row < kArgumentRowCount; ++row) {
    char text[kRowTextSize];
    CopyBounded(text, fileTexts[row]);
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
    if (!TranslateTokens(candidate, pattern, kRowTextSize, 0)) continue;
    return row;
  }
  pattern[0] = '\0';
  return kNoExpandedRow;
}

int BeginFileExpansion(const char (*fileTexts)[kRowTextSize], const char* baseDirectory,
                       const SearchSource* source) {
  CloseOpenSearch();
  g_expansion.expandedRow = kNoExpandedRow;
  g_expansion.exhausted = 0;
  g_expansion.matchCaptured = 0;
  g_expansion.baseName[0] = '\0';
  g_expansion.capture1[0] = '\0';
  g_expansion.extension[0] = '\0';
  g_expansion.source = source;

  char pattern[kRowTextSize];
  int row = ChooseExpandedRow(fileTexts, baseDirectory, pattern);
  if (row == kNoExpandedRow) return 0;
  g_expansion.expandedRow = row;
  g_expansion.current.attributes = 0;
  g_expansion.current.name[0] = '\0';
  if (source != nullptr && source->findFirst(pattern, &g_expansion.current)) {
    BoundEntry(&g_expansion.current);
    g_expansion.search = kSearchOpen;
  } else {
    g_expansion.search = kSearchNoMatch;
  }
  return 1;
}

int SearchPreStep(int form) {
  if (g_expansion.search == kSearchNoMatch) return 0;
  if (g_expansion.search == kSearchOpen) {
    // Folders never yield a command, nor files without a usable name.
    FoundEntry& entry = g_expansion.current;
    while ((entry.attributes & kDirectoryAttribute) != 0 ||
           !UseFoundName(entry.name, entry.shortName) || !UseNameInForm(entry.name, form)) {
      if (!FetchNextEntry()) break;
    }
  }
  return g_expansion.exhausted ? 0 : 1;
}

void SearchPostStep() {
  if (g_expansion.search == kSearchOpen) FetchNextEntry();
}

int FileExpansionEnded() {
  return g_expansion.search == kSearchNoMatch || g_expansion.exhausted || g_expansion.nameLeftOut;
}

void EndFileExpansion() {
  CloseOpenSearch();
  g_expansion.expandedRow = kNoExpandedRow;
  g_expansion.exhausted = 0;
}

void CaptureMatch(const char* fileText) {
  // Double quotes are no part of the name.
  char unquoted[kRowTextSize];
  CopyBounded(unquoted, fileText);
  DropQuotes(unquoted);
  char namePart[kMaxFname];
  SplitPath(unquoted, nullptr, nullptr, namePart, nullptr);

  const char* name = g_expansion.current.name;
  const char* lastDot = FindLastCharDbcs(name, '.');
  std::size_t baseLength = lastDot != nullptr ? static_cast<std::size_t>(lastDot - name)
                                              : strnlen(name, kRowTextSize - 1);
  std::memcpy(g_expansion.baseName, name, baseLength);
  g_expansion.baseName[baseLength] = '\0';
  CopyBounded(g_expansion.extension, lastDot != nullptr ? lastDot + 1 : "");

  // Capture 1 starts in the match where the name part's first '*' stands,
  // counted in characters; empty when the base name is shorter than that.
  g_expansion.capture1[0] = '\0';
  const char* star = FindCharDbcs(namePart, '*');
  if (star != nullptr) {
    std::size_t before = 0;
    for (const char* p = namePart; p < star; p = NextChar(p)) ++before;
    const char* start = SkipCharacters(g_expansion.baseName, before);
    if (start != nullptr) CopyBounded(g_expansion.capture1, start);
  }
  g_expansion.matchCaptured = 1;
}

int HoldsFolderNameToken(const char* fileText) {
  for (const char* p = fileText; *p != '\0'; ++p) {
    if (p[0] != '*') continue;
    if (p[1] == '/') return 1;
    if (p[1] == '*' || p[1] == '?') ++p;  // an escaped '*' or '?' starts no token
  }
  return 0;
}

int WriteMatchedPath(const char* fileText, char* out, int form) {
  out[0] = '\0';
  Translated translated{};
  TranslateMarked(fileText, translated.text, sizeof translated.text, 1, translated.fromFolder);
  char* end = translated.text;  // after the last separator
  for (char* p = translated.text; *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) == 1 && (*p == '\\' || *p == '/')) end = p + 1;
  }
  *end = '\0';
  char result[kRowTextSize];
  result[0] = '\0';
  TextWriter writer{result, kRowTextSize - 1, 0, IsBatchForm(form)};
  if (!PutTranslated(&writer, translated) || !PutText(&writer, g_expansion.current.name, 1)) {
    return 0;
  }
  std::memcpy(out, result, writer.length + 1);
  return 1;
}

void SetCommandFolder(const char* folder) {
  CopyBounded(g_commandFolder, folder != nullptr ? folder : "");
}

namespace {

// 1 when `text` names an existing file or folder, a relative text taken in
// the command folder.
int NamesEntryOnDisk(const char* text) {
  const SearchSource* source = g_expansion.source;
  if (source == nullptr || source->exists == nullptr) return 0;
  const int relative = text[0] != '\\' && text[0] != '/' && (text[0] == '\0' || text[1] != ':');
  if (!relative || g_commandFolder[0] == '\0') return source->exists(text);
  char joined[kJoinedPathSize];
  JoinPath(joined, sizeof joined, g_commandFolder, text);
  return source->exists(joined);
}

}  // namespace

int RewriteOnePath(const char* fileText, char* out, int form) {
  if (!RewriteFileText(fileText, out, kCommandLineForm)) return 0;
  if (form == kCommandLineForm || FindCharDbcs(out, '%') == nullptr ||
      FindAnyCharDbcs(out, "*?") != nullptr || !NamesEntryOnDisk(out)) {
    return RewriteFileText(fileText, out, form);
  }
  if (!UseNameInForm(out, form)) {
    g_expansion.nameLeftOut = 1;
    return 0;
  }
  char name[kRowTextSize];
  CopyBounded(name, out);
  TextWriter writer{out, kRowTextSize - 1, 0, IsBatchForm(form)};
  out[0] = '\0';
  return PutText(&writer, name, 1);
}

int RewriteFileText(const char* fileText, char* out, int form) {
  out[0] = '\0';
  if (fileText[0] == '\0') return 1;  // most rows are empty: nothing to translate
  // One byte more than the result may hold: a translation that overflows
  // it is longer than any usable file text.
  Translated translated{};
  int live =
      TranslateMarked(fileText, translated.text, sizeof translated.text, 1, translated.fromFolder);
  if (!live && std::strlen(translated.text) >= kRowTextSize) return 0;

  char result[kRowTextSize];
  TextWriter writer{result, kRowTextSize - 1, 0, IsBatchForm(form)};
  result[0] = '\0';
  int fitted;
  if (!live) {
    fitted = PutTranslated(&writer, translated);
  } else if (g_expansion.search == kSearchOpen && g_expansion.matchCaptured) {
    fitted = PutWithMatch(&writer, translated);
  } else {
    fitted = PutWithoutMatch(&writer, translated);
  }
  if (!fitted) return 0;
  std::memcpy(out, result, writer.length + 1);
  return 1;
}

// File expansion: the token syntax of file texts, the choice of the expanded
// row, the file search around the argument-text assembly, the captures taken
// from each match and the rewriting of file texts against the match.
//
// Tokens of a file text ('*' escapes): "**" is a plain '*', "*?" a plain '?',
// "*1" and "*2" stand for capture 1 (the match's base name from where the
// pattern's '*' stands) and capture 2 (the match's extension), "*/" for the
// current folder name; any other '*' and every '?' are live wildcards.
#pragma once

#include <cstddef>

#include "params/field_table.h"
#include "support/path_text.h"

constexpr int kNoExpandedRow = 8;
constexpr unsigned long kDirectoryAttribute = 0x10;  // directory bit of a search entry

// State of the file search.
enum SearchStatus {
  kSearchNone = 0,     // no expanded row, or the search has been closed
  kSearchNoMatch = 1,  // an expanded row was chosen but nothing was found
  kSearchOpen = 2,     // the search is open; `current` holds its last entry
};

// Short (8.3) names as the search reports them: 12 characters at most.
constexpr std::size_t kShortNameSize = 14;

// One entry delivered by the file search.
struct FoundEntry {
  unsigned long attributes;
  char name[kRowTextSize];
  char shortName[kShortNameSize];  // empty when the system gave none
};

// The file search behind an expansion: the system's in the program, a list
// of entries in tests. Every call gets `self`, the search's own state (the
// system's find handle), which its owner keeps for as long as it is used.
// One search is open at a time.
struct SearchSource {
  int (*findFirst)(void* self, const char* pattern, FoundEntry* entry);  // 1 and the first entry, or 0
  int (*findNext)(void* self, FoundEntry* entry);  // 1 and the next entry, or 0
  void (*close)(void* self);                       // ends the open search
  int (*exists)(void* self, const char* path);  // 1 when a file or folder has that path (null: none has)
  void* self;
};

// 1 when a search entry is a folder.
inline int IsFolderEntry(const FoundEntry& entry) {
  return (entry.attributes & kDirectoryAttribute) != 0;
}

// Names the Japanese code page cannot hold come back from the ANSI search
// with '?' in place of each such character, and '?' is a wildcard again in a
// command. Such an entry is taken by its short name when the system gave
// one; otherwise it is left out. When cmd reads the arguments of the program
// (a batch file or cmd.exe), a name holding a character cmd would change
// even inside quotes is left out too. The names left out during one run are
// counted by reason for one report each after its commands were built.
enum LeftOutReason : int {
  kNotInCodePage = 0,  // the code page cannot hold the name
  kChangedByCmd = 1,   // cmd would not hand the name on as it is
  kNotMatched = 2,     // a file given on the command line that the pattern does not match
  kLeftOutReasons = 3,
};

// The texts of those reports: the count and the first name as the system
// reported it.
inline constexpr char kLeftOutNamesFormat[] =
    "日本語の文字コードで表せない名前を持つ %d 個のファイルまたはディレクトリを除外しました\n"
    "最初の名前: %s";
inline constexpr char kCmdLeftOutNamesFormat[] =
    "cmdで安全に渡せない名前を持つ %d 個のファイルまたはディレクトリを除外しました\n"
    "最初の名前: %s";
inline constexpr char kUnmatchedNamesFormat[] =
    "渡されたファイルのうち、ファイル欄のパターンに合わないか、パスが長すぎる %d 個を除外しました\n"
    "最初の名前: %s";

// The names left out during one run, by reason: how many, and the first.
struct LeftOutNames {
  int count[kLeftOutReasons];
  char first[kLeftOutReasons][kRowTextSize];
};

// Counts `name` as left out for `reason` (the first one is kept; null
// `leftOut`: not counted). Returns 0.
int LeaveOut(LeftOutNames* leftOut, const char* name, int reason);

// Makes `name` (a kRowTextSize buffer) a name the commands can use: kept when
// it holds no '?', else replaced by `shortName` when that is a usable name.
// Returns 0 when there is none; the entry is then counted in `leftOut`
// (null: not counted).
int UseFoundName(LeftOutNames* leftOut, char* name, const char* shortName);

// 1 when a name found on disk can go into a line of `form` (LineForm) as
// it is; otherwise 0, and the name is counted in `leftOut` (kChangedByCmd).
int UseNameInForm(LeftOutNames* leftOut, const char* name, int form);

// The report on the names left out for `reason` into `out` (`size` bytes),
// or 0 (with `out` empty) when none was.
int FormatLeftOutReport(const LeftOutNames& leftOut, char* out, std::size_t size,
                        int reason = kNotInCodePage);

// The value of the token "*/" in the commands of one block: the last
// component of its folder (at most 259 characters), and whether that folder
// was found on disk (the directory walk) rather than typed. Empty for the
// commands of a direct run.
struct FolderName {
  char text[kRowTextSize];
  int fromDisk;
};

// The folder name of `directory`: its last component (name and extension),
// enclosing quotes not taking part. Null or "" gives the empty name.
void SetFolderName(FolderName* name, const char* directory, int fromDisk);

// The file expansion of one list of commands and what it needs: the search,
// its current match and captures, the folder name "*/" stands for, the
// folder the commands run in, and the names left out. Its owner makes it
// ({} is a fresh one) and hands it to every call below.
struct Expansion {
  int search = kSearchNone;  // SearchStatus
  FoundEntry current;        // last entry delivered by the open search
  int expandedRow = kNoExpandedRow;  // 0-7, kNoExpandedRow for none
  int exhausted;       // 1 once the open search delivered its last entry
  int matchCaptured;   // 1 while the captures below belong to the current entry
  char baseName[kRowTextSize];   // the match's name up to its last dot
  char capture1[kRowTextSize];   // base name from where the pattern's '*' stands
  char extension[kRowTextSize];  // after the last dot (also capture 2)
  const SearchSource* source;    // the search in use while one is open
  int nameLeftOut;               // 1 when the last command was not built for a name left out
  FolderName folderName;         // what "*/" stands for
  // The folder the commands being built run in ("" for the program's own):
  // relative file texts are looked for on disk there.
  char commandFolder[kRowTextSize];
  LeftOutNames leftOut;          // since the run began
};

// Translates the tokens of `text` into `out` (`capacity` bytes), "*/" as
// `folderName` (null or "": the token stays). Returns 1 when the text holds a
// live wildcard ("*1"/"*2" count only with `countPlaceholders`) and the
// translation fitted; 0 otherwise. The translation stops, with result 0,
// once `out` holds capacity - 1 characters (so with capacity 260 a fitting
// translation has at most 258).
int TranslateTokens(const char* text, char* out, std::size_t capacity, int countPlaceholders,
                    const char* folderName = nullptr);

// Row index (0-7) of the first of the eight file texts that qualifies as the
// expanded row, with its search pattern in `pattern` (kRowTextSize bytes);
// kNoExpandedRow when none does. Double quotes of a text of one path
// (IsOnePath) do not take part; a text of several paths never qualifies. A
// text without a usable directory part is joined to `baseDirectory` (may be
// null or empty for none). "*/" stands for `folderName`.
int ChooseExpandedRow(const char (*fileTexts)[kRowTextSize], const char* baseDirectory,
                      char* pattern, const char* folderName = nullptr);

// Resets the search, chooses the expanded row and starts `source` on its
// pattern. Returns 1 when an expanded row was chosen (search open or no
// match), 0 when none qualifies.
int BeginFileExpansion(Expansion* expansion, const char (*fileTexts)[kRowTextSize],
                       const char* baseDirectory, const SearchSource* source);

// Before a command is built: steps over directories and over files whose
// names cannot go into a line of `form`. Returns 0 when there is no further
// command (no match, or exhausted), 1 otherwise.
int SearchPreStep(Expansion* expansion, int form = kCommandLineForm);

// After a command is built: advances the open search to its next entry,
// closing it after the last one.
void SearchPostStep(Expansion* expansion);

// 1 when an expansion has no further command (its search found nothing or
// delivered its last entry), or when the last command was not built because
// a name was left out: a following failure of the argument-text assembly is
// then the end, not a command that could not be built.
int FileExpansionEnded(const Expansion& expansion);

// Closes a search that is still open and forgets the expanded row.
void EndFileExpansion(Expansion* expansion);

// Takes the captures of the current entry, guided by `fileText`, the expanded
// row's file text as read (its double quotes do not take part).
void CaptureMatch(Expansion* expansion, const char* fileText);

// The length of the part at the start of the path `text` (up to a
// separator, or all of it) that names a file or folder on disk and holds a
// '%', a relative text taken in `folder`: 0 when there is none. Such a
// '%' is a name's, which a batch line writes twice; a '%' after it is the
// user's cmd text.
std::size_t PercentPrefixOnDisk(const SearchSource& source, const char* folder, const char* text);

// Writes the text to append for a plain file text of a row other than the
// expanded one into `out` (kRowTextSize bytes): tokens translated and, for a
// live text, the current match put in with the rules of a copy command's
// target. For a batch line every '%' of text found on disk (what the match
// gives, and the current folder name while it comes from the directory walk)
// is doubled. Returns 0 when the result would exceed 259 characters or the
// translation lost part of the text.
int RewriteFileText(const Expansion& expansion, const char* fileText, char* out,
                    int form = kCommandLineForm);

// RewriteFileText for a plain text of several paths: each word of it that
// holds a character found on disk that is one of PathQuoteTriggers(form)
// loses its own quotes and is enclosed in one pair, the backslashes that
// end it doubled; other words stay as typed. Returns 0 as RewriteFileText
// does, and when the quotes do not fit.
int RewriteSeveralPaths(const Expansion& expansion, const char* fileText, char* out,
                        int form = kCommandLineForm);

// RewriteFileText for a plain file text of one path. When the text it gives
// holds a '%' and no wildcard and names an existing file or folder (in the
// command folder when it is relative), it is a name from disk as a match is:
// in a batch line every '%' is doubled, and where cmd reads the program's
// arguments it is left out (UseNameInForm) and the result is 0 with
// the expansion's nameLeftOut set. Other texts stay as typed.
int RewriteOnePath(Expansion* expansion, const char* fileText, char* out,
                   int form = kCommandLineForm);

// Writes the text to append for the expanded row while it has a current
// match into `out` (kRowTextSize bytes): the directory part of the
// translated `fileText` (up to its last '\' or '/') followed by the matched
// name, so the command names the file that matched. '%' is doubled as by
// RewriteFileText. Returns 0 when the result would exceed 259 characters.
int WriteMatchedPath(const Expansion& expansion, const char* fileText, char* out,
                     int form = kCommandLineForm);

// 1 when the plain file text `fileText` holds the token "*/" (the current
// folder name).
int HoldsFolderNameToken(const char* fileText);

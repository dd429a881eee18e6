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

// Last component of the directory whose batch block is being written (at most
// 259 characters); empty in direct mode. Read by the file-text token "*/";
// set by batch mode and emptied by Run and at the start of every batch file.
extern char g_currentFolderName[kRowTextSize];
// 1 while g_currentFolderName was taken from a directory found on disk (the
// directory walk) rather than from the typed current directory.
extern int g_currentFolderNameFromDisk;

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
// of entries in tests. Plain functions over the source's own state.
struct SearchSource {
  int (*findFirst)(const char* pattern, FoundEntry* entry);  // 1 and the first entry, or 0
  int (*findNext)(FoundEntry* entry);                         // 1 and the next entry, or 0
  void (*close)();                                            // ends the open search
  int (*exists)(const char* path);  // 1 when a file or folder has that path (null: none has)
};

// The expansion state: one for the whole program.
struct ExpansionState {
  int search;          // SearchStatus
  FoundEntry current;  // last entry delivered by the open search
  int expandedRow;     // 0-7, kNoExpandedRow for none
  int exhausted;       // 1 once the open search delivered its last entry
  int matchCaptured;   // 1 while the captures below belong to the current entry
  char baseName[kRowTextSize];   // the match's name up to its last dot
  char capture1[kRowTextSize];   // base name from where the pattern's '*' stands
  char extension[kRowTextSize];  // after the last dot (also capture 2)
  const SearchSource* source;    // the search in use while one is open
  int nameLeftOut;               // 1 when the last command was not built for a name left out
};

extern ExpansionState g_expansion;

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
};

// The texts of those reports: the count and the first name as the system
// reported it.
inline constexpr char kLeftOutNamesFormat[] =
    "日本語の文字コードで表せない名前を持つ %d 個のファイルまたはディレクトリを除外しました\n"
    "最初の名前: %s";
inline constexpr char kCmdLeftOutNamesFormat[] =
    "cmdで安全に渡せない名前を持つ %d 個のファイルまたはディレクトリを除外しました\n"
    "最初の名前: %s";

// Makes `name` (a kRowTextSize buffer) a name the commands can use: kept when
// it holds no '?', else replaced by `shortName` when that is a usable name.
// Returns 0 when there is none; the entry is then counted as left out.
int UseFoundName(char* name, const char* shortName);

// 1 when a name found on disk can go into a line of `form` (LineForm) as
// it is; otherwise 0, and the name is counted as left out (kChangedByCmd).
int UseNameInForm(const char* name, int form);

// Forgets the names left out; every run starts with this.
void ResetLeftOutNames();

// Number of names left out for `reason` since the last reset.
int LeftOutNameCount(int reason = kNotInCodePage);

// The report on the names left out for `reason` into `out` (`size` bytes),
// or 0 (with `out` empty) when none was.
int FormatLeftOutReport(char* out, std::size_t size, int reason = kNotInCodePage);

// Translates the tokens of `text` into `out` (`capacity` bytes). Returns 1
// when the text holds a live wildcard ("*1"/"*2" count only with
// `countPlaceholders`) and the translation fitted; 0 otherwise. The
// translation stops, with result 0, once `out` holds capacity - 1 characters
// (so with capacity 260 a fitting translation has at most 258).
int TranslateTokens(const char* text, char* out, std::size_t capacity, int countPlaceholders);

// Row index (0-7) of the first of the eight file texts that qualifies as the
// expanded row, with its search pattern in `pattern` (kRowTextSize bytes);
// kNoExpandedRow when none does. Double quotes of a text of one path
// (IsOnePath) do not take part; a text of several paths never qualifies. A
// text without a usable directory part is joined to `baseDirectory` (may be
// null or empty for none).
int ChooseExpandedRow(const char (*fileTexts)[kRowTextSize], const char* baseDirectory,
                      char* pattern);

// Resets the state, chooses the expanded row and starts `source` on its
// pattern. Returns 1 when an expanded row was chosen (search open or no
// match), 0 when none qualifies.
int BeginFileExpansion(const char (*fileTexts)[kRowTextSize], const char* baseDirectory,
                       const SearchSource* source);

// Before a command is built: steps over directories and over files whose
// names cannot go into a line of `form`. Returns 0 when there is no further
// command (no match, or exhausted), 1 otherwise.
int SearchPreStep(int form = kCommandLineForm);

// After a command is built: advances the open search to its next entry,
// closing it after the last one.
void SearchPostStep();

// 1 when an expansion has no further command (its search found nothing or
// delivered its last entry), or when the last command was not built because
// a name was left out: a following failure of the argument-text assembly is
// then the end, not a command that could not be built.
int FileExpansionEnded();

// Closes a search that is still open and forgets the expanded row.
void EndFileExpansion();

// Takes the captures of the current entry, guided by `fileText`, the expanded
// row's file text as read (its double quotes do not take part).
void CaptureMatch(const char* fileText);

// Writes the text to append for a plain file text of a row other than the
// expanded one into `out` (kRowTextSize bytes): tokens translated and, for a
// live text, the current match put in with the rules of a copy command's
// target. For a batch line every '%' of text found on disk (what the match
// gives, and the current folder name while it comes from the directory walk)
// is doubled. Returns 0 when the result would exceed 259 characters or the
// translation lost part of the text.
int RewriteFileText(const char* fileText, char* out, int form = kCommandLineForm);

// The folder the commands being built run in (a 260-byte copy is kept; null
// or "" for the program's own): relative file texts are looked for on disk
// there.
void SetCommandFolder(const char* folder);

// RewriteFileText for a plain file text of one path. When the text it gives
// holds a '%' and no wildcard and names an existing file or folder (in the
// command folder when it is relative), it is a name from disk as a match is:
// in a batch line every '%' is doubled, and where cmd reads the program's
// arguments it is left out (UseNameInForm) and the result is 0 with
// g_expansion.nameLeftOut set. Other texts stay as typed.
int RewriteOnePath(const char* fileText, char* out, int form = kCommandLineForm);

// Writes the text to append for the expanded row while it has a current
// match into `out` (kRowTextSize bytes): the directory part of the
// translated `fileText` (up to its last '\' or '/') followed by the matched
// name, so the command names the file that matched. '%' is doubled as by
// RewriteFileText. Returns 0 when the result would exceed 259 characters.
int WriteMatchedPath(const char* fileText, char* out, int form = kCommandLineForm);

// 1 when the plain file text `fileText` holds the token "*/" (the current
// folder name).
int HoldsFolderNameToken(const char* fileText);

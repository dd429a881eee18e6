// The check of where the commands of a file expansion write, before they
// run. A target is a file text of a row other than the expanded one that
// holds a live wildcard or a placeholder, so that it is rewritten from the
// matched name (as a copy command's target); it is taken as a path, a
// relative one against the folder its command runs in. The check marks a
// command whose target exists already (a file or a folder), whose target
// another command of the list writes too, or whose target is its own input
// (the matched file). Names compare as Windows compares them: without
// regard to case, and the short and the long name of one file are one file.
//
// The targets are recorded while the commands are made (BeginListTargets for
// each list, RecordCommandTargets at each match, RecordSearches around the
// file search; ComposeCommands calls them), then checked in one
// pass (CheckTargets): one listing per target folder and row, taken from the
// listings the file search already made where they cover the names, and one
// query per folder for its long name. The system comes in through
// TargetPlatform.
#pragma once

#include <cstddef>

#include "expand/file_expansion.h"
#include "params/field_table.h"
#include "support/byte_buffer.h"

// The marks of a command (bits).
enum TargetMark : int {
  kMarkOverwrite = 1,    // a target exists already
  kMarkDuplicate = 2,    // another command writes the same target
  kMarkSameAsInput = 4,  // a target is the command's own input
};
constexpr int kTargetMarkKinds = 3;

// What the user reads: the names of the marks, the question asked before
// commands with marks start (at most kTargetQuestionLines targets listed,
// each "<marks>: <path>", several marks joined by kMarkJoiner), its caption.
inline constexpr const char* kTargetMarkNames[kTargetMarkKinds] = {"上書き", "重複", "入力と同じ"};
inline constexpr char kMarkJoiner[] = "・";
inline constexpr char kTargetQuestionTitle[] = "タビクス：実行";
inline constexpr char kTargetQuestionFormat[] = "出力先に問題のあるコマンドが %d 件あります";
inline constexpr char kTargetQuestionEnd[] = "開始しますか?";
inline constexpr int kTargetQuestionLines = 5;
// Room for the question: its first and last lines and the listed targets.
inline constexpr std::size_t kTargetQuestionSize = 128 + kTargetQuestionLines * (kRowTextSize + 48);

// The row of a command's input among its paths.
constexpr int kInputPathRow = -1;

// One path a command reads or writes. Texts are offsets into
// TargetRecord::texts; offset 0 is the empty text.
struct TargetPath {
  int command;         // counted from 0 over every command recorded
  int row;             // its argument row (0-7) for a target, kInputPathRow for the input
  std::size_t folder;  // the folder its command runs in, as given ("": the program's own)
  std::size_t path;    // the path as the command gets it
  std::size_t mask;    // the names its folder's listing asks for
  // After the check: the folder it lies in (the first listing of that folder
  // on disk, -1 when the path cannot be told), its name as names compare,
  // its full path (only for the first marked targets, which the question
  // lists), and whether it exists.
  int sameFolder;
  std::size_t name;
  std::size_t shown;
  int exists;
  int marks;  // TargetMark bits (targets only)
};

// The names of one folder that a mask matches, as a search delivered them.
struct FolderListing {
  std::size_t folder;     // the folder as searched (a full path after the check)
  std::size_t folderKey;  // the folder as names compare ("" until the check made it)
  std::size_t longKey;    // its long form as names compare ("" when it does not exist)
  std::size_t mask;       // the names asked for, as names compare
  std::size_t first;      // its names: ListedName records first .. first + count - 1
  std::size_t count;
  int state;       // ListingState
  int sameFolder;  // the first ready listing whose long folder is this one's
};

// How far a listing has come.
enum ListingState : int {
  kListingRecorded = 0,  // the file search made it; the check has not used it yet
  kListingReady = 1,     // its folder exists and its names are sorted by key
  kListingMissing = 2,   // its folder does not exist (or cannot be told)
};

// One name of a listing: the name (or short name) as names compare, and the
// name it stands for.
struct ListedName {
  std::size_t key;
  std::size_t name;
};

// The paths of the commands, the listings made for them, and the marks.
struct TargetRecord {
  ByteBuffer texts;     // zero-terminated texts, by offset
  ByteBuffer paths;     // TargetPath[], in command order: each command's targets, then its input
  ByteBuffer listings;  // FolderListing[]
  ByteBuffer names;     // ListedName[]
  ByteBuffer marks;     // one byte per command: its TargetMark bits, after the check
  int commands;         // commands recorded
  int counts[kTargetMarkKinds];  // commands carrying each mark, after the check
  int marked;                    // commands carrying any mark
  int failed;                    // 1 when memory ran out: nothing is marked
  // While one list is recorded (BeginListTargets): the folder its commands
  // run in and, per row (the input's last), the file text as they use it
  // and the mask of its listing; a row that holds no target has no text.
  std::size_t listFolder;
  char rowText[kArgumentRowCount + 1][kRowTextSize];
  std::size_t rowMask[kArgumentRowCount + 1];
  char inputFolder[kRowTextSize];  // the expanded row's folder part, translated
  const SearchSource* innerSearch;  // the search RecordSearches records
};

// 1 when the file texts of `rows` can hold a target: at least two of them
// hold a live wildcard or a placeholder (one of them becomes the expanded
// row), "*/" standing for `folderName`. Without one, nothing need be
// recorded.
int MayHoldTargets(const ArgumentRows& rows, const char* folderName);

// While a record is given: the search the expansion uses is `inner` (kept
// by the caller while the record is), and every listing it makes (pattern
// and entries, folders too) is kept in `record` for the check. Returns the
// search to use in its place.
SearchSource RecordSearches(TargetRecord* record, const SearchSource* inner);

// Starts recording the commands of one list: `expansion` over `rows` has
// chosen its expanded row, and the commands run in `folder` (""
// or null: the program's own).
void BeginListTargets(TargetRecord* record, const Expansion& expansion, const ArgumentRows& rows,
                      const char* folder);

// Records the targets and the input of the command made now from the
// current match of `expansion`. Nothing is recorded while the expansion has
// no current match.
void RecordCommandTargets(TargetRecord* record, Expansion* expansion);

// What the check needs from the system.
struct TargetPlatform {
  SearchSource search;  // lists the names of a folder that a mask matches
  // The long form of the full path `folder` into `out` (kRowTextSize bytes):
  // 1, or 0 when no folder has that path.
  int (*longFolder)(const char* folder, char* out);
  // The program's own working folder (a full path) into `out` (kRowTextSize bytes).
  void (*workingFolder)(char* out);
};

// Checks the recorded paths: marks each target and each command and counts
// them. Paths that cannot be checked carry no mark: a full path longer than
// 259 characters, a folder that does not exist, a name that still holds a
// wildcard (as a character the code page lacks shows).
void CheckTargets(TargetRecord* record, const TargetPlatform& platform);

// The marks of `command` after the check (0 for none or out of range).
int CommandMarks(const TargetRecord& record, int command);

// The question asked before commands with marks start: the count, up to
// kTargetQuestionLines marked targets with their marks, and the end
// question, one per line, into `out` (`size` bytes).
void FormatTargetQuestion(const TargetRecord& record, char* out, std::size_t size);

// The names of the marks in `marks`, joined by kMarkJoiner, into `out`.
void FormatMarkNames(int marks, char* out, std::size_t size);

// Releases the memory of the record and empties it.
void FreeTargetRecord(TargetRecord* record);

// Folds `text` in place as Windows compares names: lower-case letters (also
// full-width Latin, Greek and Cyrillic ones) become upper-case.
void FoldNameCase(char* text);

// 1 when `name` matches `mask` ('*' any characters, '?' one), both folded.
int NameMatchesMask(const char* mask, const char* name);

// The full path of `path` as seen from the full path `base` into `out`
// (kRowTextSize bytes): joined when relative, "." and ".." taken out,
// '/' made '\', trailing dots and blanks of each name dropped. 0 when it
// would exceed 259 characters or cannot be told (another drive's folder).
int ResolvePath(const char* base, const char* path, char* out);

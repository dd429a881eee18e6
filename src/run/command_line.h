// Command-line assembly: the argument text built from the eight argument rows,
// the two forms of the program text, and the small path operations used on
// paths typed by the user. Blank means the byte 0x20 only.
#pragma once

#include <cstddef>

constexpr int kArgumentRowCount = 8;
constexpr std::size_t kRowTextSize = 260;            // every text read from a control
constexpr std::size_t kArgumentTextCapacity = 512;   // argument text: at most 511 characters
constexpr std::size_t kBatchProgramTextSize = 261;   // program text, quoted, plus one blank
constexpr std::size_t kJoinedPathSize = 2 * kRowTextSize + 2;  // any JoinPath result fits

// The two kinds of line a command goes into. A batch line is read by cmd
// before the program sees it, so its path pieces are quoted on "&" and "^"
// as well as on a blank, and every "%" that a name found on disk brings in
// is doubled; text the user typed stays as typed.
enum LineForm : int {
  kCommandLineForm = 0,  // a command line started directly
  kBatchLineForm = 1,    // a line of a batch file
};

// One argument row as read from the main dialog.
struct ArgumentRow {
  char switchText[kRowTextSize];
  int spaceOn;  // 1 when the row's space box is checked
  char fileText[kRowTextSize];
};

// The eight argument rows, row 1 first.
struct ArgumentRows {
  ArgumentRow row[kArgumentRowCount];
};

// Last component of the directory whose batch block is being written (at most
// 259 characters); empty in direct mode. Read by the file-text token "*/".
extern char g_currentFolderName[kRowTextSize];
// 1 while g_currentFolderName was taken from a directory found on disk (the
// directory walk) rather than from the typed current directory.
extern int g_currentFolderNameFromDisk;

// Builds the argument text of `rows` into `out` (`capacity` bytes) around the
// current file expansion: one command per call, in the given LineForm. A
// file piece enclosed in quotes has the backslashes that end it doubled, so
// the called program does not read the closing quote as part of the text.
// Returns 1 when a text was built; 0 when it would not fit, when a file text
// could not be rewritten within 259 characters, or when the file search has
// no (further) match.
int AssembleArgumentText(const ArgumentRows& rows, char* out, std::size_t capacity,
                         int form = kCommandLineForm);

// 1 when `text` does not begin with a blank and holds none of ";<>|" outside
// two-byte characters (the empty text is plain); 0 for free command text.
int IsPlainFileText(const char* text);

// Removes a double quote at the start of `text` and, only then, one at its
// end, in place. Returns the new length.
std::size_t RemoveEnclosingQuotes(char* text);

// Rewrites `text` (a 260-byte buffer) in place: enclosing double quotes are
// removed, then the text is enclosed in double quotes when it holds a blank
// and is at most 257 characters long.
void QuotePathIfBlank(char* text);

// The same for a path piece of a batch line: enclosed in double quotes when
// it holds a blank, "&" or "^" (and is at most 257 characters long).
void QuoteBatchPath(char* text);

// Writes `directory` and `name` joined by one backslash (none added when the
// directory already ends in one) into `out` (`outSize` bytes), enclosing
// quotes of both removed. Empty result when either is missing or empty; an
// input longer than 260 characters counts as empty. Returns 0 (with `out`
// empty) only when the join did not fit `outSize`; kJoinedPathSize always fits.
int JoinPath(char* out, std::size_t outSize, const char* directory, const char* name);

// Cuts `path` in place to its directory: "D:\CC.EXE" gives "D:\",
// "D:\TOOLS\CC.EXE" gives "D:\TOOLS". Returns 0 (path unchanged) when it has
// no backslash, 1 when it cut.
int CutToDirectory(char* path);

// Program text for a batch-file line: `programText` with QuoteBatchPath
// applied and one blank appended, into `out` (kBatchProgramTextSize bytes).
void MakeBatchProgramText(const char* programText, char* out);

// Program text for a direct run: `programText` with one enclosing pair of
// double quotes removed and never quoted again, into `out` (kRowTextSize bytes).
void MakeDirectProgramText(const char* programText, char* out);

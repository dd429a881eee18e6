// Path texts as the user types them and as commands need them: enclosing
// quotes, quoting a piece that holds a character the reader of its line would
// split on, joining a directory and a name, cutting a path to its directory.
// Every scan is double-byte aware. Blank means the byte 0x20 only.
#pragma once

#include <cstddef>

// Every text read from a control, and every path, fits 260 bytes (at most
// 259 characters).
constexpr std::size_t kPathTextSize = 260;
// Any JoinPath result of two such texts fits.
constexpr std::size_t kJoinedPathSize = 2 * kPathTextSize + 2;

// The kinds of line a command goes into, by what reads the line before the
// program sees it. A batch line is read by cmd, so its path pieces are quoted
// on "&" and "^" as well as on a blank, and every "%" that a name found on
// disk brings in is doubled. When the program is itself run by cmd (a batch
// file, or cmd.exe), cmd also splits the arguments on "," ";" "=" and acts
// on "(" ")": such names are quoted too, and a name found on disk that cmd
// would change even inside quotes is left out (CmdChangedCharacters). Text
// the user typed stays as typed.
enum LineForm : int {
  kCommandLineForm = 0,     // a command line started directly
  kBatchLineForm = 1,       // a line of a batch file
  kCmdCommandLineForm = 2,  // a command line that cmd reads: cmd /c runs the program
  kCmdBatchLineForm = 3,    // a batch line whose program cmd reads again (call, cmd.exe)
};

// 1 for the forms of a batch-file line.
constexpr int IsBatchForm(int form) { return form == kBatchLineForm || form == kCmdBatchLineForm; }

// Characters that make a path piece need enclosing quotes in a line of
// `form`: a blank in every form, "&" and "^" in a batch line, and the
// separators and brackets of cmd when cmd reads the program's arguments.
const char* PathQuoteTriggers(int form);

// Characters of a name found on disk that cmd would still change inside
// quotes in a line of `form`: "%" when cmd reads the command line once more
// than the batch file does ("" when none).
const char* CmdChangedCharacters(int form);

// 1 when `text` is one path: it holds no double quote, or no blank stands
// outside its double quotes ("C:\a b\x.txt", C:\"a b"\x.txt). A text of
// several quoted paths ("C:\a b\x.txt" "C:\c d\y.txt") is not.
int IsOnePath(const char* text);

// 1 for a UNC path (\\server\share...), enclosing quotes not taking part.
int IsNetworkPath(const char* text);

// Length of a path text: at most 259 characters count.
std::size_t PathTextLength(const char* text);

// Copies a path text, cut to 259 characters, into a 260-byte buffer.
void CopyPathText(char* out, const char* text);

// Number of backslashes (single-byte characters) that end `text`.
std::size_t TrailingBackslashes(const char* text);

// 1 when `text` does not begin with a blank and holds none of ";<>|" outside
// two-byte characters (the empty text is plain); 0 for free command text.
int IsPlainFileText(const char* text);

// Removes a double quote at the start of `text` and, only then, one at its
// end, in place. Returns the new length.
std::size_t RemoveEnclosingQuotes(char* text);

// Removes every double quote of `text` in place (no name holds one). Returns
// the new length.
std::size_t DropQuotes(char* text);

// Rewrites `text` (a 260-byte buffer) in place: enclosing double quotes are
// removed, then the text is enclosed in double quotes when it holds a blank
// and is at most 257 characters long.
void QuotePathIfBlank(char* text);

// Size of a path text enclosed in quotes: 259 characters, two quotes and the
// terminator.
constexpr std::size_t kQuotedPathSize = kPathTextSize + 2;

// A path piece for a line of `form` into `out` (kQuotedPathSize bytes): at
// most 259 characters of `text`, enclosing double quotes removed, then
// enclosed in double quotes when it holds one of PathQuoteTriggers(form).
// Returns the length written.
std::size_t QuotePathPiece(const char* text, int form, char* out);

// 1 when the program `text` (enclosing quotes not taking part) is a batch
// file: its name ends in ".bat" or ".cmd", in any case.
int IsBatchProgram(const char* text);

// 1 when `text` names a program file: its name ends in ".exe", ".com",
// ".bat" or ".cmd", in any case.
int IsProgramFileName(const char* text);

// 1 when the program `text` is the command interpreter itself: "cmd" or
// "cmd.exe", in any case, with or without a folder, or "%ComSpec%" (which
// only a batch line expands).
int IsCommandInterpreter(const char* text);

// 1 when cmd reads the arguments of the program `text`: a batch file, or
// cmd itself.
int IsCmdProgram(const char* text);

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

// The part of `path` after its last '\' or '/' (all of it without one).
const char* NameAfterFolder(const char* path);

// Start-up of one run of the program: the build date text, the window title,
// the start-up failures and the rules that fill the program-wide paths
// (support/program_paths.h) from the executable's path and the command line.
// No system calls.
#pragma once

#include <cstddef>

#include "support/program_paths.h"

struct ByteBuffer;
#include "tavix_version.h"  // made by the build from resources/version.txt

// The program's own texts and constants.
inline constexpr char kProductName[] = "タビクス";  // also the caption of start-up messages
inline constexpr char kVersionText[] = TAVIX_VERSION_TEXT;
inline constexpr char kBuildDate[] = TAVIX_BUILD_DATE;  // month abbreviation, day, year

// Buffer sizes of the process-wide values.
inline constexpr std::size_t kBuildDateTextSize = 16;
inline constexpr std::size_t kWindowTitleSize = 128;
inline constexpr std::size_t kArgumentSize = 260;        // command-line argument, at most 259 characters

// Build date as year/month/day, e.g. 2004/7/6.
extern char g_buildDateText[kBuildDateTextSize];
// Title of the main window; a second start on the same parameter file finds
// the first one's window by it.
extern char g_windowTitle[kWindowTitleSize];

// Why start-up cannot go on; each has its message (StartupFailureText).
enum StartupFailure : int {
  kStartupOk = 0,
  kModulePathUnavailable,      // the executable's own path could not be read
  kExecutableDirectoryTooLong,  // longer than 249 characters
  kArgumentTooLong,            // command-line tail of 260 characters or more
  kArgumentInvalid,            // the argument names no file
  kParameterFileNotText,       // the parameter file holds UTF-16 text
  // The command line names something that must not be taken as the
  // parameter file (StartupRefusalText names it):
  kArgumentIsFolder,           // an existing folder
  kArgumentNotParameterFile,   // an existing file that is no parameter file
  kArgumentSeveralFiles,       // several names, as Explorer hands over several files
};

// What a start-up check needs of the disk.
enum PathKind : int { kNoSuchPath = 0, kPathIsFile = 1, kPathIsFolder = 2 };
struct StartupDisk {
  int (*kindOf)(const char* path);  // PathKind
  // Reads the whole file into `out`, followed by a zero byte it does not
  // count: 1; 0 when it cannot be read (another program holds it: the
  // parameter file rules decide); -1 when it is too large to be a parameter
  // file.
  int (*read)(const char* path, ByteBuffer* out);
};

// The message shown for a failure (nullptr for kStartupOk).
const char* StartupFailureText(StartupFailure failure);

// Stores drive and directory of the executable's full path as the executable
// directory. kExecutableDirectoryTooLong when it is longer than 249
// characters (so that the names joined to it still fit in a path).
StartupFailure SetExecutableDirectory(const char* modulePath);

// The command-line tail of the process command line `commandLine`: what
// follows the program name (in double quotes, or up to the first blank or
// tab) and the blanks and tabs after it. Bytes of double-byte characters are
// never taken for a blank, a tab or a quote.
const char* CommandLineTail(const char* commandLine);

// Removes the quotes around a command-line argument in place: a leading
// double quote is dropped, and then, only in that case, a trailing one too.
void StripArgumentQuotes(char* text);

// Chooses the parameter file from the command-line tail (the command line
// after the program name and the blanks that follow it). An empty tail
// chooses the default file; otherwise the tail, quotes removed, is one path.
StartupFailure ChooseParameterFile(const char* commandTail);

// Looks at what the command-line tail names before anything is taken or
// created, since a name taken is rewritten at close: a folder, an existing
// file that neither ends in ".tvx" nor reads as a parameter file, and a tail
// that names nothing but splits, as the C runtime splits arguments, into
// several names of which one exists (files dropped onto the program
// together) are refused, and the name concerned is copied into `named`.
// kStartupOk for an empty tail and for every name the parameter file rules
// take. Call after ChooseParameterFile succeeded.
StartupFailure CheckCommandLineName(const char* commandTail, const StartupDisk& disk, char* named,
                                    std::size_t namedSize);

// The message for a refusal of CheckCommandLineName, naming `named`.
void StartupRefusalText(StartupFailure failure, const char* named, char* out, std::size_t size);

// Turns a build date in the form "Jul  6 2004" into "2004/7/6". A month name
// that is not one of the twelve English abbreviations is kept as it is.
// Returns the length, or -1 when the text was cut to fit.
int MakeBuildDateText(const char* buildDate, char* buffer, std::size_t size);

// Fills g_buildDateText from kBuildDate.
void FormBuildDateText();

// Rebuilds g_windowTitle and g_batchFilePath from the parameter file name.
// A batch file path that would not fit its buffer is left empty.
void ComposeTitleAndBatchPath();

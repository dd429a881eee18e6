// A start that names a stored set: tavix.exe [<parameter file>] /set <name>
// [/run] [/exit] [/yes] [<file or folder>...]. Reading the command line into
// a request, the request as bytes handed to a copy already running, the exit
// codes of such a start and the names of its log. No system calls.
#pragma once

#include <cstddef>

#include "support/byte_buffer.h"
#include "support/program_paths.h"

inline constexpr std::size_t kRequestSetNameSize = 64;  // at most 63 characters, as a set name
inline constexpr std::size_t kRequestNameSize = 260;    // a file given, at most 259 characters

// Exit codes of the program. A run that ends on its own (/run /exit) ends
// with the number of commands that did not end with 0.
enum ExitCode : int {
  kExitAllDone = 0,
  kExitStartupError = -1,  // a start-up message (the command line, the program's own path)
  kExitSetNotFound = -2,   // the parameter file holds no set of that name
  kExitNothingToRun = -3,  // no command was made
  kExitDeclined = -4,      // the target check's question was not answered Yes
  kExitBusy = -5,          // the parameter file is in use, or its window is busy
};

// What is wrong with a command line that names a set.
enum RequestError : int {
  kRequestOk = 0,
  kRequestNoSetName,           // /set with no name after it
  kRequestSetNameTooLong,      // more than 63 characters
  kRequestUnknownSwitch,       // a piece that starts with '/' and is no switch
  kRequestSeveralParameterFiles,  // more than one name before /set
  kRequestExitWithoutRun,      // /exit needs /run
  kRequestNotInCodePage,       // the set's or the parameter file's name
  kRequestNameTooLong,         // a name longer than 259 characters
  kRequestNoMemory,
};

// The start asked for.
struct SetRequest {
  char parameterFile[kParameterFilePathSize];  // as given ("" for the default file)
  char setName[kRequestSetNameSize];
  int run, exit, yes;  // the switches
  int fileCount;
  ByteBuffer files;    // the full names given, each ended by a zero byte, in order
  int leftOut;         // names the code page cannot hold and that have no short name
  char firstLeftOut[kRequestNameSize];  // the first of them, '?' for what the code page lacks
  int error;                            // RequestError
  char errorPiece[kRequestNameSize];    // the piece the error is about
};

// What reading the command line needs of the system: each piece turned into
// the code page without a character silently becoming another.
struct RequestPlatform {
  // A text as it is (the set's name, the parameter file): 1, 0 when the code
  // page cannot hold it (`out` then holds it with '?' for what it lacks), -1
  // when it does not fit `size`.
  int (*text)(const wchar_t* piece, char* out, std::size_t size);
  // A file or folder given: its full name, made from the starting folder,
  // or its short name where the code page cannot hold the long one. Results
  // as `text`.
  int (*fileName)(const wchar_t* piece, char* out, std::size_t size);
};

// Reads the wide command-line tail. 0 when it holds no piece "/set" (the
// tail then names the parameter file, as it always did; `request` is left
// empty); otherwise 1 and the request, with `error` set when it is not one.
// Switches are matched without regard to case; /exit counts even after an
// error, since it decides whether a message may be shown.
int ReadSetRequest(const wchar_t* tail, const RequestPlatform& platform, SetRequest* request);

// Empties a request and gives back its memory.
void FreeSetRequest(SetRequest* request);

// The message for a request error, naming the piece concerned.
void SetRequestErrorText(const SetRequest& request, char* out, std::size_t size);

// The first file of the request and the one after `file` (null at the end).
const char* FirstRequestFile(const SetRequest& request);
const char* NextRequestFile(const SetRequest& request, const char* file);

// The request as bytes for the running copy; its parameter file is
// `parameterPath` (the full path of the file the sender would have taken).
// 0 when the buffer could not grow.
int PackSetRequest(const SetRequest& request, const char* parameterPath, ByteBuffer* out);

// Reads bytes made by PackSetRequest into `request` (emptied first): 1, or 0
// when they are not such bytes.
int UnpackSetRequest(const char* bytes, std::size_t size, SetRequest* request);

// Whether two full paths name the same parameter file as far as the text
// tells: letters of either case, and a run of backslashes inside a path
// counts as one (the default path holds two at its join).
int SameParameterPath(const char* a, const char* b);

// The log of unattended runs: <parameter file name>.log beside the
// parameter file. 0 when it does not fit `size`.
int ComposeRunLogPath(const char* parameterPath, char* out, std::size_t size);

// Texts of a run from the command line.
inline constexpr char kSetRunTitle[] = "タビクス：設定の実行";
inline constexpr char kSetNotFoundFormat[] =
    "設定「%s」はパラメータファイル\n%s\nにありません。";
inline constexpr char kParameterFileInUseFormat[] =
    "パラメータファイル\n%s\nは使用中です。/exit を付けた実行は、実行中のタビクスには渡しません。";
inline constexpr char kNoWildcardRowFormat[] =
    "設定「%s」にはワイルドカード (* や ?) を含むファイル欄がないため、渡されたファイルを当てはめられません。";

// The program-wide paths of one run: the executable directory, the parameter
// file path and the batch file path beside the executable, and the rules that
// set the parameter file path and name it. Start-up fills them; every
// subsystem may read them. No system calls.
#pragma once

#include <cstddef>

inline constexpr char kDefaultParameterBaseName[] = "tavix";
inline constexpr char kParameterFileExtension[] = ".tvx";

// Buffer sizes of the program-wide paths.
inline constexpr std::size_t kExecutableDirectorySize = 261;
inline constexpr std::size_t kBatchFilePathSize = 261;
// Room for the longest parameter file path (513 characters).
inline constexpr std::size_t kParameterFilePathSize = 514;
inline constexpr std::size_t kParameterFileNameSize = 64;  // callers' buffer for GetParameterFileName
inline constexpr std::size_t kParameterFileNameLimit = 63;  // the size they pass: at most 62 characters

// Drive and directory of the executable, ending with a backslash.
extern char g_executableDirectory[kExecutableDirectorySize];
// Full path of the parameter file in use (filled by SetParameterFilePath).
extern char g_parameterFilePath[kParameterFilePathSize];
// The batch file beside the executable, named after the parameter file.
extern char g_batchFilePath[kBatchFilePathSize];

// Sets g_parameterFilePath from an argument or a chosen file name, or to
// tavix.tvx in the executable directory when `argument` is null. A name
// without extension receives ".tvx"; a name without a drive letter (and not
// a \\server\share path) is taken relative to the executable directory.
// Returns whether the resulting path has a file name part.
bool SetParameterFilePath(const char* argument);

// The path a command-line argument or chosen name stands for, as given (no
// extension added): a name without a drive letter (and not a \\server\share
// path) is taken relative to the executable directory. false when it does
// not fit `size`.
bool ResolveArgumentPath(const char* argument, char* out, std::size_t size);

// Whether the parameter file path has a file name part; when `buffer` is
// given, copies that name (no directory, no extension) into it, cut to
// size - 1 bytes at a character boundary. Callers pass a zeroed
// kParameterFileNameSize buffer and kParameterFileNameLimit.
bool GetParameterFileName(char* buffer, std::size_t size);

// Splitting of a path into drive, directory, file name and extension, the way
// the C runtime's _splitpath does it in the Japanese code page.
#pragma once

#include <cstddef>

constexpr std::size_t kMaxDrive = 3;    // "C:" and its terminator
constexpr std::size_t kMaxDir = 256;    // directory part with its terminator
constexpr std::size_t kMaxFname = 256;  // file name part with its terminator
constexpr std::size_t kMaxExt = 256;    // extension part with its terminator

// Splits `path` into `drive` ("C:" when the second byte is ':', else empty),
// `dir` (up to and including the last '\' or '/'), `fname` (up to the last
// dot after the directory) and `ext` (that dot and the rest). Separators and
// dots are looked for double-byte aware. Each out buffer may be null, else it
// must hold kMaxDrive/kMaxDir/kMaxFname/kMaxExt bytes; a longer part is cut
// to fit, at a character boundary.
void SplitPath(const char* path, char* drive, char* dir, char* fname, char* ext);

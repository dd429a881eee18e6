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

// A path for a temporary file in the same folder as `path`, never longer than
// `path` in characters or bytes (so it fits wherever `path` fits): the name
// part of `path` replaced by "~tvx" with the four last hex digits of `number`
// and ".tmp" when the name has 12 characters or more, else by "~" and as many
// hex digits of `number` as the name has characters after its first. Different numbers give
// different names as far as the length allows. 0 (and `out` empty) when
// `path` has no name part or `out` (`size` bytes) is too small.
int MakeTemporarySiblingPath(const char* path, unsigned number, char* out, std::size_t size);

// Paths and scratch folders shared by the native and the Wine-hosted tests.
#pragma once

#include <string>

// tests/data of the source tree, ending without a separator. Natively a Unix
// path; under Wine the same folder as a Z:\ path.
std::string TestDataDir();

// Folder of the running test executable (where the build puts tavix.exe's
// sibling helper programs), ending without a separator.
std::string TestExeDir();

// A fresh, empty scratch folder named after `name` (plus a unique suffix),
// ending without a separator. Left behind on purpose for inspection.
std::string MakeTempDir(const char* name);

// Joins a folder and a name with the platform's separator.
std::string JoinTestPath(const std::string& dir, const std::string& name);

// Whole file as bytes; empty when it cannot be read. `ok` (optional) tells
// which.
std::string ReadWholeFile(const std::string& path, bool* ok = nullptr);

// Writes bytes to a file, replacing it. Returns false on failure.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

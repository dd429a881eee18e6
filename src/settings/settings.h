// The settings file tavix.ini beside the executable: its path, the section
// used for the parameter file in use, its keys and the rules for the window
// position texts. No system calls here (loading and saving:
// settings/settings_win32.h).
#pragma once

#include <cstddef>

inline constexpr char kSettingsBaseName[] = "tavix";
inline constexpr std::size_t kSettingsPathSize = 520;
// Room for the section name: at most 62 characters.
inline constexpr std::size_t kSettingsSectionSize = 63;
// Room for a position text ("%d" of 0 to 32767, or a hand-written text).
inline constexpr std::size_t kPositionTextSize = 16;
// The largest coordinate stored; every larger or negative one is stored so.
inline constexpr int kMaxStoredCoordinate = 32767;

inline constexpr char kPositionXKey[] = "DialogCurrentPositionX";
inline constexpr char kPositionYKey[] = "DialogCurrentPositionY";
inline constexpr char kProcessPriorityKey[] = "ProcessPriority";
inline constexpr char kParallelKey[] = "Parallel";
inline constexpr char kOutputKey[] = "Output";
inline constexpr char kStopOnFailureKey[] = "StopOnFailure";
inline constexpr char kRunListWidthKey[] = "RunListWidth";
inline constexpr char kRunListHeightKey[] = "RunListHeight";

// Room for the name of the lock that copies of the program take while they
// update the settings file.
inline constexpr std::size_t kSettingsLockNameSize = 40;

// "<executable directory>\tavix.ini" into `out`: 1 when it fit, 0 also while
// the executable directory is unknown (empty).
int FormatSettingsPath(char* out, std::size_t size);

// The name of the lock (a named mutex) for the settings file at `path` into
// `out` (kSettingsLockNameSize bytes): a fixed prefix and a hash of the path
// read as the file system reads it (ASCII letters in either case, "/" or "\",
// repeated separators all alike; bytes of double-byte characters as they
// are), so that every copy of the program using that file finds the same
// lock. Holds no backslash, which the system keeps for its namespaces.
void MakeSettingsLockName(const char* path, char* out, std::size_t size);

// The settings section in use: when empty, filled from the parameter file
// name (no directory, no extension) cut to 62 characters.
const char* SettingsSection();

// The settings section in use now (filled when empty) into `out`, cut to
// size - 1 bytes at a character boundary.
void CurrentSettingsSection(char* out, std::size_t size);

// Empties the settings section, so that the next use takes the name of the
// parameter file in use then (after a switch of the parameter file).
void ResetSettingsSection();

// The text stored for a coordinate: compared as an unsigned number, anything
// above 32767 (so every negative coordinate too) becomes 32767.
void FormatPositionText(int coordinate, char* out, std::size_t size);

// The coordinate a stored text gives: blanks skipped, an optional sign, then
// decimal digits up to the first other character; no digits give 0, a
// negative number gives 0, a number too large for an int gives the largest.
int ParsePositionText(const char* text);

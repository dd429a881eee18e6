// The INI engine under Wine: load, two gets, two sets and a save of a
// settings file with 10, 100 and 1000 sections, next to the system's profile
// functions doing the same (two GetPrivateProfileStringA, two
// WritePrivateProfileStringA) on a file with the same content. A second row
// per size times the engine's own part of a pass: the same work on the
// file's bytes in memory, without the system's file calls (open, read, a
// temporary file written and flushed, the replace).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench_row.h"
#include "wall_clock_win32.h"
#include "settings/ini.h"
#include "settings/ini_win32.h"
#include "support/byte_buffer.h"

namespace {

constexpr int kRounds = 20;

// A settings file of `sections` sections, each with the three keys the
// program keeps per parameter file.
std::string SettingsText(int sections) {
  std::string text;
  char line[96];
  for (int i = 0; i < sections; ++i) {
    std::snprintf(line, sizeof line,
                  "[file%04d]\r\nDialogCurrentPositionX=%d\r\nDialogCurrentPositionY=%d\r\n"
                  "ProcessPriority=%d\r\n",
                  i, 100 + i, 200 + i, i % 4);
    text += line;
  }
  return text;
}

void WriteSettingsFile(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

// Prints the row of one size; judged (>= 30x) at 100 sections only.
void PrintIniRow(const char* part, int sections, double seconds, double anchorSeconds) {
  char what[160];
  std::snprintf(what, sizeof what, "INI engine, %s, %d sections (wall clock, best of %d)", part,
                sections, kRounds);
  const bool judged = sections == 100;
  PrintBenchRow({what, "GetPrivateProfileStringA / WritePrivateProfileStringA", 0, nullptr, 0, 0,
                 judged ? 30.0 : 0, judged ? ">= 30x faster" : "none (judged at 100 sections)", true},
                seconds, anchorSeconds);
}

// One pass of the program: the engine as the settings operations use it.
bool EnginePass(const char* path, const char* section, int round) {
  char x[32];
  char y[32];
  IniLoad(path);
  IniGetValue(section, "DialogCurrentPositionX", x, sizeof x);
  IniGetValue(section, "DialogCurrentPositionY", y, sizeof y);
  std::snprintf(x, sizeof x, "%d", round);
  int ok = IniSetValue(section, "DialogCurrentPositionX", x) &&
           IniSetValue(section, "DialogCurrentPositionY", x) && IniSave(path);
  IniFree();
  return ok != 0;
}

// The file's bytes, read once for the in-memory passes.
std::string g_fileBytes;

// One pass of the engine's own work: the file's bytes parsed, the same gets
// and sets, the document written out as a file's bytes.
bool EngineMemoryPass(const char*, const char* section, int round) {
  char x[32];
  char y[32];
  char* block = IniNewBlock(g_fileBytes.size());
  if (block == nullptr) return false;
  std::memcpy(block, g_fileBytes.data(), g_fileBytes.size());
  int ok = IniParseBlock(block);
  IniGetValue(section, "DialogCurrentPositionX", x, sizeof x);
  IniGetValue(section, "DialogCurrentPositionY", y, sizeof y);
  std::snprintf(x, sizeof x, "%d", round);
  ByteBuffer out;
  ok = ok && IniSetValue(section, "DialogCurrentPositionX", x) &&
       IniSetValue(section, "DialogCurrentPositionY", x) && IniWriteDocument(&out);
  FreeByteBuffer(&out);
  IniFree();
  return ok != 0;
}

// One pass of the anchor: the same through the profile functions.
bool ProfilePass(const char* path, const char* section, int round) {
  char x[32];
  char y[32];
  GetPrivateProfileStringA(section, "DialogCurrentPositionX", "", x, sizeof x, path);
  GetPrivateProfileStringA(section, "DialogCurrentPositionY", "", y, sizeof y, path);
  std::snprintf(x, sizeof x, "%d", round);
  return WritePrivateProfileStringA(section, "DialogCurrentPositionX", x, path) &&
         WritePrivateProfileStringA(section, "DialogCurrentPositionY", x, path);
}

// Best seconds of one pass over kRounds rounds.
template <typename Pass>
double BestPass(Pass pass, const std::string& path, const char* section) {
  double best = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const double start = Now();
    if (!pass(path.c_str(), section, round)) return -1;
    const double seconds = Now() - start;
    best = seconds < best ? seconds : best;
  }
  return best;
}

std::string TempFile(const char* name) {
  char dir[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

}  // namespace

int main() {
  const std::string enginePath = TempFile("tavix-ini-bench-engine.ini");
  const std::string profilePath = TempFile("tavix-ini-bench-profile.ini");
  for (int sections : {10, 100, 1000}) {
    g_fileBytes = SettingsText(sections);
    WriteSettingsFile(enginePath, g_fileBytes);
    WriteSettingsFile(profilePath, g_fileBytes);
    char section[32];
    std::snprintf(section, sizeof section, "file%04d", sections / 2);
    const double engine = BestPass(EnginePass, enginePath, section);
    const double memory = BestPass(EngineMemoryPass, enginePath, section);
    const double profile = BestPass(ProfilePass, profilePath, section);
    if (engine < 0 || memory < 0 || profile < 0) {
      std::printf("INI engine: a pass failed at %d sections\n", sections);
      return 1;
    }
    PrintIniRow("load + 2 gets + 2 sets + save", sections, engine, profile);
    PrintIniRow("the same on the bytes in memory (no file calls)", sections, memory, profile);
  }
  DeleteFileA(enginePath.c_str());
  DeleteFileA(profilePath.c_str());
  return 0;
}

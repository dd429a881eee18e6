// The inside of the cmd model (cmd_model.h), shared by its two halves: how
// a line is read (cmd_model_lines.cpp: percent expansion, a caret at the
// end of a line, quotes, carets and the pieces between "& && | || ( )",
// the C runtime's and a batch file's parameters) and what the commands do
// (cmd_model.cpp: cd, pushd, popd, call, set, exit, a drive line, the
// program a word names, and the programs and child cmds started).
#pragma once

#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cmd_model.h"

namespace cmd_shell {

inline std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

inline std::string Trim(const std::string& text) {
  const std::size_t from = text.find_first_not_of(" \t");
  if (from == std::string::npos) return "";
  return text.substr(from, text.find_last_not_of(" \t") - from + 1);
}

inline bool EndsWith(const std::string& text, const char* ending) {
  const std::size_t length = std::strlen(ending);
  return text.size() >= length && Lower(text.substr(text.size() - length)) == ending;
}

// A folder pushd stored, with the drive letter it mapped (0: none).
struct Frame {
  char drive;
  std::string folder;
  char mapped;
};

// One cmd: a current folder per drive, the folders pushd stored, the error level.
struct Shell {
  Shell(CmdWorld* w, bool batch) : world(w), batchFile(batch) {}
  CmdWorld* world;
  bool batchFile;  // reading a batch file, not a command line
  char drive = 'C';
  std::map<char, std::string> folders;
  std::vector<Frame> stack;
  int errorLevel = 0;
  bool exited = false;

  std::string& Folder(char letter) {
    std::string& folder = folders[letter];
    if (folder.empty()) folder = std::string(1, letter) + ":\\";
    return folder;
  }
  void Enter(const std::string& folder) {
    drive = static_cast<char>(std::toupper(folder[0]));
    Folder(drive) = folder;
  }
  // The current folder, one on a drive pushd mapped given as its UNC path.
  std::string Where() {
    const std::string folder = Folder(drive);
    const auto mapped = world->mappedDrives.find(drive);
    if (mapped == world->mappedDrives.end()) return folder;
    return mapped->second + (folder.size() > 3 ? folder.substr(2) : "");
  }
};

// ---- How a line is read (cmd_model_lines.cpp) ----

// Phase 1: the line with its '%' expanded, as a batch file or a command line
// reads it; "" with the shell ended where an invalid %~ ends the file.
std::string ExpandPercents(Shell* shell, const std::string& line);

// 1 when a batch line ends in a caret that escapes its line end.
bool ContinuesOnNextLine(const std::string& line);

// Phase 2 (cmd /?: "& | ( ) < >" act unless quoted or escaped with "^";
// echo /?: a caret takes the next character as it is): every '"' toggles
// quoting and is kept; outside quotes '^' takes the next character
// literally, "& && | ||" join commands, "<" and ">" with their target are
// redirections (taken out), "(" opening a command and its ")" group, and
// "@" before a command keeps it from being echoed.
enum PieceKind { kText, kThen, kIfSuccess, kIfFailure, kPipe, kOpen, kClose };
struct Piece {
  PieceKind kind;
  std::string text;
};

std::vector<Piece> ReadPieces(Shell* shell, const std::string& line);

// An expanded line: "if errorlevel", or its pieces run in turn.
void RunLine(Shell* shell, const std::string& expanded);

// The first word of a command (quotes taken off) and where the rest starts.
std::string FirstWord(const std::string& command, std::size_t* rest);

// ---- What the commands do (cmd_model.cpp) ----

// One command of a line's pieces; `called` when call runs it.
void RunCommand(Shell* shell, const std::string& text, bool called);

// A cmd started with `commandLine` in `folder`: its /c or /k command runs.
void RunChildCmd(CmdWorld* world, const std::string& commandLine, const std::string& folder);

}  // namespace cmd_shell

// A small model of how Windows' cmd.exe reads the lines the program hands
// it, written from cmd's public documentation (cmd /?, call /?, cd /?,
// pushd /?, if /? and Microsoft's "Windows commands" pages), so that tests
// can read a composed line back as Windows would: which programs it starts,
// in which folder, with which command line. Wine's cmd departs from Windows'
// in some of these rules (how quotes nest, call and carets, a lone '%' on a
// command line), so this is the check where Wine cannot show a fault.
//
// What it knows: '%' expansion (batch file and command line), quotes that
// toggle, '^' outside quotes, "& && | || < > ( )" outside quotes, "@", call
// (and its caret doubling), cmd /c and /k with their quote rule, cd (with
// and without /d), pushd, popd, a drive line, "if errorlevel", exit and
// pause. A program it starts is only recorded, and ends with exit code 0.
#pragma once

#include <map>
#include <string>
#include <vector>

// One program cmd started: the folder it started in and its command line
// (a batch file called or run by a child cmd is a program too).
struct CmdStart {
  std::string folder;
  std::string line;
};

// What the model runs in and what it saw.
struct CmdWorld {
  std::map<std::string, std::string> environment;  // names in lower case
  std::vector<std::string> missingFolders;         // folders that cannot be entered
  std::vector<CmdStart> starts;
  int brokenLines = 0;  // lines that fell apart into several commands or redirected output
};

// A world with ComSpec set to C:\Windows\system32\cmd.exe.
CmdWorld MakeCmdWorld();

// Runs a batch file (lines ended by CR LF) started in `folder`.
void RunBatchText(CmdWorld* world, const std::string& text, const std::string& folder);

// A command line handed to the system for a child started in `folder`: cmd
// itself reads its "/c" or "/k" command, any other program is recorded.
void StartCommandLine(CmdWorld* world, const std::string& line, const std::string& folder);

// The parameters of a command line as the C runtime splits them, the program
// first (Microsoft's "Parsing C command-line arguments").
std::vector<std::string> SplitArguments(const std::string& line);

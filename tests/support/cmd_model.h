// A small model of how Windows' cmd.exe and the C runtime read the lines
// the program hands them, written from their public documentation (cmd /?,
// call /?, cd /?, pushd /?, if /?, set /?, Microsoft's "Windows commands"
// pages and "Parsing C++ command-line arguments"), so that tests can read a
// composed line back as Windows would: which programs it starts, in which
// folder, with which arguments. Wine's cmd departs from Windows' in some of
// these rules (how quotes nest, call and carets, (call), a lone '%' on a
// command line, UNC folders), so this is the check where Wine cannot show a
// fault.
//
// Every cmd the program starts runs with /d /e:on /v:off: the model knows
// command extensions on and delayed expansion off, and nothing else.
//
// What it knows: '%' expansion (batch file and command line, %VAR:…% of an
// undefined VAR, %0-%9, %*, %~, %ERRORLEVEL%), a caret ending a line, quotes that toggle,
// '^' outside quotes, "& && | || < > ( )" outside quotes with && and ||
// running by the error level, "@", call (its caret doubling, "(call)" and
// "(call )"), cmd /c and /k with their quote rule, cd (with and without /d),
// pushd (a UNC folder through a drive letter that only popd removes), popd,
// a drive line, "if errorlevel", exit, pause, a bare program name looked up
// through PATHEXT, a batch file run without call ending the one that ran it.
// A program it starts is only recorded, and ends with its exit code from
// `exitCodes` (0 when not listed).
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

// One program cmd started (a batch file called or run by a child cmd is a
// program too).
struct CmdStart {
  std::string folder;   // where it started; a UNC folder entered through a drive is given as UNC
  std::string line;     // its command line as cmd handed it over
  std::string program;  // the file that runs: as typed, or as found through PATHEXT
  bool batchProgram = false;           // a .bat or .cmd file
  std::vector<std::string> arguments;  // argv[1..] of a program, %1… of a batch file (quotes kept)
};

// What the model runs in and what it saw.
struct CmdWorld {
  std::map<std::string, std::string> environment;  // names in lower case
  std::vector<std::string> missingFolders;         // folders that cannot be entered
  // Which files exist, for the search of a bare program name (null: the
  // name is taken as it is, a batch file by its extension).
  std::function<bool(const std::string&)> fileExists;
  std::map<std::string, int> exitCodes;  // by program file, in lower case
  std::vector<CmdStart> starts;
  int brokenLines = 0;    // redirections, pipes and invalid uses of %~
  int joinedLines = 0;    // batch lines a caret at their end joined to the next
  // Drive letters pushd mapped and popd has not removed, with their UNC folders.
  std::map<char, std::string> mappedDrives;
  int exitCode = 0;       // the error level the last cmd ended with
};

// A world with ComSpec set to C:\Windows\system32\cmd.exe and PATHEXT to
// Windows' default.
CmdWorld MakeCmdWorld();

// Runs a batch file (lines ended by CR LF) started in `folder`.
void RunBatchText(CmdWorld* world, const std::string& text, const std::string& folder);

// A command line handed to the system for a child started in `folder`: cmd
// itself reads its "/c" or "/k" command, any other program is recorded.
void StartCommandLine(CmdWorld* world, const std::string& line, const std::string& folder);

// The parameters of a command line as the C runtime splits them, the program
// first (Microsoft's "Parsing C++ command-line arguments").
std::vector<std::string> SplitArguments(const std::string& line);

// The parameters a batch file reads as %1, %2, … from the text after its
// name: separated by blanks, tabs, ',' ';' and '=' outside quotes, the
// quotes kept (call /?, "Using batch parameters").
std::vector<std::string> BatchParameters(const std::string& text);

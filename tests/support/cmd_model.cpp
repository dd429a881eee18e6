// What the commands of the cmd model do (cmd_model.h); how it reads a line
// is in cmd_model_lines.cpp.
#include "cmd_model.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "cmd_model_shell.h"
#include "support/dbcs.h"

namespace cmd_shell {

namespace {

// A folder named on a cd or pushd line, as a full path: quotes do not take
// part, "X:" alone or "X:name" is in that drive's current folder, "\" starts
// at the root of the current drive, "." and ".." step.
std::string FullFolder(Shell* shell, std::string path) {
  path.erase(std::remove(path.begin(), path.end(), '"'), path.end());
  std::string base = shell->Folder(shell->drive);
  if (path.size() >= 2 && path[1] == ':') {
    base = shell->Folder(static_cast<char>(std::toupper(path[0])));
    path.erase(0, 2);
    if (!path.empty() && path[0] == '\\') base = base.substr(0, 2);
  } else if (path.compare(0, 2, "\\\\") == 0) {
    base = "\\\\";
    path.erase(0, 2);
  } else if (!path.empty() && path[0] == '\\') {
    base = base.substr(0, 2);
  }
  std::vector<std::string> parts;
  const std::string text = base + "\\" + path;
  const bool network = text.compare(0, 2, "\\\\") == 0;
  for (std::size_t start = 0, end; start <= text.size(); start = end + 1) {
    end = start;
    while (end < text.size() && text[end] != '\\') end = NextCharIndex(text, end);
    const std::string part = text.substr(start, end - start);
    if (part == "..") {
      if (parts.size() > 1) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
  }
  std::string folder = network ? "\\" : "";
  for (const std::string& part : parts) folder += (folder.size() > 1 || network ? "\\" : "") + part;
  return folder.size() == 2 ? folder + "\\" : folder;
}

// cd /?: "cd path" sets that drive's current folder, and only /d makes that
// drive current too; cd with only a drive shows its folder. cmd does not take
// a UNC folder as current folder. pushd /?: stores the current folder and
// enters another, on any drive; a UNC folder through the highest free drive
// letter, mapped until popd leaves it. popd goes back.
void ChangeFolder(Shell* shell, const std::string& word, std::string path) {
  auto& drives = shell->world->mappedDrives;
  const bool switchDrive = Lower(path).compare(0, 3, "/d ") == 0;
  if (switchDrive) path = Trim(path.substr(3));
  if (word == "popd") {
    if (shell->stack.empty()) return;
    const Frame frame = shell->stack.back();
    shell->stack.pop_back();
    if (frame.mapped != 0) drives.erase(frame.mapped);
    shell->Enter(frame.folder);
    shell->drive = frame.drive;
    return;
  }
  if (path.empty() || (word != "pushd" && path.size() == 2 && path[1] == ':')) return;
  std::string folder = FullFolder(shell, path);
  const std::vector<std::string>& missing = shell->world->missingFolders;
  if (std::find(missing.begin(), missing.end(), folder) != missing.end() ||
      (word != "pushd" && folder[0] == '\\')) {
    shell->errorLevel = 1;
    return;
  }
  shell->errorLevel = 0;
  if (word == "pushd") {
    char mapped = 0;
    if (folder[0] == '\\') {
      mapped = 'Z';
      while (drives.count(mapped) != 0) --mapped;
      const std::size_t share = folder.find('\\', folder.find('\\', 2) + 1);
      drives[mapped] = folder.substr(0, share);
      folder = std::string(1, mapped) + ":\\" +
               (share == std::string::npos ? "" : folder.substr(share + 1));
    }
    shell->stack.push_back({shell->drive, shell->Folder(shell->drive), mapped});
    shell->Enter(folder);
  } else {
    shell->Folder(static_cast<char>(std::toupper(folder[0]))) = folder;
    if (switchDrive) shell->drive = static_cast<char>(std::toupper(folder[0]));
  }
}

// call /?: calls a batch program (or runs a command). The called line is
// read again, percent expansion and phase 2 once more, and before that
// every caret is doubled, inside quotes too (not in call /?: on Windows
// `call echo "^"` prints "^^"; Wine's call does not double). "call" with
// nothing after it fails, so "(call)" sets the error level 1, while a
// blank after it ("(call )") makes it succeed: the two idioms that set it.
void Call(Shell* shell, const std::string& text, std::string rest) {
  if (Trim(rest).empty()) {
    shell->errorLevel = text.find("call ") == std::string::npos ? 1 : 0;
    return;
  }
  for (std::size_t at = 0; (at = rest.find('^', at)) != std::string::npos; at += 2) {
    rest.insert(at, "^");
  }
  for (const Piece& piece : ReadPieces(shell, ExpandPercents(shell, rest))) {
    if (piece.kind == kText) RunCommand(shell, piece.text, true);
  }
}

// The file a command's first word runs: a bare name is looked for in the
// current folder and then in each folder of PATH, a name with a folder only
// there; in each, the name as it is when it has an extension, then the name
// with each extension of PATHEXT in turn ("Command shell overview": the
// command search sequence). Where the world has no files, the word itself.
std::string FindProgram(Shell* shell, const std::string& word) {
  const auto& exists = shell->world->fileExists;
  if (!exists) return word;
  std::vector<std::string> folders;
  std::string name = word;
  const std::size_t cut = word.find_last_of("\\:");
  if (cut != std::string::npos) {
    folders.push_back(FullFolder(shell, word.substr(0, cut + (word[cut] == ':' ? 1 : 0))));
    name = word.substr(cut + 1);
  } else {
    folders.push_back(shell->Where());
    const std::string path = shell->world->environment["path"];
    for (std::size_t start = 0, end; start <= path.size(); start = end + 1) {
      end = std::min(path.find(';', start), path.size());
      if (end > start) folders.push_back(path.substr(start, end - start));
    }
  }
  const std::string pathext = shell->world->environment["pathext"];
  for (const std::string& folder : folders) {
    const std::string base = folder + (folder.back() == '\\' ? "" : "\\") + name;
    if (name.find('.') != std::string::npos && exists(base)) return base;
    for (std::size_t start = 0, end; start <= pathext.size(); start = end + 1) {
      end = std::min(pathext.find(';', start), pathext.size());
      if (end > start && exists(base + pathext.substr(start, end - start))) {
        return base + pathext.substr(start, end - start);
      }
    }
  }
  return word;
}

// The file CreateProcess starts for a command line's program: ".exe"
// appended to a name without an extension, a bare name looked for on PATH
// (after the folders of the parent, which the model has none of).
std::string FindStartedProgram(CmdWorld* world, std::string program) {
  const std::size_t cut = program.find_last_of('\\');
  if (!world->fileExists) return program;
  if (program.find('.', cut == std::string::npos ? 0 : cut) == std::string::npos) program += ".exe";
  if (cut != std::string::npos || world->fileExists(program)) return program;
  const std::string path = world->environment["path"];
  for (std::size_t start = 0, end; start <= path.size(); start = end + 1) {
    end = std::min(path.find(';', start), path.size());
    const std::string file = path.substr(start, end - start) + "\\" + program;
    if (end > start && world->fileExists(file)) return file;
  }
  return program;
}

}  // namespace

void RunCommand(Shell* shell, const std::string& text, bool called) {
  const std::string command = Trim(text);
  if (command.empty() || shell->exited) return;
  std::size_t restAt = 0;
  const std::string word = Lower(FirstWord(command, &restAt));
  const std::string rest = command.substr(restAt);
  if (word == "call") return Call(shell, Lower(text), rest);
  if (word == "cd" || word == "chdir" || word == "pushd" || word == "popd") {
    return ChangeFolder(shell, word == "chdir" ? "cd" : word, Trim(rest));
  }
  if (word == "exit") {  // exit /?: exit /b n ends the batch file with n
    shell->exited = true;
    shell->errorLevel =
        std::atoi(Trim(rest.substr(Lower(rest).compare(0, 2, "/b") == 0 ? 2 : 0)).c_str());
    return;
  }
  if (word == "set") {  // set /?: set name=value, or "name=value" in quotes
    std::string assignment = rest;
    if (!assignment.empty() && assignment[0] == '"') assignment = assignment.substr(1, assignment.rfind('"') - 1);
    const std::size_t equals = assignment.find('=');
    if (equals != std::string::npos) {
      shell->world->environment[Lower(assignment.substr(0, equals))] = assignment.substr(equals + 1);
    }
    return;
  }
  if (word == "pause" || word == "echo" || word == "rem") return;
  if (word.size() == 2 && word[1] == ':') {  // a drive alone makes that drive current
    shell->drive = static_cast<char>(std::toupper(word[0]));
    return;
  }
  const std::string program = FindProgram(shell, FirstWord(command, &restAt));
  const std::string name = Lower(program.substr(program.find_last_of('\\') + 1));
  if (name == "cmd" || name == "cmd.exe") {
    RunChildCmd(shell->world, command, shell->Folder(shell->drive));
    shell->errorLevel = shell->world->exitCode;
    return;
  }
  CmdStart start{shell->Where(), command, program, EndsWith(program, ".bat") || EndsWith(program, ".cmd"), {}};
  start.arguments = start.batchProgram ? BatchParameters(rest) : SplitArguments(command);
  if (!start.batchProgram) start.arguments.erase(start.arguments.begin());
  shell->world->starts.push_back(start);
  const auto code = shell->world->exitCodes.find(Lower(program));
  shell->errorLevel = code == shell->world->exitCodes.end() ? 0 : code->second;
  // call /?: a batch program run from a batch file without call does not
  // come back to it.
  if (start.batchProgram && shell->batchFile && !called) shell->exited = true;
}

// cmd /?: after /c or /k the rest of the line is the command. Its quotes are
// kept when /s is not given and there are exactly two, with no "&<>()@^|"
// and at least one blank between them, and the text between them names an
// executable file (here: one ending in .exe, .com, .bat or .cmd); otherwise
// a first character that is a quote is taken off, and so is the last quote
// of the line. cmd cannot start in a UNC folder: it runs in the Windows
// folder instead (its start-up message says so). It ends with the error
// level of its command.
void RunChildCmd(CmdWorld* world, const std::string& commandLine, const std::string& folder) {
  Shell shell(world, false);
  shell.Enter(folder[0] == '\\' ? "C:\\Windows" : folder);
  std::size_t at = 0;
  FirstWord(commandLine, &at);
  bool slashS = false;
  while (at < commandLine.size() && commandLine[at] == '/') {
    const char option =
        static_cast<char>(std::tolower(static_cast<unsigned char>(commandLine[at + 1])));
    at = std::min(commandLine.size(), commandLine.find_first_of(" \t", at));
    at = std::min(commandLine.size(), commandLine.find_first_not_of(" \t", at));
    if (option == 's') slashS = true;
    if (option != 'c' && option != 'k' && option != 'r') continue;
    std::string rest = commandLine.substr(at);
    const std::size_t first = rest.find('"'), last = rest.rfind('"');
    const std::string between = first == last ? "" : rest.substr(first + 1, last - first - 1);
    const bool keep = !slashS && std::count(rest.begin(), rest.end(), '"') == 2 &&
                      between.find_first_of("&<>()@^|") == std::string::npos &&
                      between.find(' ') != std::string::npos &&
                      (EndsWith(between, ".exe") || EndsWith(between, ".com") ||
                       EndsWith(between, ".bat") || EndsWith(between, ".cmd"));
    if (!keep && !rest.empty() && rest[0] == '"') {
      rest.erase(rest.rfind('"'), 1);
      rest.erase(0, 1);
    }
    RunLine(&shell, ExpandPercents(&shell, rest));
    break;
  }
  world->exitCode = shell.errorLevel;
}

}  // namespace cmd_shell

using namespace cmd_shell;

CmdWorld MakeCmdWorld() {
  CmdWorld world;
  world.environment["comspec"] = "C:\\Windows\\system32\\cmd.exe";
  world.environment["pathext"] = ".COM;.EXE;.BAT;.CMD";
  return world;
}

void StartCommandLine(CmdWorld* world, const std::string& line, const std::string& folder) {
  std::size_t rest = 0;
  const std::string program = FirstWord(line, &rest);
  const std::string name = Lower(program.substr(program.find_last_of('\\') + 1));
  if (name == "cmd" || name == "cmd.exe") return RunChildCmd(world, line, folder);
  std::vector<std::string> argv = SplitArguments(line);
  argv.erase(argv.begin());
  const std::string file = FindStartedProgram(world, program);
  if (world->fileExists && !world->fileExists(file)) return;  // the start fails
  world->starts.push_back({folder, line, file, false, argv});
}

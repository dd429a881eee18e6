#include "cmd_model.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "support/dbcs.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trim(const std::string& text) {
  const std::size_t from = text.find_first_not_of(" \t");
  if (from == std::string::npos) return "";
  return text.substr(from, text.find_last_not_of(" \t") - from + 1);
}

bool EndsWith(const std::string& text, const char* ending) {
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

// Phase 1, percent expansion (set /?, call /?, for /?; the parser's order as
// described in "How does the Windows Command Interpreter (CMD.EXE) parse
// scripts?", Stack Overflow 4094699): %NAME% is the variable's value. In a
// batch file an undefined variable and a lone '%' give nothing, "%%" one
// '%', %0-%9 and %* the file's parameters (none here), %~ followed by its
// modifiers and a digit a parameter too (any other %~ is an error that ends
// the file), and %NAME:…% with NAME undefined loses "%NAME:" and the scan
// reads on after the colon. %ERRORLEVEL% is the error level unless a
// variable of that name is set. On a command line an undefined %NAME% and any
// other '%' stay as they are.
std::string ExpandPercents(Shell* shell, const std::string& line) {
  std::string out;
  const bool batch = shell->batchFile;
  const auto& environment = shell->world->environment;
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] != '%') {
      const std::size_t next = NextCharIndex(line, i);
      out.append(line, i, next - i);
      i = next;
      continue;
    }
    const char after = i + 1 < line.size() ? line[i + 1] : '\0';
    if (batch && (after == '*' || std::isdigit(static_cast<unsigned char>(after)))) {
      i += 2;
      continue;
    }
    if (batch && after == '~') {
      std::size_t at = i + 2;
      while (at < line.size() && std::strchr("fdpnxsatz", std::tolower(line[at])) != nullptr) ++at;
      if (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at]))) {
        i = at + 1;
        continue;
      }
      ++shell->world->brokenLines;
      shell->exited = true;
      return "";
    }
    const std::size_t close = line.find('%', i + 1);
    if (close == std::string::npos) {
      if (!batch) out += '%';
      ++i;
      continue;
    }
    if (close == i + 1) {
      out += batch ? "%" : "%%";
      i += 2;
      continue;
    }
    const std::string name = line.substr(i + 1, close - i - 1);
    const std::size_t colon = name.find(':');
    const auto value = environment.find(Lower(name.substr(0, colon)));
    if (value == environment.end() && Lower(name) == "errorlevel") {  // set /?: a dynamic variable
      out += std::to_string(shell->errorLevel);
      i = close + 1;
      continue;
    }
    if (batch && colon != std::string::npos && value == environment.end()) {
      i += colon + 2;
      continue;
    }
    if (value != environment.end()) {
      out += value->second;
    } else if (!batch) {
      out += line.substr(i, close - i + 1);
    }
    i = close + 1;
  }
  return out;
}

// 1 when a batch line ends in a caret that escapes its line end: cmd then
// reads the next line as part of this one (cmd /?: "^" escapes the next
// character; at the end of a line that is the line feed).
bool ContinuesOnNextLine(const std::string& line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); i = NextCharIndex(line, i)) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == '^' && !quoted) {
      if (i + 1 == line.size()) return true;
      ++i;
    }
  }
  return false;
}

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

std::vector<Piece> ReadPieces(Shell* shell, const std::string& line) {
  std::vector<Piece> pieces;
  std::string command;
  bool quoted = false;
  int depth = 0;
  auto flush = [&] {
    if (pieces.empty() || pieces.back().kind != kClose || !Trim(command).empty()) {
      pieces.push_back({kText, command});
    }
    command.clear();
  };
  for (std::size_t i = 0, next; i < line.size(); i = next) {
    next = NextCharIndex(line, i);
    const char c = line[i];
    const bool opening = Trim(command).empty() && (pieces.empty() || pieces.back().kind != kClose);
    if (c == '"') quoted = !quoted;
    if (quoted || c == '"' || next - i == 2) {
      command.append(line, i, next - i);
    } else if (c == '^') {
      const std::size_t escaped = next;
      next = escaped < line.size() ? NextCharIndex(line, escaped) : escaped;
      command.append(line, escaped, next - escaped);
    } else if (c == '&' || c == '|') {
      const bool twice = next < line.size() && line[next] == c;
      if (twice) ++next;
      flush();
      pieces.push_back({c == '&' ? (twice ? kIfSuccess : kThen) : (twice ? kIfFailure : kPipe), ""});
    } else if (c == '<' || c == '>') {
      ++shell->world->brokenLines;
      next = line.find_first_not_of(' ', next);
      next = next == std::string::npos ? line.size() : std::min(line.size(), line.find(' ', next));
    } else if (c == '(' && opening) {
      ++depth;
      pieces.push_back({kOpen, ""});
    } else if (c == ')' && depth > 0) {
      --depth;
      flush();
      pieces.push_back({kClose, ""});
    } else if (!(c == '@' && opening)) {
      command += c;
    }
  }
  flush();
  return pieces;
}

void RunCommand(Shell* shell, const std::string& text, bool called);

// Runs the commands from `at` to the end or a closing bracket; `run` false
// only steps over them. "a & b" runs both, "a && b" b only when a
// succeeded, "a || b" b only when it failed (cmd /?, "Using multiple
// commands and conditional processing symbols").
std::size_t RunPieces(Shell* shell, const std::vector<Piece>& pieces, std::size_t at, bool run) {
  bool runNext = run;
  while (at < pieces.size() && pieces[at].kind != kClose) {
    const Piece& piece = pieces[at++];
    if (piece.kind == kOpen) {
      at = RunPieces(shell, pieces, at, runNext);
      if (at < pieces.size()) ++at;
    } else if (piece.kind == kText) {
      if (runNext && !shell->exited) RunCommand(shell, piece.text, false);
    } else {
      if (piece.kind == kPipe) ++shell->world->brokenLines;
      runNext = run && (piece.kind == kThen || piece.kind == kPipe ||
                        (piece.kind == kIfSuccess) == (shell->errorLevel == 0));
    }
  }
  return at;
}

void RunPhaseTwo(Shell* shell, const std::string& text) {
  RunPieces(shell, ReadPieces(shell, text), 0, true);
}

// The first word of a command (quotes taken off) and where the rest starts.
std::string FirstWord(const std::string& command, std::size_t* rest) {
  std::size_t end = 0;
  bool quoted = false;
  while (end < command.size() && (quoted || (command[end] != ' ' && command[end] != '\t'))) {
    quoted ^= command[end] == '"';
    end = NextCharIndex(command, end);
  }
  std::string word = command.substr(0, end);
  word.erase(std::remove(word.begin(), word.end(), '"'), word.end());
  while (end < command.size() && (command[end] == ' ' || command[end] == '\t')) ++end;
  *rest = end;
  return word;
}

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

void RunChildCmd(CmdWorld* world, const std::string& commandLine, const std::string& folder);

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

// if /?: "if errorlevel n command" runs the command when the last exit code
// is n or more. Any other line goes through both phases.
void RunLine(Shell* shell, const std::string& expanded) {
  std::string text = Trim(expanded);
  if (!text.empty() && text[0] == '@') text = Trim(text.substr(1));
  if (Lower(text).compare(0, 14, "if errorlevel ") == 0) {
    std::size_t restAt = 0;
    const std::string level = FirstWord(text.substr(14), &restAt);
    if (shell->errorLevel >= std::atoi(level.c_str())) RunPhaseTwo(shell, text.substr(14 + restAt));
    return;
  }
  RunPhaseTwo(shell, text);
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

CmdWorld MakeCmdWorld() {
  CmdWorld world;
  world.environment["comspec"] = "C:\\Windows\\system32\\cmd.exe";
  world.environment["pathext"] = ".COM;.EXE;.BAT;.CMD";
  return world;
}

void RunBatchText(CmdWorld* world, const std::string& text, const std::string& folder) {
  Shell shell(world, true);
  shell.Enter(folder[0] == '\\' ? "C:\\Windows" : folder);
  for (std::size_t start = 0, end;
       (end = text.find("\r\n", start)) != std::string::npos && !shell.exited; start = end + 2) {
    std::string line = ExpandPercents(&shell, text.substr(start, end - start));
    while (ContinuesOnNextLine(line) && text.find("\r\n", end + 2) != std::string::npos) {
      ++world->joinedLines;
      start = end + 2;
      end = text.find("\r\n", start);
      line.pop_back();
      line += ExpandPercents(&shell, text.substr(start, end - start));
    }
    if (!shell.exited) RunLine(&shell, line);
  }
  world->exitCode = shell.errorLevel;
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

// The program ends at the first blank or tab outside quotes, its quotes
// taken off. Then blanks and tabs outside quotes separate parameters; 2n
// backslashes before a quote give n and the quote opens or closes, 2n+1
// give n and a literal quote; other backslashes stand as they are; inside
// quotes a pair of quotes gives one literal quote. A two-byte character is
// one.
std::vector<std::string> SplitArguments(const std::string& line) {
  std::size_t at = 0;
  std::vector<std::string> argv{FirstWord(line, &at)};
  bool quoted = false, inArgument = false;
  std::string argument;
  while (at <= line.size()) {
    if (at == line.size() || ((line[at] == ' ' || line[at] == '\t') && !quoted)) {
      if (inArgument) argv.push_back(argument);
      argument.clear();
      inArgument = false;
      ++at;
      continue;
    }
    inArgument = true;
    const std::size_t end = line.find_first_not_of('\\', at);
    const std::size_t slashes = (end == std::string::npos ? line.size() : end) - at;
    at += slashes;
    if (at < line.size() && line[at] == '"') {
      argument.append(slashes / 2, '\\');
      if (slashes % 2 == 1) {
        argument += '"';
      } else if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
        argument += '"';
        ++at;
      } else {
        quoted = !quoted;
      }
      ++at;
    } else {
      argument.append(slashes, '\\');
      if (slashes == 0) {
        argument.append(line, at, NextCharIndex(line, at) - at);
        at = NextCharIndex(line, at);
      }
    }
  }
  return argv;
}

std::vector<std::string> BatchParameters(const std::string& text) {
  std::vector<std::string> parameters;
  std::string parameter;
  bool quoted = false;
  for (std::size_t i = 0, next; i <= text.size(); i = next) {
    next = i < text.size() ? NextCharIndex(text, i) : i + 1;
    if (i == text.size() || (!quoted && next - i == 1 && std::strchr(" \t,;=", text[i]) != nullptr)) {
      if (!parameter.empty()) parameters.push_back(parameter);
      parameter.clear();
      continue;
    }
    if (text[i] == '"') quoted = !quoted;
    parameter.append(text, i, next - i);
  }
  return parameters;
}

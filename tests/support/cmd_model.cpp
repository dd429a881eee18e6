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
  const std::size_t from = text.find_first_not_of(' ');
  if (from == std::string::npos) return "";
  return text.substr(from, text.find_last_not_of(' ') - from + 1);
}

// One cmd: a current folder per drive, the folders pushd stored, the error level.
struct Shell {
  Shell(CmdWorld* w, bool batch) : world(w), batchFile(batch) {}
  CmdWorld* world;
  bool batchFile;  // reading a batch file, not a command line
  char drive = 'C';
  std::map<char, std::string> folders;
  std::vector<std::pair<char, std::string>> stack;
  int errorLevel = 0;
  bool exited = false;

  std::string& Folder(char letter) {
    std::string& folder = folders[letter];
    if (folder.empty()) folder = std::string(1, letter) + ":\\";
    return folder;
  }
  void Enter(const std::string& folder) {
    drive = folder[0] == '\\' ? '#' : static_cast<char>(std::toupper(folder[0]));
    Folder(drive) = folder;
  }
};

// Phase 1, percent expansion (set /?, "Using batch parameters"): %NAME% is
// the variable's value. In a batch file an undefined variable and a lone '%'
// give nothing, "%%" gives one '%' (for /?: a batch file writes %%variable)
// and %0-%9, %* the file's parameters (none here); on a command line an
// undefined %NAME% and any other '%' stay as they are.
std::string ExpandPercents(const Shell& shell, const std::string& line) {
  std::string out;
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] != '%') {
      const std::size_t next = NextCharIndex(line, i);
      out.append(line, i, next - i);
      i = next;
      continue;
    }
    const std::size_t close = line.find('%', i + 1);
    if (shell.batchFile && i + 1 < line.size() &&
        (line[i + 1] == '*' || std::isdigit(static_cast<unsigned char>(line[i + 1])))) {
      i += 2;
    } else if (close == std::string::npos) {
      if (!shell.batchFile) out += '%';
      ++i;
    } else if (close == i + 1) {
      out += shell.batchFile ? "%" : "%%";
      i += 2;
    } else {
      const auto value = shell.world->environment.find(Lower(line.substr(i + 1, close - i - 1)));
      if (value != shell.world->environment.end()) {
        out += value->second;
      } else if (!shell.batchFile) {
        out += line.substr(i, close - i + 1);
      }
      i = close + 1;
    }
  }
  return out;
}

// Phase 2 (cmd /? and the "cmd" page: "& | ( ) < >" act unless quoted or
// escaped with "^"; echo's page: a caret takes the next character as it is):
// every '"' toggles quoting and is kept; outside quotes '^' takes the next
// character literally, "& && | ||" end a command, "<" and ">" with their
// target are redirections (taken out), "(" opening a command and its ")"
// group it, and "@" before a command keeps it from being echoed.
std::vector<std::string> SplitCommands(Shell* shell, const std::string& line) {
  std::vector<std::string> commands(1);
  bool quoted = false;
  int depth = 0;
  for (std::size_t i = 0, next; i < line.size(); i = next) {
    std::string& command = commands.back();
    next = NextCharIndex(line, i);
    const char c = line[i];
    const bool opening = Trim(command).empty();
    if (c == '"') quoted = !quoted;
    if (quoted || c == '"' || next - i == 2) {
      command.append(line, i, next - i);
    } else if (c == '^') {
      const std::size_t escaped = next;
      next = escaped < line.size() ? NextCharIndex(line, escaped) : escaped;
      command.append(line, escaped, next - escaped);
    } else if (c == '&' || c == '|') {
      if (next < line.size() && line[next] == c) ++next;
      commands.emplace_back();
    } else if (c == '<' || c == '>') {
      ++shell->world->brokenLines;
      next = line.find_first_not_of(' ', next);
      next = next == std::string::npos ? line.size() : std::min(line.size(), line.find(' ', next));
    } else if ((c == '(' && opening) || (c == ')' && depth > 0)) {
      depth += c == '(' ? 1 : -1;
    } else if (!(c == '@' && opening)) {
      command += c;
    }
  }
  if (commands.size() > 1) ++shell->world->brokenLines;
  return commands;
}

// The first word of a command (quotes taken off) and where the rest starts.
std::string FirstWord(const std::string& command, std::size_t* rest) {
  std::size_t end = 0;
  bool quoted = false;
  while (end < command.size() && (quoted || command[end] != ' ')) quoted ^= command[end++] == '"';
  std::string word = command.substr(0, end);
  word.erase(std::remove(word.begin(), word.end(), '"'), word.end());
  while (end < command.size() && command[end] == ' ') ++end;
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
  std::string text = base + "\\" + path;
  const bool network = text.compare(0, 2, "\\\\") == 0;
  for (std::size_t start = 0, end; start <= text.size(); start = end + 1) {
    end = text.find('\\', start);
    if (end == std::string::npos) end = text.size();
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

void RunLine(Shell* shell, const std::string& line);
void RunChildCmd(CmdWorld* world, const std::string& commandLine, const std::string& folder);

// cd /?: "cd path" sets that drive's current folder, and only /d makes that
// drive current too; cd with only a drive shows its folder. cmd does not take
// a UNC folder as current folder. pushd /?: stores the current folder and
// enters another, on any drive, a UNC folder through a drive letter of its
// own; popd goes back.
void ChangeFolder(Shell* shell, const std::string& word, std::string path) {
  const bool switchDrive = Lower(path).compare(0, 3, "/d ") == 0;
  if (switchDrive) path = Trim(path.substr(3));
  if (word == "popd") {
    if (!shell->stack.empty()) shell->drive = shell->stack.back().first;
    if (!shell->stack.empty()) shell->Folder(shell->drive) = shell->stack.back().second;
    if (!shell->stack.empty()) shell->stack.pop_back();
    return;
  }
  if (path.empty() || (word != "pushd" && path.size() == 2 && path[1] == ':')) return;
  const std::string folder = FullFolder(shell, path);
  const std::vector<std::string>& missing = shell->world->missingFolders;
  if (std::find(missing.begin(), missing.end(), folder) != missing.end() ||
      (word != "pushd" && folder[0] == '\\')) {
    shell->errorLevel = 1;
    return;
  }
  if (word == "pushd") {
    shell->stack.emplace_back(shell->drive, shell->Folder(shell->drive));
    shell->Enter(folder);
  } else {
    shell->Folder(static_cast<char>(std::toupper(folder[0]))) = folder;
    if (switchDrive) shell->drive = static_cast<char>(std::toupper(folder[0]));
  }
}

// call /?: calls a batch program (or runs a command); with no command, the
// line does nothing and succeeds. The called line is read again, percent
// expansion and phase 2 once more, and before that every caret is doubled,
// inside quotes too (not in call /?: on Windows `call echo "^"` prints
// "^^"; Wine's call does not double).
void RunCommand(Shell* shell, const std::string& command);
void Call(Shell* shell, std::string rest) {
  if (Trim(rest).empty()) {
    shell->errorLevel = 0;
    return;
  }
  for (std::size_t at = 0; (at = rest.find('^', at)) != std::string::npos; at += 2) {
    rest.insert(at, "^");
  }
  for (const std::string& command : SplitCommands(shell, ExpandPercents(*shell, rest))) {
    RunCommand(shell, command);
  }
}

void RunCommand(Shell* shell, const std::string& text) {
  const std::string command = Trim(text);
  if (command.empty() || shell->exited) return;
  std::size_t restAt = 0;
  const std::string word = Lower(FirstWord(command, &restAt));
  const std::string rest = command.substr(restAt);
  if (word == "call") return Call(shell, rest);
  if (word == "cd" || word == "chdir" || word == "pushd" || word == "popd") {
    return ChangeFolder(shell, word == "chdir" ? "cd" : word, Trim(rest));
  }
  if (word == "exit") {  // exit /?: exit /b n ends the batch file with n
    shell->exited = true;
    shell->errorLevel =
        std::atoi(Trim(rest.substr(Lower(rest).compare(0, 2, "/b") == 0 ? 2 : 0)).c_str());
    return;
  }
  if (word == "pause" || word == "echo" || word == "rem") return;
  if (word.size() == 2 && word[1] == ':') {  // a drive alone makes that drive current
    shell->drive = static_cast<char>(std::toupper(word[0]));
    return;
  }
  const std::string name = Lower(word.substr(word.find_last_of('\\') + 1));
  const std::string folder = shell->Folder(shell->drive);
  if (name == "cmd" || name == "cmd.exe") {
    RunChildCmd(shell->world, command, folder);
  } else {
    shell->world->starts.push_back({folder, command});
  }
  shell->errorLevel = 0;
}

// if /?: "if errorlevel n command" runs the command when the last exit code
// is n or more. Any other line goes through both phases.
void RunLine(Shell* shell, const std::string& line) {
  std::string text = Trim(ExpandPercents(*shell, line));
  if (!text.empty() && text[0] == '@') text = Trim(text.substr(1));
  if (Lower(text).compare(0, 14, "if errorlevel ") == 0) {
    std::size_t restAt = 0;
    const std::string level = FirstWord(text.substr(14), &restAt);
    if (shell->errorLevel >= std::atoi(level.c_str())) {
      std::string then = Trim(text.substr(14 + restAt));
      if (!then.empty() && then[0] == '(' && then.back() == ')')
        then = then.substr(1, then.size() - 2);
      for (const std::string& command : SplitCommands(shell, then)) RunCommand(shell, command);
    }
    return;
  }
  for (const std::string& command : SplitCommands(shell, text)) RunCommand(shell, command);
}

// cmd /?: after /c or /k the rest of the line is the command. Its quotes are
// kept when /s is not given and there are exactly two, with no "&<>()@^|"
// and at least one blank between them, and the text between them names an
// executable file (here: one ending in .exe, .com, .bat or .cmd); otherwise
// a first character that is a quote is taken off, and so is the last quote
// of the line. cmd cannot start in a UNC folder: it runs in the Windows
// folder instead (its start-up message says so).
void RunChildCmd(CmdWorld* world, const std::string& commandLine, const std::string& folder) {
  Shell shell(world, false);
  shell.Enter(folder[0] == '\\' ? "C:\\Windows" : folder);
  std::size_t at = 0;
  FirstWord(commandLine, &at);
  bool slashS = false;
  while (at < commandLine.size() && commandLine[at] == '/') {
    const char option =
        static_cast<char>(std::tolower(static_cast<unsigned char>(commandLine[at + 1])));
    at = std::min(commandLine.size(), commandLine.find_first_not_of(' ', at + 2));
    if (option == 's') slashS = true;
    if (option != 'c' && option != 'k') continue;
    std::string rest = commandLine.substr(at);
    const std::size_t first = rest.find('"'), last = rest.rfind('"');
    const std::string between = first == last ? "" : rest.substr(first + 1, last - first - 1);
    const std::string ending = between.size() >= 4 ? Lower(between.substr(between.size() - 4)) : "";
    const bool keep =
        !slashS && std::count(rest.begin(), rest.end(), '"') == 2 &&
        between.find_first_of("&<>()@^|") == std::string::npos &&
        between.find(' ') != std::string::npos &&
        (ending == ".exe" || ending == ".com" || ending == ".bat" || ending == ".cmd");
    if (!keep && !rest.empty() && rest[0] == '"') {
      rest.erase(rest.rfind('"'), 1);
      rest.erase(0, 1);
    }
    return RunLine(&shell, rest);
  }
}

}  // namespace

CmdWorld MakeCmdWorld() {
  CmdWorld world;
  world.environment["comspec"] = "C:\\Windows\\system32\\cmd.exe";
  return world;
}

void RunBatchText(CmdWorld* world, const std::string& text, const std::string& folder) {
  Shell shell(world, true);
  shell.Enter(folder);
  for (std::size_t start = 0, end;
       (end = text.find("\r\n", start)) != std::string::npos && !shell.exited; start = end + 2) {
    RunLine(&shell, text.substr(start, end - start));
  }
}

void StartCommandLine(CmdWorld* world, const std::string& line, const std::string& folder) {
  std::size_t rest = 0;
  const std::string program = FirstWord(line, &rest);
  const std::string name = Lower(program.substr(program.find_last_of('\\') + 1));
  if (name == "cmd" || name == "cmd.exe") return RunChildCmd(world, line, folder);
  world->starts.push_back({folder, line});
}

// The program ends at the first blank outside quotes, its quotes taken off.
// Then blanks outside quotes separate parameters; 2n backslashes before a
// quote give n and the quote opens or closes, 2n+1 give n and a literal
// quote; other backslashes stand as they are. A two-byte character is one.
std::vector<std::string> SplitArguments(const std::string& line) {
  std::size_t at = 0;
  std::vector<std::string> argv{FirstWord(line, &at)};
  bool quoted = false, inArgument = false;
  std::string argument;
  while (at <= line.size()) {
    if (at == line.size() || (line[at] == ' ' && !quoted)) {
      if (inArgument) argv.push_back(argument);
      argument.clear();
      inArgument = false;
      ++at;
      continue;
    }
    inArgument = true;
    const std::size_t slashes = line.find_first_not_of('\\', at) == std::string::npos
                                    ? line.size() - at
                                    : line.find_first_not_of('\\', at) - at;
    at += slashes;
    if (at < line.size() && line[at] == '"') {
      argument.append(slashes / 2, '\\');
      if (slashes % 2) argument += '"';
      if (slashes % 2 == 0) quoted = !quoted;
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

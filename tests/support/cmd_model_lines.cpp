// How the cmd model (cmd_model.h) reads a line: its percents, carets,
// quotes and pieces, and the parameters a program or a batch file gets.
#include "cmd_model_shell.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "support/dbcs.h"

namespace cmd_shell {

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

namespace {

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

}  // namespace

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

}  // namespace cmd_shell

using namespace cmd_shell;

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

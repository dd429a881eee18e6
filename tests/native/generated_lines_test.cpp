// Generated cases over a fake disk: whatever the texts of the window, every
// command, read back through the model of cmd and split as its program
// splits its line, gives the program the arguments the window shows in the
// folder it shows, in both modes, or is left out and reported. A few
// thousand cases; TAVIX_LINE_CASES asks for another number, TAVIX_LINE_SEED
// for another seed. A failing case prints as rows for the tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "cmd_model.h"
#include "command_line_cases.h"
#include "composed_lines.h"
#include "fake_disk.h"

namespace {

using Texts = std::vector<std::string>;

// One argument as the window means it: typed text (the user's, which a
// batch program also splits at ", ; =") or a name from disk.
struct Meant {
  std::string text;
  bool typed;
  std::size_t typedPart = std::string::npos;  // where a name from disk joined to typed text starts
};

// Pieces that matter to cmd and to the runtime, for names on disk.
const Texts kNamePieces = {"a",  "R&D", "50%", "a^b", "my file", "(1)", "x,y", "p;q", "e=f",
                           "!x!", "表",  "ポ",  "%TEMP%", "%~1"};
// Typed switch tokens with what a program reads of them: direct, then
// through cmd (batch mode, or a program cmd runs).
struct Token {
  const char* typed;
  const char* direct;
  const char* byCmd;
};
const std::vector<Token> kTokens = {
    {"-v", "-v", "-v"},         {"/o:x", "/o:x", "/o:x"},
    {"%TAG%", "%TAG%", "tag"},  {"\"a&b\"", "a&b", "a&b"},   {"\"x|y z\"", "x|y z", "x|y z"},
    {"a,b", "a,b", "a,b"},      {"k=v", "k=v", "k=v"},       {"!v!", "!v!", "!v!"},
    {"(x)", "(x)", "(x)"},      {"-d;e", "-d;e", "-d;e"},
};
// Programs: typed text, the file that runs.
const std::vector<std::pair<std::string, std::string>> kPrograms = {
    {"C:\\bin\\cc.exe", ""},        {"C:\\my tools\\cc.exe", ""}, {"C:\\R&D\\cc.exe", ""},
    {"C:\\a^b (x86)\\cc.exe", ""}, {"C:\\bat\\mk.bat", ""},
    {"\"C:\\R&D\\mk.cmd\"", "C:\\R&D\\mk.cmd"}, {"C:\\t\\50%\\conv.exe", ""},
    {"C:\\t\\50%\\mk.bat", ""}, {"mk", "C:\\bin\\mk.bat"},
};
// Current directories: typed text, the folder meant ("*" for the walk of C:\w,
// "=" for the folder the run is planned in, which may be a UNC folder).
const std::vector<std::pair<std::string, std::string>> kDirectories = {
    {"", "="},
    {"C:\\v\\my dir", "C:\\v\\my dir"},
    {"C:\\v\\R&D", "C:\\v\\R&D"},
    {"\"D:\\my dir\"", "D:\\my dir"},
    {"C:\\v\\a^b\\", "C:\\v\\a^b"},
    {"sub", "=\\sub"},
    {"\\\\srv\\s\\dir", "\\\\srv\\s\\dir"},
    {"C:\\w\\*", "*"},
};

std::mt19937 g_random;
std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(g_random); }
template <typename T>
const T& Pick(const std::vector<T>& from) {
  return from[Below(from.size())];
}

std::string MakeName() {
  std::string name;
  for (std::size_t i = 0, n = 1 + Below(2); i < n; ++i) name += Pick(kNamePieces);
  return name;
}

// One generated case: the record, the disk, and per command what is meant.
struct Case {
  ParameterSet set;
  std::string tree;
  std::string generated;  // the part of the tree made for this case
  bool walk;
  std::string programFile;
  bool cmdProgram;
  bool viaCmd = false;
  std::string matchFolder;  // where the expanded row's matches lie
  std::string own;          // the folder the run is planned in
  int exitCode;             // what the program ends with
  std::vector<std::string> folders;  // the blocks' folders
  Texts matches;                     // names of the expanded row ("" without one)
  std::vector<RowCase> rows;
  std::vector<std::string> rowTexts;  // kept alive for `rows`
};

// What the window means for one command of `c` in `folder` with `match`.
std::vector<Meant> MeantArguments(const Case& c, const std::vector<std::vector<const Token*>>& tokens,
                                  const std::string& folder, const std::string& match, bool batch) {
  const bool byCmd = batch || c.cmdProgram || c.viaCmd;
  std::vector<Meant> meant;
  for (std::size_t i = c.viaCmd ? 1 : 0; i < c.rows.size(); ++i) {
    for (const Token* token : tokens[i]) meant.push_back({byCmd ? token->byCmd : token->direct, true});
    std::string file = c.rows[i].fileText;
    if (file.empty()) continue;
    std::vector<Meant> pieces;
    pieces.reserve(2);
    Meant& piece = pieces.emplace_back(Meant{"", false});
    const std::size_t severalAt = file.find("\" C:\\out\\");
    if (severalAt != std::string::npos) {
      // A text of several paths: the typed one, then a name from disk in a typed folder.
      piece = {"C:\\a b\\x.txt", true};
      const bool walked = file.find("*/") != std::string::npos;
      pieces.push_back({"C:\\out\\" + (walked ? folder.substr(FakeLastSeparator(folder) + 1)
                                             : match.empty() ? "*.txt" : match),
                        match.empty() && !walked});
    } else if (file == "*/") {
      piece.text = folder.substr(FakeLastSeparator(folder) + 1);
    } else if (file.find("*.txt") != std::string::npos) {
      piece.text = c.matchFolder + "\\" + match;
    } else if (file == "%TEMP%\\x.txt") {
      piece = {byCmd ? "C:\\tmp\\x.txt" : file, true};
    } else {
      piece.text = file;
    }
    if (!c.rows[i].spaceOn && !tokens[i].empty()) {
      if (!piece.typed) meant.back().typedPart = meant.back().text.size();
      meant.back().text += piece.text;
      meant.back().typed = meant.back().typed && piece.typed;
      pieces.erase(pieces.begin());
    }
    meant.insert(meant.end(), pieces.begin(), pieces.end());
  }
  return meant;
}

Case Generate(std::vector<std::vector<const Token*>>* tokens) {
  Case c{};
  const auto& program = Pick(kPrograms);
  auto directory = Pick(kDirectories);
  // Some programs are started by cmd.exe (below).
  const int viaCmd = program.first.find(".exe") != std::string::npos ? static_cast<int>(Below(6)) : 5;
  c.own = Below(3) == 0 ? "\\\\srv\\s\\own" : "C:\\own";
  if (directory.second[0] == '=') directory.second = c.own + directory.second.substr(1);
  c.exitCode = static_cast<int>(Below(3));
  std::string tree =
      "C:\\bin\\|C:\\bin\\cc.exe|C:\\bin\\conv.exe|C:\\bin\\mk.bat|C:\\my tools\\|C:\\my tools\\cc.exe|"
      "C:\\R&D\\|C:\\R&D\\cc.exe|C:\\R&D\\mk.cmd|C:\\t\\|C:\\t\\50%\\|C:\\t\\50%\\conv.exe|"
      "C:\\t\\50%\\mk.bat|C:\\a^b (x86)\\|C:\\a^b (x86)\\cc.exe|C:\\bat\\|C:\\bat\\mk.bat|C:\\own\\|"
      "C:\\own\\sub\\|D:\\my dir\\|\\\\srv\\s\\|\\\\srv\\s\\dir\\|\\\\srv\\s\\own\\|\\\\srv\\s\\own\\sub\\|C:\\v\\|C:\\v\\my dir\\|C:\\v\\R&D\\|"
      "C:\\v\\a^b\\|C:\\n2\\|C:\\n2\\50%.txt|C:\\o 5%\\|C:\\w\\|C:\\n\\|C:\\n 5%\\";
  if (directory.second == "*") {
    for (std::size_t i = 0, n = 1 + Below(2); i < n; ++i) {
      const std::string name = MakeName();
      if (std::find(c.folders.begin(), c.folders.end(), "C:\\w\\" + name) != c.folders.end()) {
        continue;
      }
      c.folders.push_back("C:\\w\\" + name);
    }
    if (c.folders.empty()) c.folders.push_back("C:\\w\\a");
  } else {
    c.folders.push_back(directory.second);
  }
  // Rows: switch tokens, and a file text of one of the kinds that matter.
  c.matchFolder = Below(3) == 0 ? "C:\\n 5%" : "C:\\n";
  const std::string pattern = c.matchFolder + "\\*.txt";
  const Texts files = {"",           "C:\\o 5%\\new.txt", pattern, "C:\\n2\\50%.txt",
                       "%TEMP%\\x.txt", "C:\\My Docs\\", "C:\\v\\a^b\\", "*/",
                       "\"C:\\a b\\x.txt\" C:\\out\\*.txt", "\"C:\\a b\\x.txt\" C:\\out\\*/"};
  for (int row = 1, n = static_cast<int>(1 + Below(3)); row <= n; ++row) {
    tokens->emplace_back();
    std::string switchText;
    for (std::size_t i = 0, count = Below(3); i < count; ++i) {
      tokens->back().push_back(&Pick(kTokens));
      switchText += (i > 0 ? " " : "") + std::string(tokens->back().back()->typed);
    }
    std::string file = Pick(files);
    if (file.find("*/") != std::string::npos && directory.second != "*") file = "";
    // A batch file reads a folder's doubled ending backslashes as they are,
    // which a program it hands %* on to needs: not generated for it.
    if (program.first.find(".exe") == std::string::npos && !file.empty() && file.back() == '\\') file = "";
    c.rowTexts.push_back(switchText);
    c.rowTexts.push_back(file);
    // A quoted text joined to a quoted name would read as one quote ("").
    // A text of several paths is split at its blanks, not joined to a token.
    const bool quoteLast = !tokens->back().empty() &&
                           (tokens->back().back()->typed[0] == '"' || file[0] == '"');
    c.rows.push_back({row, "", quoteLast || Below(2) == 0, ""});
  }
  // A caret ending the last text.
  if (Below(4) == 0) {
    static const Token caret = {"-s^", "-s^", "-s^"};
    tokens->push_back({&caret});
    c.rowTexts.push_back(caret.typed);
    c.rowTexts.push_back("");
    c.rows.push_back({static_cast<int>(c.rows.size() + 1), "", 1, ""});
  }
  // Some programs are started by cmd.exe: its "/c" and the program in a row
  // of their own, or the whole command in one pair of quotes.
  if (viaCmd == 0) {
    tokens->insert(tokens->begin(), std::vector<const Token*>{});
    c.rowTexts.insert(c.rowTexts.begin(), {"/c", program.first});
    c.rows.insert(c.rows.begin(), {1, "", 1, ""});
    for (std::size_t i = 1; i < c.rows.size(); ++i) c.rows[i].row = static_cast<int>(i + 1);
  } else if (viaCmd == 1) {
    std::string command = "/c \"C:\\bin\\cc.exe";
    tokens->assign(2, {});
    for (std::size_t i = 0, count = Below(3); i < count; ++i) {
      const Token* token = &Pick(kTokens);
      if (token->typed[0] == '"') continue;
      tokens->back().push_back(token);
      command += " " + std::string(token->typed);
    }
    c.rowTexts = {command + "\"", "", "", ""};
    c.rows = {{1, "", 1, ""}, {2, "", 1, ""}};
  }
  for (std::size_t i = 0; i < c.rows.size(); ++i) {
    c.rows[i].switchText = c.rowTexts[2 * i].c_str();
    c.rows[i].fileText = c.rowTexts[2 * i + 1].c_str();
  }
  const bool expands = std::any_of(c.rowTexts.begin(), c.rowTexts.end(),
                                   [&pattern](const std::string& t) { return t == pattern; });
  for (std::size_t i = 0, n = expands ? 1 + Below(3) : 0; i < n; ++i) {
    const std::string name = MakeName() + ".txt";
    if (std::find(c.matches.begin(), c.matches.end(), name) != c.matches.end()) {
      continue;
    }
    c.matches.push_back(name);
  }
  for (const std::string& folder : c.folders) {
    if (directory.second == "*") c.generated += "|" + folder + "\\";
  }
  for (const std::string& name : c.matches) c.generated += "|" + c.matchFolder + "\\" + name;
  if (!expands) c.matches = {""};
  c.tree = tree;
  c.walk = directory.second == "*";
  c.programFile = program.second.empty() ? program.first : program.second;
  if (viaCmd == 1) c.programFile = "C:\\bin\\cc.exe";
  c.viaCmd = viaCmd < 2;
  c.cmdProgram = c.programFile.size() > 4 && (c.programFile.substr(c.programFile.size() - 4) == ".bat" ||
                                              c.programFile.substr(c.programFile.size() - 4) == ".cmd");
  c.set = MakeParameterSet(c.viaCmd ? "cmd.exe" : program.first.c_str(), directory.first.c_str(), c.rows);
  return c;
}

// The case as rows for the tables.
std::string Printed(const Case& c) {
  auto quoted = [](const std::string& text) {
    std::string out = "\"";
    for (char ch : text) out += ch == '\\' || ch == '"' ? "\\" + std::string(1, ch) : std::string(1, ch);
    return out + "\"";
  };
  std::string text = "{" + quoted(c.set.programText) + ", " + quoted(c.set.currentDirectory) + ", {";
  for (const RowCase& row : c.rows) {
    text += "{" + std::to_string(row.row) + ", " + quoted(row.switchText) + ", " +
            std::to_string(row.spaceOn) + ", " + quoted(row.fileText) + "}, ";
  }
  return text + "}}  planned in " + c.own + ", exit code " + std::to_string(c.exitCode) + "  disk:" + c.generated;
}

// Splits a typed argument as a batch file reads its parameters, quotes off.
Texts AsBatchParameters(const std::vector<Meant>& meant) {
  Texts out;
  for (const Meant& m : meant) {
    Texts pieces = m.typed ? BatchParameters(m.text) : Texts{m.text};
    if (m.typed && m.text.find(' ') != std::string::npos) pieces = {m.text};
    if (m.typedPart != std::string::npos && m.typedPart > 0) {
      pieces = BatchParameters(m.text.substr(0, m.typedPart) + "x");
      pieces.back().pop_back();
      pieces.back() += m.text.substr(m.typedPart);
    }
    for (std::string piece : pieces) {
      piece.erase(std::remove(piece.begin(), piece.end(), '"'), piece.end());
      out.push_back(piece);
    }
  }
  return out;
}

std::string Lower(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return text;
}

TEST(GeneratedLines, EveryCommandReadsBackAsShown) {
  const char* count = std::getenv("TAVIX_LINE_CASES");
  const char* seed = std::getenv("TAVIX_LINE_SEED");
  g_random.seed(seed != nullptr ? std::strtoul(seed, nullptr, 10) : 20240531u);
  const int cases = count != nullptr ? std::atoi(count) : 3000;
  int failures = 0;
  for (int i = 0; i < cases && failures < 5; ++i) {
    std::vector<std::vector<const Token*>> tokens;
    const Case c = Generate(&tokens);
    for (const bool batch : {true, false}) {
      FakeTree(c.tree);
      // Generated names are added one by one: a trail byte may be '|'.
      for (std::size_t from = 1, to; from < c.generated.size(); from = to + 1) {
        to = c.generated.find("|C:\\", from);
        if (to == std::string::npos) to = c.generated.size();
        const std::string path = c.generated.substr(from, to - from);
        const bool folder = path.back() == '\\';
        FakeAdd(folder ? path.substr(0, path.size() - 1) : path, folder);
      }
      CmdWorld world = MakeCmdWorld();
      world.environment["tag"] = "tag";
      world.environment["temp"] = "C:\\tmp";
      world.environment["path"] = "C:\\bin";
      world.fileExists = FakeExistsInAnyCase;
      world.exitCodes[Lower(c.programFile)] = c.exitCode;
      const Composed composed = ComposeAndRun(c.set, batch, c.own, &world);
      std::string failure;
      if (!batch && c.walk) {
        if (composed.error != kComposedWildcardDirectory) failure = "a walk in a direct run";
      } else {
        // Each start in order against the commands meant, a left-out one skipped.
        std::size_t at = 0;
        int leftOut = 0;
        for (const std::string& folder : c.folders) {
          for (const std::string& match : c.matches) {
            const std::vector<Meant> meant = MeantArguments(c, tokens, folder, match, batch);
            const CmdStart* start = at < world.starts.size() ? &world.starts[at] : nullptr;
            std::string fromDisk = folder + c.programFile;
            for (const Meant& m : meant) fromDisk += m.typed ? "" : m.text;
            const bool mayLeaveOut = (c.cmdProgram || c.viaCmd) && fromDisk.find('%') != std::string::npos;
            Texts wanted, got;
            if (start != nullptr) got = start->arguments;
            if (c.cmdProgram) {
              wanted = AsBatchParameters(meant);
              for (std::string& g : got) g.erase(std::remove(g.begin(), g.end(), '"'), g.end());
            } else {
              for (const Meant& m : meant) wanted.push_back(m.text);
            }
            if (start != nullptr && Lower(start->program) == Lower(c.programFile) &&
                start->folder == folder && got == wanted) {
              ++at;
            } else if (mayLeaveOut) {
              ++leftOut;
            } else if (failure.empty()) {
              failure = "meant " + folder + ">" + c.programFile;
              for (const std::string& w : wanted) failure += "|" + w;
              if (start != nullptr) {
                failure += "\n  got " + start->folder + ">" + start->program;
                for (const std::string& g : got) failure += "|" + g;
              }
            }
          }
        }
        if (failure.empty() && at != world.starts.size()) failure = "more starts than commands";
        if (failure.empty() && (leftOut > 0) != (composed.leftOut > 0)) failure = "names left out unreported";
        if (failure.empty() && world.brokenLines + world.joinedLines > 0) failure = "a line broke";
        if (failure.empty() && !world.mappedDrives.empty()) failure = "a drive left mapped";
        // A command cmd runs ends with its program's exit code.
        for (const int code : composed.exitCodes) {
          if (failure.empty() && (c.cmdProgram || c.viaCmd) && code != c.exitCode) failure = "exit code lost";
        }
      }
      if (!failure.empty()) {
        ++failures;
        ADD_FAILURE() << (batch ? "batch: " : "direct: ") << failure << "\n  case " << Printed(c)
                      << "\n" << composed.text;
      }
    }
  }
}

}  // namespace

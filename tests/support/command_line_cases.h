// Worked examples of command-line assembly, checked both on the plain rows
// and through the real main dialog, so both see the same cases.
#pragma once

#include <cstdio>
#include <cstring>
#include <vector>

#include "params/field_table.h"

// One filled argument row: row number 1-8, switch text, space box, file text.
struct RowCase {
  int row;
  const char* switchText;
  int spaceOn;
  const char* fileText;
};

// The record of a program, a current directory and filled rows.
inline ParameterSet MakeParameterSet(const char* program, const char* currentDirectory,
                                     const std::vector<RowCase>& rows) {
  ParameterSet set;
  std::memset(&set, 0, sizeof set);
  std::snprintf(set.programText, sizeof set.programText, "%s", program);
  std::snprintf(set.currentDirectory, sizeof set.currentDirectory, "%s", currentDirectory);
  for (const RowCase& given : rows) {
    ArgumentRow& row = set.rows.row[given.row - 1];
    std::snprintf(row.switchText, sizeof row.switchText, "%s", given.switchText);
    row.spaceOn = given.spaceOn;
    std::snprintf(row.fileText, sizeof row.fileText, "%s", given.fileText);
  }
  return set;
}

// A program text and rows, with the argument text they give and the line the
// batch file gets for them.
struct WorkedExample {
  const char* program;
  std::vector<RowCase> rows;
  const char* arguments;
  const char* batchLine;
};

inline const std::vector<WorkedExample>& WorkedExamples() {
  static const char* const cc = "D:\\BIN\\CC.EXE";
  static const std::vector<WorkedExample> examples = {
      {cc,
       {{1, "-O", 0, ""}, {2, "-o", 1, "out.exe"}, {3, "", 0, "main.c"}},
       "-O -o out.exe main.c",
       "D:\\BIN\\CC.EXE -O -o out.exe main.c"},
      {cc, {{1, "/o:", 0, "result.txt"}}, "/o:result.txt", "D:\\BIN\\CC.EXE /o:result.txt"},
      {cc, {{1, "/o:", 1, "result.txt"}}, "/o: result.txt", "D:\\BIN\\CC.EXE /o: result.txt"},
      {cc, {{1, "-v", 0, ""}, {3, "", 0, "a.c"}}, "-v a.c", "D:\\BIN\\CC.EXE -v a.c"},
      {cc,
       {{1, "", 0, "D:\\My Files\\a.txt"}},
       "\"D:\\My Files\\a.txt\"",
       "D:\\BIN\\CC.EXE \"D:\\My Files\\a.txt\""},
      {cc,
       {{1, "", 0, "\"D:\\My Files\\a.txt\""}},
       "\"D:\\My Files\\a.txt\"",
       "D:\\BIN\\CC.EXE \"D:\\My Files\\a.txt\""},
      // Backslashes that end a quoted piece are doubled; a trail byte 0x5C is none.
      {cc,
       {{1, "", 0, "C:\\My Docs\\"}},
       "\"C:\\My Docs\\\\\"",
       "D:\\BIN\\CC.EXE \"C:\\My Docs\\\\\""},
      {cc, {{1, "", 0, "D:\\My 表"}}, "\"D:\\My 表\"", "D:\\BIN\\CC.EXE \"D:\\My 表\""},
      {cc, {{1, "", 0, "> log.txt"}}, "> log.txt", "D:\\BIN\\CC.EXE > log.txt"},
      {cc, {{1, "", 1, "x.dat"}}, " x.dat", "D:\\BIN\\CC.EXE  x.dat"},
      {cc, {{1, "-q", 1, ""}}, "-q", "D:\\BIN\\CC.EXE -q"},
      {cc, {}, "", "D:\\BIN\\CC.EXE "},
      {"D:\\Program Files\\App\\app.exe",
       {{1, "", 0, "x"}},
       "x",
       "\"D:\\Program Files\\App\\app.exe\" x"},
      // A batch file as the program runs in a child cmd, so that cmd comes
      // back to the lines after it; the quotes around its command pass the
      // batch file's cmd as "^\"".
      {"D:\\R&D\\mk.Bat",
       {{1, "-v", 0, ""}},
       "-v",
       "\"%ComSpec%\" /d /e:on /v:off /c ^\"\"D:\\R&D\\mk.Bat\" -v^\""},
      // A caret ending the text would join the next line, or be lost before
      // the closing quote: it is written twice where cmd reads it.
      {cc, {{1, "-s^", 0, ""}}, "-s^", "D:\\BIN\\CC.EXE -s^^"},
      {"D:\\R&D\\mk.Bat",
       {{1, "\"a^\" -s^", 0, ""}},
       "\"a^\" -s^",
       "\"%ComSpec%\" /d /e:on /v:off /c ^\"\"D:\\R&D\\mk.Bat\" \"a^\" -s^^^^^\""},
      // What follows cmd.exe's "/c" stands in the pair of quotes cmd strips.
      {"cmd.exe",
       {{1, "/c", 1, "C:\\my tools\\conv.exe"}, {2, "", 0, "C:\\in\\a b.txt"}},
       "/c \"C:\\my tools\\conv.exe\" \"C:\\in\\a b.txt\"",
       "cmd.exe /c ^\"\"C:\\my tools\\conv.exe\" \"C:\\in\\a b.txt\"^\""},
      // A text of several quoted paths stays as typed; quotes inside one
      // path give way to one pair around it.
      {cc,
       {{1, "", 0, "\"C:\\a b\\x.txt\" \"C:\\c d\\y.txt\""}},
       "\"C:\\a b\\x.txt\" \"C:\\c d\\y.txt\"",
       "D:\\BIN\\CC.EXE \"C:\\a b\\x.txt\" \"C:\\c d\\y.txt\""},
      {cc,
       {{1, "", 0, "C:\\\"a b\"\\x.txt"}},
       "\"C:\\a b\\x.txt\"",
       "D:\\BIN\\CC.EXE \"C:\\a b\\x.txt\""},
  };
  return examples;
}

// A typed program text, its direct form as the run list shows it (one pair
// of enclosing quotes removed) and how the launched command line starts: the
// program quoted when it holds a blank.
struct DirectProgramCase {
  const char* typed;
  const char* direct;
  const char* launched;
};

inline const std::vector<DirectProgramCase>& DirectProgramCases() {
  static const std::vector<DirectProgramCase> cases = {
      {"D:\\BIN\\CC.EXE", "D:\\BIN\\CC.EXE", "D:\\BIN\\CC.EXE"},
      {"\"D:\\Program Files\\App\\app.exe\"", "D:\\Program Files\\App\\app.exe",
       "\"D:\\Program Files\\App\\app.exe\""},
      {"D:\\Program Files\\App\\app.exe", "D:\\Program Files\\App\\app.exe",
       "\"D:\\Program Files\\App\\app.exe\""},
      {"\"D:\\x.exe", "D:\\x.exe", "D:\\x.exe"},
      {"D:\\x.exe\"", "D:\\x.exe\"", "D:\\x.exe\""},
      {"", "", ""},
  };
  return cases;
}

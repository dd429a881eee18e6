#include "run/run_list.h"
#include "run/entry_text.h"
#include "run/job_log.h"
#include "run/run_child.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "expand/target_check.h"
#include "run/run_control.h"
#include "test_env.h"

namespace {

TEST(ListSettings, ChooseAnItemAndAreStoredOnlyWhenTheySaySomething) {
  const struct {
    const char* stored;
    int parallelItem, outputItem, halt, storedWhenDefault, storedOtherwise;
  } cases[] = {{"1", 0, 0, 1, 1, 1},  {"8", 7, 0, 0, 1, 1},  {"3", 2, 0, 0, 1, 1},
               {"", 0, 0, 0, 0, 1},   {"9", 0, 0, 0, 1, 1},  {"0", 0, 0, 0, 1, 1},
               {"22", 0, 0, 0, 1, 1}, {"x", 0, 0, 0, 1, 1},  {"取り込む", 0, 1, 0, 1, 1},
               {"コンソール", 0, 0, 0, 1, 1}, {"取り込む ", 0, 0, 0, 1, 1}, {"11", 0, 0, 0, 1, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.parallelItem, ParallelItemForSetting(c.stored)) << c.stored;
    EXPECT_EQ(c.outputItem, OutputItemForSetting(c.stored)) << c.stored;
    EXPECT_EQ(c.halt, HaltForSetting(c.stored)) << c.stored;
    EXPECT_EQ(c.storedWhenDefault * 10 + c.storedOtherwise,
              SettingNeedsStoring(c.stored, 1) * 10 + SettingNeedsStoring(c.stored, 0))
        << c.stored;
  }
}

// What the list writes when it closes, as "key=value;" in writing order:
// the choices once a command was started, the size once the user sized a
// list (this one or one before).
TEST(ListSettings, AreWrittenOnlyOnceTheySaySomething) {
  const struct {
    const char* stored[kRunListKeyCount];
    int launched, resized;
    const char* written;
  } cases[] = {
      {{"", "", "", "", "", ""}, 0, 0, ""},
      {{"", "", "", "", "", ""}, 1, 0, "ProcessPriority=低;"},
      {{"", "", "", "", "", ""}, 0, 1, "RunListWidth=600;RunListHeight=400;"},
      {{"高", "1", "コンソール", "0", "500", "300"}, 0, 0, "RunListWidth=600;RunListHeight=400;"},
      {{"高", "1", "コンソール", "0", "", ""}, 1, 0,
       "ProcessPriority=低;Parallel=3;Output=取り込む;StopOnFailure=1;"},
  };
  for (const auto& c : cases) {
    RunListSettings settings{};
    for (int key = 0; key < kRunListKeyCount; ++key) std::snprintf(settings.stored[key], kRunListSettingSize, "%s", c.stored[key]);
    const RunListChoices used = c.stored[1][0] ? RunListChoices{4, 3, kOutputTaken, 1} : RunListChoices{4, 1, kOutputConsole, 0};
    SettingWrites writes{};
    ComposeSettingWrites(settings, c.launched ? &used : nullptr, ListSize{600, 400}, c.resized, &writes);
    std::string written;
    for (int key = 0; key < kRunListKeyCount; ++key) {
      if (writes.write[key]) written += std::string(kRunListKeys[key]) + "=" + writes.text[key] + ";";
    }
    EXPECT_EQ(c.written, written) << c.stored[0] << c.launched << c.resized;
  }
}

// Where a list opens in a work area of 1000 x 700 at (0, 0): the template
// is 400 x 300 with a list box 370 wide inside.
TEST(ListSettings, OpenWideEnoughForTheRowsOrAsStoredWithinTheWorkArea) {
  const struct {
    const char* width;
    const char* height;
    int widestRow, cornerX, cornerY;
    int x, y, w, h;
  } cases[] = {
      {"", "", 300, 10, 20, 10, 20, 400, 300},     // the rows fit
      {"", "", 500, 10, 20, 10, 20, 530, 300},     // widened by what is missing
      {"", "", 5000, 10, 20, 0, 20, 1000, 300},    // at most the work area
      {"", "", 500, 900, 20, 470, 20, 530, 300},   // moved left into it
      {"640", "480", 5000, 10, 20, 10, 20, 640, 480},
      {"640", "", 500, 10, 20, 10, 20, 530, 300},  // half a size is none
      {"100", "9000", 300, 10, 500, 10, 0, 400, 700},
      {"-5", "x", 300, 10, 20, 10, 20, 400, 300},
  };
  for (const auto& c : cases) {
    RunListSettings settings{};
    std::snprintf(settings.stored[kKeyWidth], kRunListSettingSize, "%s", c.width);
    std::snprintf(settings.stored[kKeyHeight], kRunListSettingSize, "%s", c.height);
    const ListPlace at = OpeningListPlace(settings, ListSize{400, 300}, 370, c.widestRow,
                                          ListPlace{c.cornerX, c.cornerY, 0, 0}, ListPlace{0, 0, 1000, 700});
    EXPECT_EQ((std::vector<int>{c.x, c.y, c.w, c.h}), (std::vector<int>{at.x, at.y, at.width, at.height}))
        << c.width << "x" << c.height << " " << c.widestRow;
  }
}

TEST(ExpandEditCommand, PutsThePathWhereTheCommandNamesTheFile) {
  const char* path = "C:\\My Files\\表.bat";
  const std::pair<const char*, const char*> cases[] = {
      {"\"C:\\np.exe\" \"%1\"", "\"C:\\np.exe\" \"C:\\My Files\\表.bat\""},
      {"np.exe %L %*%2", "np.exe C:\\My Files\\表.bat "},
      {"np.exe 100%", "np.exe 100% \"C:\\My Files\\表.bat\""},
      {"np.exe %1 と長いコマンド", ""},  // does not fit
  };
  for (const auto& [command, expected] : cases) {
    char out[40];
    EXPECT_EQ(expected[0] != '\0', ExpandEditCommand(command, path, out, sizeof out));
    EXPECT_EQ(expected, std::string(out));
  }
}

// Fake children are the numbers 1, 2, ... in launch order; each runs until
// its digit appears in the steps (its handle is signalled). The command
// texts choose the exit codes: "b" exits 1, "c" 259, "e" 0xC0000005, the
// others 0; "j" could not be put in a job, so a stop ends only its own
// process. A child whose output is taken in writes its letter, a zero byte,
// an LF and its letter again, except "q", which writes nothing. The clock
// moves 100 ms at every step and a minute at '+'; every child has used
// `cpu` ms of processor time.
struct FakeRun {
  std::string signalled, launched, released, priorities;
  int parallel, failNext, closeInLaunch, stopped, halt, output;
  std::uint64_t clock, cpu;
} g_run;
RunListState g_state;
int g_window;  // handed back by the calls that act on the window

// The commands of a list, one per letter, run by one program.
struct Commands {
  std::vector<std::string> texts;
  std::vector<ListedCommand> list;
  explicit Commands(const char* letters, const unsigned char* marks = nullptr) {
    for (const char* letter = letters; *letter; ++letter) texts.emplace_back(1, *letter);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      list.push_back({"C:\\My Tools\\conv.exe", texts[i].c_str(), "", nullptr, marks ? marks[i] : 0});
    }
  }
  int Begin(const char* pattern = "") {
    const int begun = BeginRunList(&g_state, list.data(), static_cast<int>(list.size()), pattern, nullptr);
    g_state.chosen = RunListChoices{4, g_run.parallel, g_run.output, g_run.halt};
    return begun;
  }
};

const RunListPlatform kFake = {
    &g_window,
    [](void* child, unsigned long* code) {
      const long n = reinterpret_cast<long>(child);
      if (g_run.signalled.find(static_cast<char>('0' + n)) == std::string::npos) return 0;
      const char text = g_run.launched[static_cast<std::size_t>(n - 1)];
      *code = text == 'b' ? 1 : text == 'c' ? 259 : text == 'e' ? 0xC0000005 : 0;
      return 1;
    },
    [](void* child) { g_run.released += static_cast<char>('0' + reinterpret_cast<long>(child)); },
    [](void* window, const ListedCommand& command, int priority, int output) -> void* {
      EXPECT_EQ(&g_window, window);
      EXPECT_STREQ("C:\\My Tools\\conv.exe", command.program);
      const char* arguments = command.arguments;
      EXPECT_EQ(4, priority);
      EXPECT_EQ(g_run.output ? EntryCount(g_state) - 1 : -1, output);
      if (g_run.closeInLaunch) EndRunList(&g_state, kFake);
      if (g_run.failNext) return g_run.failNext = 0, nullptr;
      g_run.launched += arguments;
      const char said[] = {arguments[0], '\0', '\n', arguments[0]};
      if (output >= 0 && arguments[0] != 'q') TakeOutput(&g_state.outputs, output, said, sizeof said);
      return reinterpret_cast<void*>(static_cast<long>(g_run.launched.size()));
    },
    [](void* child) {
      const long n = reinterpret_cast<long>(child);
      return g_run.launched[static_cast<std::size_t>(n - 1)] == 'j' ? 0 : 1;
    },
    [](void* child, int priority) {
      g_run.priorities += std::to_string(reinterpret_cast<long>(child)) + ":" + std::to_string(priority) + " ";
    },
    [](void*) { return g_run.cpu; },
    [] { return g_run.clock; },
    [](RunClockTime* t) {
      const int s = 30 + static_cast<int>(g_run.clock / 1000);
      *t = RunClockTime{2024, 12, 31, 23, 58 + s / 60, s % 60};
    },
    [](void* window, int) { EXPECT_EQ(&g_window, window); },
    [](void* window) {
      EXPECT_EQ(&g_window, window);
      ++g_run.stopped;
    },
};

// The buttons as seven digits: Start, Exit, Skip, Cancel, Log, Failed
// again, Stop.
std::string ButtonDigits() {
  const RunButtons b = RunListButtons(g_state);
  return std::string{char('0' + b.start), char('0' + b.exit), char('0' + b.skip),
                     char('0' + b.cancel), char('0' + b.log), char('0' + b.rerun),
                     char('0' + b.stop)};
}

// The rows; '*' marks a started row, '!' one drawn as failed, '~' one drawn
// as running; "#n" follows the row whose output window is "出力 - n" for
// another n than its place.
std::string Rows() {
  std::string rows;
  for (int i = 0; i < RowCount(g_state); ++i) {
    char text[kRowTextCapacity], title[kOutputTitleCapacity];
    FormatRowText(g_state, i, text, sizeof text);
    FormatOutputTitle(g_state, i, title, sizeof title);
    const std::string number = std::string(title).substr(std::strlen("出力 - "));
    const RunRowLook look = RowLookOf(g_state, i);
    rows += (i ? "|" : "") + std::string(text) + (RowMarked(g_state, i) ? "*" : "") +
            (look.failed ? "!" : "") + (look.running ? "~" : "") +
            (number != std::to_string(i + 1) ? "#" + number : "");
  }
  return rows;
}

std::string Watched() {
  void* children[8];
  std::string watched;
  for (int i = 0, n = WatchedChildren(g_state, children, 8); i < n; ++i) {
    watched += static_cast<char>('0' + reinterpret_cast<long>(children[i]));
  }
  return watched;
}

TEST(RunListSchedule, StartsUpToNAtOnceAndRecordsEveryResult) {
  // Steps: S Start, T a step, K Skip, X the dialog closes, R failed ones
  // again, F the next launch fails, C the dialog closes during the next
  // launch, + a minute passes, U the children use processor time, H
  // 失敗で中止 goes on, O and o: output taken in or in a console from the
  // next launch on, P 停止 with the caret on no row, p with the caret on the
  // second row, a digit: that child ends and a step follows.
  const struct {
    int parallel;
    const char* list;  // one command per letter
    const char* steps;
    const char* launched;
    const char* released;
    const char* rows;  // after the steps, marked as Rows() marks them
    const char* status;
    const char* buttons;
    const char* watched;
    const char* golden;  // tests/data/run/<golden>: the log (.txt: with output) after the steps
  } cases[] = {
      // One at a time; 259 is an exit code like any other, and the next
      // command starts as soon as a child ends.
      {1, "abc", "S+123", "abc", "123",
       "0\t60.1秒\ta*|1\t0.1秒\tb*!|259\t0.1秒\tc*!", "3/3 件終了　失敗 2　経過 1:00", "0100110", "",
       "one_at_a_time.tsv"},
      {1, "abc", "S1", "ab", "1", "0\t0.1秒\ta*|b*~|c", "1/3 件終了　実行中 1　失敗 0　経過 0:00", "0011101", "2", ""},
      // Two and three at a time: a freed slot takes the next command.
      {2, "abcd", "S", "ab", "", "a*~|b*~|c|d", "0/4 件終了　実行中 2　失敗 0　経過 0:00", "0011101", "12", ""},
      {2, "abcd", "S21", "abcd", "21", "0\t0.2秒\ta*|1\t0.1秒\tb*!|c*~|d*~", "2/4 件終了　実行中 2　失敗 1　経過 0:00", "0001101", "34", ""},
      {3, "ab", "S21", "ab", "21", "0\t0.2秒\ta*|1\t0.1秒\tb*!", "2/2 件終了　失敗 1　経過 0:00", "0100110", "", ""},
      // Skip: the oldest gives up its slot and runs on, watched; its end
      // still counts. At the end of the list, Skip finishes it.
      {1, "abc", "SK2", "abc", "2", "a*~|1\t0.1秒\tb*!|c*~", "1/3 件終了　実行中 2　失敗 1　経過 0:00", "0001101", "31", ""},
      {1, "abc", "SK21+3", "abc", "213",
       "0\t0.3秒\ta*|1\t0.1秒\tb*!|259\t60.2秒\tc*!", "3/3 件終了　失敗 2　経過 1:00", "0100110", "", ""},
      {2, "abc", "SK", "abc", "", "a*~|b*~|c*~", "0/3 件終了　実行中 3　失敗 0　経過 0:00", "0001101", "231", ""},
      // The list finishes only once none of its commands runs, skipped ones too.
      {1, "a", "SK", "a", "", "a*~", "0/1 件終了　実行中 1　失敗 0　経過 0:00", "0001101", "1", ""},
      // A failed start halts the list, which stays open; it finishes once
      // what runs has ended.
      {1, "ab", "FS", "", "", "起動失敗\t\ta*!|b", "1/2 件終了　失敗 1　経過 0:00", "0100110", "", ""},
      {2, "abcd", "SF1", "ab", "1",
       "0\t0.2秒\ta*|b*~|起動失敗\t\tc*!|d", "2/4 件終了　実行中 1　失敗 1　経過 0:00", "0001101", "2", ""},
      // The dialog closes: children are let go once; nothing more starts.
      {2, "abc", "SXT12", "ab", "12", "a*~|b*~|c", "0/3 件終了　失敗 0　経過 0:00", "0011100", "", ""},
      {1, "a", "CS", "a", "1", "a", "0/1 件終了　失敗 0　経過 0:00", "0011000", "", ""},
      {1, "a", "CFS", "", "", "a", "0/1 件終了　失敗 0　経過 0:00", "0011000", "", ""},
      // Exit codes read as cmd's errorlevel shows them.
      {1, "e", "S1", "e", "1", "-1073741819\t0.1秒\te*!", "1/1 件終了　失敗 1　経過 0:00", "0100110", "", ""},
      // Nothing to run: the status line names the pattern; Start finishes.
      {1, "", "S", "", "", "", "一致するファイルがありません: C:\\data\\*.txt", "0100000", "", ""},
      // Failed ones again, once nothing runs: the commands that did not end
      // with 0, ready, run anew with their numbers; the log keeps every start.
      {1, "abc", "S123R", "abc", "123", "b#2|c#3", "0/2 件終了　失敗 0　経過 0:00", "1001100", "", ""},
      {2, "abcd", "SKR", "abc", "", "a*~|b*~|c*~|d", "0/4 件終了　実行中 3　失敗 0　経過 0:00", "0011101", "231", ""},
      {2, "cbad", "SKF+2R31RS5", "cbacbd", "2315",
       "c*~|1\t0.1秒\tb*!|d*~#4", "1/3 件終了　実行中 2　失敗 1　経過 0:00", "0001101", "46", "again.tsv"},
      // 停止: the caret row's command, or the oldest; it fails and the list
      // goes on.
      {1, "abc", "SP1", "ab", "1", "停止\t0.2秒\ta*!|b*~|c", "1/3 件終了　実行中 1　失敗 1　経過 0:00", "0011101", "2", ""},
      {2, "abc", "Sp2", "abc", "2", "a*~|停止\t0.2秒\tb*!|c*~", "1/3 件終了　実行中 2　失敗 1　経過 0:00", "0001101", "13", ""},
      // 失敗で中止: a failure starts nothing more, the running ones finish,
      // and only then is the list finished; failed ones again offers the
      // commands never started too.
      {2, "abcd", "HS2R", "ab", "2", "a*~|1\t0.1秒\tb*!|c|d", "1/4 件終了　実行中 1　失敗 1　経過 0:00", "0001101", "1", ""},
      {2, "abcd", "HS21R", "ab", "21", "b#2|c#3|d#4", "0/3 件終了　失敗 0　経過 0:00", "1001100", "", ""},
      {1, "ab", "HSP1", "a", "1", "停止\t0.2秒\ta*!|b", "1/2 件終了　失敗 1　経過 0:00", "0100110", "", ""},
      // Output taken in, stopped with and without a job, in a console.
      {1, "abjc", "OS1P2PoF3", "abj", "123",
       "0\t0.1秒\ta*|停止\t0.2秒\tb*!|停止\t0.4秒\tj*!|起動失敗\t\tc*!", "4/4 件終了　失敗 3　経過 0:00",
       "0100110", "", "with_output.txt"},
      // Taken in, a command that wrote nothing and used no processor time
      // for a minute may wait for input; one that wrote, one that works and
      // one in a console do not.
      {2, "qa", "OS+T", "qa", "", "入力待ち?\t\tq*~|a*~", "0/2 件終了　実行中 2　失敗 0　経過 1:00", "0001101", "12", ""},
      {2, "qa", "OS+UT", "qa", "", "q*~|a*~", "0/2 件終了　実行中 2　失敗 0　経過 1:00", "0001101", "12", ""},
      {2, "qa", "S+T", "qa", "", "q*~|a*~", "0/2 件終了　実行中 2　失敗 0　経過 1:00", "0001101", "12", ""},
  };
  for (const auto& c : cases) {
    g_run = FakeRun{};
    g_run.parallel = c.parallel;
    Commands commands(c.list);
    ASSERT_EQ(1, commands.Begin("C:\\data\\*.txt"));
    for (const char* step = c.steps; *step; ++step) {
      g_run.clock += *step == '+' ? 60000 : 100;
      g_run.cpu += *step == 'U' ? 10 : 0;
      if (*step == 'S') StartRunList(&g_state, kFake);
      if (*step == 'T') RunListStep(&g_state, kFake);
      if (*step == 'K') SkipRunningChild(&g_state, kFake);
      if (*step == 'X') EndRunList(&g_state, kFake);
      if (*step == 'R') RerunFailed(&g_state);
      if (*step == 'P' || *step == 'p') StopRunningCommand(&g_state, kFake, *step == 'p' ? 1 : -1);
      g_run.failNext |= *step == 'F';
      g_run.closeInLaunch |= *step == 'C';
      g_run.halt |= *step == 'H';
      if (*step == 'O' || *step == 'o') g_run.output = *step == 'O';
      g_state.chosen = RunListChoices{4, g_run.parallel, g_run.output, g_run.halt};
      if (*step >= '1' && *step <= '9') {
        g_run.signalled += *step;
        RunListStep(&g_state, kFake);
      }
    }
    char status[kStatusTextCapacity];
    FormatStatusText(g_state, g_run.clock, status, sizeof status);
    EXPECT_EQ(c.launched, g_run.launched) << c.steps;
    EXPECT_EQ(c.rows, Rows()) << c.steps;
    EXPECT_EQ(c.status, std::string(status)) << c.steps;
    EXPECT_EQ(c.buttons, ButtonDigits()) << c.steps;
    EXPECT_EQ(c.watched, Watched()) << c.steps;
    EXPECT_EQ(std::strchr(c.steps, 'F') != nullptr && !std::strchr(c.steps, 'C'), g_run.stopped == 1) << c.steps;
    EndRunList(&g_state, kFake);
    std::string released = g_run.released;
    std::sort(released.begin(), released.end());
    EXPECT_EQ(std::string(g_run.launched.size(), '\0'), std::string(released.size(), '\0')) << c.steps;
    EXPECT_EQ(released.end(), std::adjacent_find(released.begin(), released.end())) << c.steps;
    EXPECT_EQ(c.released, g_run.released.substr(0, std::strlen(c.released))) << c.steps;
    if (c.golden[0] != '\0') {
      ByteBuffer log;
      const char* shell = "C:\\Windows\\system32\\cmd.exe";
      ASSERT_EQ(1, std::strstr(c.golden, ".txt") ? ComposeRunLogWithOutput(g_state, shell, &log)
                                                 : ComposeRunLog(g_state, shell, &log));
      EXPECT_EQ(ReadWholeFile(JoinTestPath(TestDataDir(), std::string("run/") + c.golden)),
                std::string(log.data, log.size)) << c.steps;
      FreeByteBuffer(&log);
    }
    FreeRunList(&g_state);
  }
  EXPECT_EQ(1, g_state.launched);
  EXPECT_EQ(4, g_state.used.priority);
}

// A priority chosen while commands run applies to each of them; "no class"
// gives what a new child of this program would get.
TEST(RunningPriority, AppliesTheChosenClassToEveryRunningCommand) {
  const struct {
    int index;
    unsigned long own, expected;
  } cases[] = {{4, 0x20, 0x40},      {0, 0x40, 0x80},     {-1, 0x20, 0x20}, {-1, 0x40, 0x40},
               {-1, 0x4000, 0x4000}, {-1, 0x8000, 0x20}, {-1, 0x80, 0x20}};
  for (const auto& c : cases) EXPECT_EQ(c.expected, PriorityClassForRunning(c.index, c.own)) << c.index;

  g_run = FakeRun{};
  g_run.parallel = 2;
  Commands commands("abc");
  ASSERT_EQ(1, commands.Begin());
  ApplyPriorityToRunning(&g_state, kFake);
  EXPECT_EQ(0, g_state.launched);
  StartRunList(&g_state, kFake);
  SkipRunningChild(&g_state, kFake);
  ApplyPriorityToRunning(&g_state, kFake);
  EXPECT_EQ("1:4 2:4 3:4 ", g_run.priorities);
  EndRunList(&g_state, kFake);
  FreeRunList(&g_state);
}

// Rows keep their commands' target marks: the status line counts them and
// Start asks until the list runs; the failed ones again ask nothing.
TEST(RunListSchedule, TargetMarksAskBeforeTheFirstStartOnly) {
  const unsigned char marks[] = {kMarkOverwrite | kMarkSameAsInput, 0, kMarkDuplicate};
  g_run = FakeRun{};
  g_run.parallel = 1;
  Commands commands("abc", marks);
  ASSERT_EQ(1, commands.Begin());
  auto state = [] {
    char status[kStatusTextCapacity];
    FormatStatusText(g_state, g_run.clock, status, sizeof status);
    std::string highlighted;
    for (int row = 0; row < RowCount(g_state); ++row) {
      highlighted += RowHighlighted(g_state, row) ? 'Y' : '-';
    }
    return std::to_string(RunListAsksBeforeStart(g_state)) + highlighted + " " + status;
  };
  EXPECT_EQ("1Y-Y 3 件　上書き 1　重複 1　入力と同じ 1", state());
  StartRunList(&g_state, kFake);
  EXPECT_EQ("0Y-Y 0/3 件終了　実行中 1　失敗 0　経過 0:00", state());
  for (const char* step : {"1", "2", "3"}) {
    g_run.signalled += step;
    RunListStep(&g_state, kFake);
  }
  ASSERT_EQ(1, RerunFailed(&g_state));  // "b" and "c" failed
  EXPECT_EQ("0-Y 0/2 件終了　失敗 0　経過 0:00", state());
  EndRunList(&g_state, kFake);
  FreeRunList(&g_state);
}

TEST(ChildHasEnded, OnlyTheHandleTells) {
  EXPECT_EQ(1, ChildHasEnded(kWaitSignalled));
  EXPECT_EQ(0, ChildHasEnded(kWaitTimedOut));
  EXPECT_EQ(1, ChildHasEnded(0xFFFFFFFFUL));  // the wait failed: nothing more will come
}

}  // namespace

#include "run/run_list.h"
#include "run/job_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "run/run_control.h"
#include "test_env.h"

namespace {

TEST(ParallelSetting, ChoosesAnItemAndIsStoredOnlyWhenItSaysSomething) {
  const struct {
    const char* stored;
    int item, storedWhenOne, storedWhenThree;
  } cases[] = {{"1", 0, 1, 1}, {"8", 7, 1, 1}, {"3", 2, 1, 1}, {"", 0, 0, 1},
               {"9", 0, 1, 1}, {"0", 0, 1, 1}, {"22", 0, 1, 1}, {"x", 0, 1, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.item, ParallelItemForSetting(c.stored)) << c.stored;
    EXPECT_EQ(c.storedWhenOne * 10 + c.storedWhenThree,
              ParallelNeedsStoring(c.stored, 1) * 10 + ParallelNeedsStoring(c.stored, 3))
        << c.stored;
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
// others 0. The clock
// moves 100 ms at every step and a minute at '+'.
struct FakeRun {
  std::string signalled, launched, released;
  int parallel, failNext, closeInLaunch, stopped;
  std::uint64_t clock;
} g_run;
RunListState g_state;

const RunListPlatform kFake = {
    [](void* child, unsigned long* code) {
      const long n = reinterpret_cast<long>(child);
      if (g_run.signalled.find(static_cast<char>('0' + n)) == std::string::npos) return 0;
      const char text = g_run.launched[static_cast<std::size_t>(n - 1)];
      *code = text == 'b' ? 1 : text == 'c' ? 259 : text == 'e' ? 0xC0000005 : 0;
      return 1;
    },
    [](void* child) { g_run.released += static_cast<char>('0' + reinterpret_cast<long>(child)); },
    [](char* text, std::size_t size) { snprintf(text, size, "%s", "低"); },
    [] { return g_run.parallel; },
    [](const char* program, const char* arguments, int priority) -> void* {
      EXPECT_STREQ("C:\\My Tools\\conv.exe", program);
      EXPECT_EQ(4, priority);
      if (g_run.closeInLaunch) EndRunList(&g_state, kFake);
      if (g_run.failNext) return g_run.failNext = 0, nullptr;
      g_run.launched += arguments;
      return reinterpret_cast<void*>(static_cast<long>(g_run.launched.size()));
    },
    [] { return g_run.clock; },
    [](RunClockTime* t) {
      const int s = 30 + static_cast<int>(g_run.clock / 1000);
      *t = RunClockTime{2024, 12, 31, 23, 58 + s / 60, s % 60};
    },
    [](int) {},
    [] { ++g_run.stopped; },
};

// The buttons as six digits: Start, Exit, Skip, Cancel, Log, Failed again.
std::string ButtonDigits() {
  const RunButtons b = RunListButtons(g_state);
  return std::string{char('0' + b.start), char('0' + b.exit), char('0' + b.skip),
                     char('0' + b.cancel), char('0' + b.log), char('0' + b.rerun)};
}

std::string Rows() {
  std::string rows;
  for (int i = 0; i < RowCount(g_state); ++i) {
    char text[kRowTextCapacity];
    FormatRowText(g_state, i, text, sizeof text);
    rows += (i ? "|" : "") + std::string(text) + (RowMarked(g_state, i) ? "*" : "");
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
  // launch, + a minute passes, a digit: that child ends and a step follows.
  const struct {
    int parallel;
    const char* list;  // one command per letter
    const char* steps;
    const char* launched;
    const char* released;
    const char* rows;  // after the steps; '*' marks a started row
    const char* status;
    const char* buttons;
    const char* watched;
    const char* golden;  // tests/data/run/<golden>: the log after the steps
  } cases[] = {
      // One at a time; 259 is an exit code like any other, and the next
      // command starts as soon as a child ends.
      {1, "abc", "S+123", "abc", "123",
       "0\t60.1秒\ta*|1\t0.1秒\tb*|259\t0.1秒\tc*", "3/3 件終了　失敗 2　経過 1:00", "010011", "",
       "one_at_a_time.tsv"},
      {1, "abc", "S1", "ab", "1", "0\t0.1秒\ta*|b*|c", "1/3 件終了　失敗 0　経過 0:00", "001110", "2", ""},
      // Two and three at a time: a freed slot takes the next command.
      {2, "abcd", "S", "ab", "", "a*|b*|c|d", "0/4 件終了　失敗 0　経過 0:00", "001110", "12", ""},
      {2, "abcd", "S21", "abcd", "21", "0\t0.2秒\ta*|1\t0.1秒\tb*|c*|d*", "2/4 件終了　失敗 1　経過 0:00", "001110", "34", ""},
      {3, "ab", "S21", "ab", "21", "0\t0.2秒\ta*|1\t0.1秒\tb*", "2/2 件終了　失敗 1　経過 0:00", "010011", "", ""},
      // Skip: the oldest gives up its slot and runs on, watched; its end
      // still counts. At the end of the list, Skip finishes it.
      {1, "abc", "SK2", "abc", "2", "a*|1\t0.1秒\tb*|c*", "1/3 件終了　失敗 1　経過 0:00", "001110", "31", ""},
      {1, "abc", "SK21+3", "abc", "213",
       "0\t0.3秒\ta*|1\t0.1秒\tb*|259\t60.2秒\tc*", "3/3 件終了　失敗 2　経過 1:00", "010011", "", ""},
      {2, "abc", "SK", "abc", "", "a*|b*|c*", "0/3 件終了　失敗 0　経過 0:00", "001110", "231", ""},
      {1, "a", "SK", "a", "", "a*", "0/1 件終了　失敗 0　経過 0:00", "010010", "1", ""},
      // A failed start stops the list, which stays open, finished; what
      // runs is still watched.
      {1, "ab", "FS", "", "", "起動失敗\t\ta*|b", "1/2 件終了　失敗 1　経過 0:00", "010011", "", ""},
      {2, "abcd", "SF1", "ab", "1",
       "0\t0.2秒\ta*|b*|起動失敗\t\tc*|d", "2/4 件終了　失敗 1　経過 0:00", "010011", "2", ""},
      // The dialog closes: children are let go once; nothing more starts.
      {2, "abc", "SXT12", "ab", "12", "a*|b*|c", "0/3 件終了　失敗 0　経過 0:00", "001110", "", ""},
      {1, "a", "CS", "a", "1", "a", "0/1 件終了　失敗 0　経過 0:00", "001100", "", ""},
      {1, "a", "CFS", "", "", "a", "0/1 件終了　失敗 0　経過 0:00", "001100", "", ""},
      // Exit codes read as cmd's errorlevel shows them.
      {1, "e", "S1", "e", "1", "-1073741819\t0.1秒\te*", "1/1 件終了　失敗 1　経過 0:00", "010011", "", ""},
      // Nothing to run: Start finishes at once.
      {1, "", "S", "", "", "", "0/0 件終了　失敗 0　経過 0:00", "010000", "", ""},
      // Failed ones again: only the failed commands, ready, run anew; the
      // log keeps every start. A skipped child still runs through it.
      {1, "abc", "S123R", "abc", "123", "b|c", "0/2 件終了　失敗 0　経過 0:00", "100110", "", ""},
      {2, "abcd", "SKR", "abc", "", "a*|b*|c*|d", "0/4 件終了　失敗 0　経過 0:00", "001110", "231", ""},
      {2, "cbad", "SKF+2R3S5", "cbabd", "235",
       "b*|0\t0.1秒\td*", "1/2 件終了　失敗 0　経過 0:00", "001110", "41", "again.tsv"},
  };
  for (const auto& c : cases) {
    g_run = FakeRun{};
    g_run.parallel = c.parallel;
    std::string commands;  // one command per letter
    for (const char* letter = c.list; *letter; ++letter) commands += std::string(1, *letter) + '\0';
    commands += '\0';
    ASSERT_EQ(1, BeginRunList(&g_state, commands.c_str(), "C:\\My Tools\\conv.exe"));
    for (const char* step = c.steps; *step; ++step) {
      g_run.clock += *step == '+' ? 60000 : 100;
      if (*step == 'S') StartRunList(&g_state, kFake);
      if (*step == 'T') RunListStep(&g_state, kFake);
      if (*step == 'K') SkipRunningChild(&g_state, kFake);
      if (*step == 'X') EndRunList(&g_state, kFake);
      if (*step == 'R') RerunFailed(&g_state);
      g_run.failNext |= *step == 'F';
      g_run.closeInLaunch |= *step == 'C';
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
      ASSERT_EQ(1, ComposeRunLog(g_state, "C:\\Windows\\system32\\cmd.exe", &log));
      EXPECT_EQ(ReadWholeFile(JoinTestPath(TestDataDir(), std::string("run/") + c.golden)),
                std::string(log.data, log.size)) << c.steps;
      FreeByteBuffer(&log);
    }
    FreeRunList(&g_state);
  }
  EXPECT_EQ(std::string("低"), g_state.priorityLabel);
}

// Rows keep their commands' target marks: the status line counts them and
// Start asks until the list runs; the failed ones again ask nothing.
TEST(RunListSchedule, TargetMarksAskBeforeTheFirstStartOnly) {
  TargetRecord targets{};
  const unsigned char marks[] = {kMarkOverwrite | kMarkSameAsInput, 0, kMarkDuplicate};
  AppendBytes(&targets.marks, marks, sizeof marks);
  g_run = FakeRun{};
  g_run.parallel = 1;
  const std::string commands("a\0b\0c\0\0", 7);
  ASSERT_EQ(1, BeginRunList(&g_state, commands.c_str(), "C:\\My Tools\\conv.exe", &targets));
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
  EXPECT_EQ("0Y-Y 0/3 件終了　失敗 0　経過 0:00", state());
  for (const char* step : {"1", "2", "3"}) {
    g_run.signalled += step;
    RunListStep(&g_state, kFake);
  }
  ASSERT_EQ(1, RerunFailed(&g_state));  // "b" and "c" failed
  EXPECT_EQ("0-Y 0/2 件終了　失敗 0　経過 0:00", state());
  EndRunList(&g_state, kFake);
  FreeRunList(&g_state);
  FreeTargetRecord(&targets);
}

TEST(ChildHasEnded, OnlyTheHandleTells) {
  EXPECT_EQ(1, ChildHasEnded(kWaitSignalled));
  EXPECT_EQ(0, ChildHasEnded(kWaitTimedOut));
  EXPECT_EQ(1, ChildHasEnded(0xFFFFFFFFUL));  // the wait failed: nothing more will come
}

}  // namespace

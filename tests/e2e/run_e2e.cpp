// Run and Confirm driven from outside with the recording child as the
// program: a direct run, the run list over matching files (order, waiting,
// priority, Skip, Cancel, the setting it keeps, output taken in, 停止,
// 失敗で中止), batch-mode Run and its double-start check, and Confirm with
// and without an edit command.
#include <windows.h>
#include <dlgs.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "cmd_model.h"
#include "e2e/driver.h"
#include "e2e/steps.h"
#include "resource.h"
#include "test_env.h"
#include "window_census.h"

namespace {

using Texts = std::vector<std::string>;
const char kRunTitle[] = "タビクス：実行";
const char kBuildTitle[] = "タビクス：実行コマンド作成";
const char kEditCommandKey[] = "batfile\\shell\\edit\\command";

// A copy of the program with its data files in folder\data. Its children
// append to folder\record.txt and wait for folder\<name of last argument>.go.
struct RunSession {
  AppFolder folder;
  AppProcess app;
  HWND window = nullptr;
  std::string child = JoinTestPath(TestExeDir(), "record_child.exe");
  Texts waiting;  // released at the end, whatever happened

  // Starts the copy in the test's own folder, or in its folder (`inFolder`).
  void Start(const char* name, const Texts& files, const Texts& others = {},
             bool inFolder = false) {
    folder = PrepareAppFolder(name);
    ASSERT_FALSE(folder.dir.empty());
    CreateDirectoryA(folder.Path("data").c_str(), nullptr);
    for (const std::string& file : files) WriteWholeFile(folder.Path("data\\" + file), "x");
    waiting = files;
    waiting.insert(waiting.end(), others.begin(), others.end());
    SetEnvironmentVariableA("TAVIX_RECORD_FILE", folder.Path("record.txt").c_str());
    SetEnvironmentVariableA("TAVIX_RECORD_WAIT", folder.dir.c_str());
    SetEnvironmentVariableA("TAVIX_RECORD_APPEND", "1");
    ASSERT_NE(nullptr, window = StartAndWaitForWindow(&app, folder.exe, DefaultWindowTitle(), "",
                                                      inFolder ? folder.dir : ""));
  }
  ~RunSession() {
    for (const std::string& name : waiting) Release(name);
  }
  void Release(const std::string& name) {
    WriteWholeFile(folder.Path(name.substr(name.rfind('\\') + 1) + ".go"), "");
  }
  std::string Record() const { return ReadWholeFile(folder.Path("record.txt")); }
  void WaitForRecord(const std::string& expected) const {
    EXPECT_TRUE(WaitUntil([&] { return Record() == expected; })) << Record();
  }
  // One start of `arguments` in the folder (Wine gives every child the
  // normal priority class).
  std::string Started(const std::string& arguments) const {
    return child + " " + arguments + "\n" + folder.dir + "\n20\n1 1\n";
  }
  // Fills the window and presses Run; the run list if `pattern` opens one.
  HWND Run(const std::string& program, const std::string& switchText, const std::string& file,
           const std::string& directory, const std::string& pattern = "") {
    for (auto [id, text] : {std::pair<int, std::string>{IDC_EXEPATH, program}, {IDC_CURPATH, directory},
                            {IDC_ARG1_SWITCH, switchText}, {IDC_ARG1_FILE, file + pattern}}) {
      SetControlText(window, id, text);
    }
    PostClickButton(window, IDC_RUN);
    return pattern.empty() ? nullptr : WaitForDialog(app, child);
  }
  HWND OpenRunList(const std::string& pattern) { return Run(child, "", folder.Path("data\\"), folder.dir, pattern); }
};

// Expects one message box with `caption` and `text`, and closes it.
void ExpectBox(const AppProcess& app, const char* caption, const std::string& text) {
  MessageBoxSeen box;
  ASSERT_TRUE(WaitForMessageBox(app, &box));
  EXPECT_EQ(caption + std::string("|") + text, box.caption + "|" + box.text);
  DismissMessageBox(box.window);
  ASSERT_TRUE(WaitForWindowGone(box.window));
}

LRESULT SelectedCount(HWND runList) {
  return SendMessageA(Control(runList, IDC_RUNLIST_LIST), LB_GETSELCOUNT, 0, 0);
}

// Start, Exit, Skip, Cancel: enabled or not.
std::vector<bool> Buttons(HWND runList) {
  return {IsControlEnabled(runList, IDC_RUNLIST_START), IsControlEnabled(runList, IDC_RUNLIST_EXIT),
          IsControlEnabled(runList, IDC_RUNLIST_SKIP), IsControlEnabled(runList, IDCANCEL)};
}
const std::vector<bool> kFinished{false, true, false, false};

// The row whose arguments end with `name`, or -1.
int RowNamed(const Texts& rows, const std::string& name) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].size() >= name.size() && rows[i].compare(rows[i].size() - name.size(), name.size(), name) == 0) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

// Waits for a row of the list to start with `head`.
bool WaitForRow(HWND list, int row, const std::string& head) {
  return WaitUntil([&] { return ListItems(list)[static_cast<std::size_t>(row)].rfind(head, 0) == 0; });
}

// The process id a child of the output tests noted in `path`.
DWORD NotedProcess(const std::string& path) {
  std::string text;
  WaitUntil([&] { return !(text = ReadWholeFile(path)).empty(); });
  return std::strtoul(text.c_str(), nullptr, 10);
}

bool ProcessEnds(DWORD id) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
  if (process == nullptr) return true;
  const bool ended = WaitForSingleObject(process, kDriverTimeoutMs) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

// Opens the output window of `row` with Enter on the row with the caret, or
// with a double-click on it.
HWND OpenOutput(const AppProcess& app, HWND list, int row, bool doubleClick) {
  HWND box = Control(list, IDC_RUNLIST_LIST);
  if (doubleClick) {
    const LRESULT height = SendMessageA(box, LB_GETITEMHEIGHT, 0, 0);
    const LRESULT top = SendMessageA(box, LB_GETTOPINDEX, 0, 0);
    PostMessageA(box, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, (row - top) * height + height / 2));
  } else {
    SendMessageA(box, LB_SETCARETINDEX, row, FALSE);
    PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
  }
  return WaitForDialog(app, "出力 - " + std::to_string(row + 1));
}

TEST(Run, DirectRunStartsTheOneCommandOrRefusesWithAMessage) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("direct", {std::string(220, 'a') + ".txt"}, {"one two"}));
  s.Release("one two");
  ClickButton(s.window, IDC_ARG1_SPACE);
  s.Run("\"" + s.child + "\"", "-x", "one two", s.folder.dir);
  s.WaitForRecord(s.Started("-x \"one two\"") + "end\n");

  const char* wildcard = "直接モードでディレクトリ展開は使用できません\nBATCHモードを使用してください";
  const std::string longSwitch(259, 's');
  const struct {
    std::string directory, switchText, file;
    const char* caption;
    const char* text;
  } refusals[] = {
      {"C:\\*", "", "", kRunTitle, wildcard},
      {"C:\\*1", "", "", kRunTitle, wildcard},
      {"", longSwitch, std::string(259, 'f'), kBuildTitle, "1行の長さが長すぎます"},
      {"", longSwitch, s.folder.Path("data\\*.txt"), kBuildTitle, "1行の長さが長すぎます"},
  };
  const std::string ran = s.Record();
  for (const auto& r : refusals) {
    s.Run(s.child, r.switchText, r.file, r.directory);
    ASSERT_NO_FATAL_FAILURE(ExpectBox(s.app, r.caption, r.text)) << r.directory << r.file;
  }
  EXPECT_EQ(1u, ProcessDialogs(s.app.Id()).size()) << "no run list";
  EXPECT_EQ(ran, s.Record());
}

// Four files, one after another with the priority 低, the second skipped,
// the third cancelled: the children run on and the fourth never starts. The
// list keeps what was written to the settings file while it was open.
TEST(Run, RunListRunsTheFilesInTurnWithTheChosenPriority) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("list", {"b.txt", "a.txt", "d.txt", "c.txt"}));
  const std::string ini = s.folder.Path("tavix.ini");
  WriteWholeFile(ini, "; dropped\r\n[tavix]\r\nProcessPriority=通常\r\n");
  HWND list = s.OpenRunList("*.txt");
  ASSERT_NE(nullptr, list);
  const Texts items = ListItems(list);
  ASSERT_EQ(4u, items.size());
  EXPECT_EQ((Texts{"(ﾌﾟﾛｾｽ優先度)", "高", "通常以上", "通常", "通常以下", "低"}),
            ComboItems(list, IDC_RUNLIST_PRIORITY));
  EXPECT_EQ(3, ComboSelection(list, IDC_RUNLIST_PRIORITY));
  EXPECT_EQ((std::vector<bool>{true, false, false, true}), Buttons(list));

  // Clicks and the space key in the list change no selection.
  HWND box = Control(list, IDC_RUNLIST_LIST);
  int marker = 0;
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN}) {
    PostMessageA(box, message, message == WM_KEYDOWN ? VK_SPACE : MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(box, LB_SETCARETINDEX, ++marker, 0);  // handled after the message
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(box, LB_GETCARETINDEX, 0, 0) == marker; }));
    EXPECT_EQ(0, SelectedCount(list)) << message;
  }
  // The list grows with the dialog, the status line staying under it; the
  // dialog cannot shrink below its first size.
  RECT d0, l0, s0, d1, l1, s1;
  HWND status = Control(list, IDC_RUNLIST_STATUS);
  GetWindowRect(list, &d0), GetWindowRect(box, &l0), GetWindowRect(status, &s0);
  SetWindowPos(list, nullptr, 0, 0, d0.right - d0.left + 40, d0.bottom - d0.top + 30, SWP_NOMOVE);
  GetWindowRect(box, &l1), GetWindowRect(status, &s1);
  SetWindowPos(list, nullptr, 0, 0, 50, 50, SWP_NOMOVE);
  GetWindowRect(list, &d1);
  EXPECT_EQ((std::vector<LONG>{l0.right + 40, l0.bottom + 30, s0.right + 40, s0.top + 30, d0.right, d0.bottom}),
            (std::vector<LONG>{l1.right, l1.bottom, s1.right, s1.top, d1.right, d1.bottom}));

  ChooseComboItem(list, IDC_RUNLIST_PRIORITY, 5);
  ClickButton(list, IDC_RUNLIST_START);
  EXPECT_EQ((std::vector<bool>{false, false, true, true}), Buttons(list));
  std::string expected = s.Started(items[0]);
  s.WaitForRecord(expected);
  for (int i = 0; i < 3; ++i) SendMessageA(list, WM_TIMER, 100, 0);  // ticks as if time passed
  EXPECT_EQ(1, SelectedCount(list));
  PostClickButton(s.window, IDC_RUN);
  ASSERT_NO_FATAL_FAILURE(ExpectBox(s.app, kRunTitle, "実行リスト表示中です\n終了までお待ちください"));
  WriteWholeFile(ini, ReadWholeFile(ini) + "[other]\r\nDialogCurrentPositionX=5\r\n");
  s.Release(items[0]);
  s.WaitForRecord(expected += "end\n" + s.Started(items[1]));
  ClickButton(list, IDC_RUNLIST_SKIP);
  s.WaitForRecord(expected += s.Started(items[2]));
  ClickButton(list, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(list));
  EXPECT_EQ("[tavix]\r\nProcessPriority=低\r\n[other]\r\nDialogCurrentPositionX=5\r\n", ReadWholeFile(ini));
  EscapeAndExpectExit0(s.app, s.window);
  for (int i = 1; i < 3; ++i) s.Release(items[i]);
  s.WaitForRecord(expected + "end\nend\n");
}

// A list run to its end leaves only Exit; the main window's close command
// closes only the list, and the settings file stays as it was when the
// priority did not change.
TEST(Run, FinishedListClosesAloneAndKeepsAnUnchangedSetting) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("finish", {"a.txt"}));
  const std::string ini = "; kept\r\n[tavix]\r\nProcessPriority=低\r\n";
  WriteWholeFile(s.folder.Path("tavix.ini"), ini);
  s.Release("a.txt");
  HWND list = s.OpenRunList("*.txt");
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(5, ComboSelection(list, IDC_RUNLIST_PRIORITY));
  const Texts items = ListItems(list);
  ClickButton(list, IDC_RUNLIST_START);
  EXPECT_TRUE(WaitUntil([&] { return Buttons(list) == kFinished; }));
  s.WaitForRecord(s.Started(items[0]) + "end\n");
  SendCommand(s.window, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(list));
  EXPECT_TRUE(IsWindow(s.window));
  EXPECT_EQ(ini, ReadWholeFile(s.folder.Path("tavix.ini")));
  EscapeAndExpectExit0(s.app, s.window);
}

// Three files, two of them failing (exit codes 1 and 259), two at a time:
// every row shows its result, the status line counts them, the log goes to
// the folder the commands ran in, and the failed ones run again. Closed by
// a sent click, the list lets the next Run open a new one with the limit
// kept.
TEST(Run, RunListShowsResultsKeepsALogAndRunsTheFailedOnesAgain) {
  RunSession s;
  const Texts files = {"a.txt", "exit1.txt", "exit259.txt"};
  ASSERT_NO_FATAL_FAILURE(s.Start("results", files));
  for (const std::string& file : files) s.Release(file);
  HWND list = s.OpenRunList("*.txt");
  ASSERT_NE(nullptr, list);
  const Texts shown = ListItems(list);
  const std::string data = s.folder.Path("data\\");
  Texts sorted = shown;
  std::sort(sorted.begin(), sorted.end());
  ASSERT_EQ((Texts{data + files[0], data + files[1], data + files[2]}), sorted);
  EXPECT_EQ("0/3 件終了　失敗 0　経過 0:00", ControlText(list, IDC_RUNLIST_STATUS));
  EXPECT_EQ((Texts{"1", "2", "3", "4", "5", "6", "7", "8"}), ComboItems(list, IDC_RUNLIST_PARALLEL));
  EXPECT_EQ(0, ComboSelection(list, IDC_RUNLIST_PARALLEL));
  EXPECT_FALSE(IsControlEnabled(list, IDC_RUNLIST_LOG) || IsControlEnabled(list, IDC_RUNLIST_RERUN));
  ChooseComboItem(list, IDC_RUNLIST_PARALLEL, 1);
  ClickButton(list, IDC_RUNLIST_START);
  ASSERT_TRUE(WaitUntil([&] { return Buttons(list) == kFinished; }));
  const Texts rows = ListItems(list);
  auto codeOf = [](const std::string& path) {
    const std::string name = path.substr(path.rfind('\\') + 1);
    return name.compare(0, 4, "exit") == 0 ? name.substr(4, name.size() - 8) : "0";
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string tail = "秒\t" + shown[i];
    EXPECT_EQ(0u, rows[i].find(codeOf(shown[i]) + "\t")) << rows[i];
    EXPECT_EQ(rows[i].size() - tail.size(), rows[i].rfind(tail)) << rows[i];
  }
  EXPECT_EQ(0u, ControlText(list, IDC_RUNLIST_STATUS).find("3/3 件終了　失敗 2　経過 0:0"));
  EXPECT_TRUE(IsControlEnabled(list, IDC_RUNLIST_LOG) && IsControlEnabled(list, IDC_RUNLIST_RERUN));

  PostClickButton(list, IDC_RUNLIST_LOG);
  HWND save = WaitForDialog(s.app, "ログに名前を付けて保存");
  ASSERT_NE(nullptr, save);
  EXPECT_EQ("tavix-log.tsv", FileDialogName(save));
  ASSERT_TRUE(SetFileDialogName(save, "job"));
  PostMessageA(save, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(save, IDOK)));
  ASSERT_TRUE(WaitForWindowGone(save));
  std::string log = ReadWholeFile(s.folder.Path("job.tsv"));
  const std::string header = "番号\t開始\t秒\t終了コード\tコマンドライン\r\n";
  EXPECT_EQ(0u, log.find(header));
  log.erase(0, header.size());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const std::size_t end = log.find("\r\n");
    ASSERT_NE(std::string::npos, end) << log;
    const std::string line = log.substr(0, end);
    log.erase(0, end + 2);
    // "<n>\tYYYY/MM/DD HH:MM:SS\t<s>.<ms>\t<code>\t<command line>"
    const std::size_t seconds = line.find('\t', 22);
    EXPECT_EQ(std::to_string(i + 1) + "\t", line.substr(0, 2)) << line;
    EXPECT_EQ("// ::", line.substr(6, 1) + line.substr(9, 1) + line.substr(12, 1) + line.substr(15, 1) + line.substr(18, 1)) << line;
    EXPECT_EQ('.', line[seconds - 4]) << line;
    EXPECT_EQ("\t" + codeOf(shown[i]) + "\t" + s.child + " " + shown[i], line.substr(seconds)) << line;
  }
  EXPECT_EQ("", log);

  ClickButton(list, IDC_RUNLIST_RERUN);
  Texts again = ListItems(list);
  std::sort(again.begin(), again.end());
  EXPECT_EQ((Texts{data + files[1], data + files[2]}), again);
  EXPECT_EQ((std::vector<bool>{true, false, false, true}), Buttons(list));
  EXPECT_EQ("0/2 件終了　失敗 0　経過 0:00", ControlText(list, IDC_RUNLIST_STATUS));
  ClickButton(list, IDC_RUNLIST_START);
  ASSERT_TRUE(WaitUntil([&] { return Buttons(list) == kFinished; }));
  EXPECT_EQ(0u, ControlText(list, IDC_RUNLIST_STATUS).find("2/2 件終了　失敗 2"));
  const std::string record = s.Record();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string start = "\n" + s.Started(data + files[i]);
    std::size_t count = 0;
    for (std::size_t at = ("\n" + record).find(start); at != std::string::npos; at = ("\n" + record).find(start, at + 1)) ++count;
    EXPECT_EQ(i == 0 ? 1u : 2u, count) << files[i];
  }

  // Closed by a click or a command sent from outside, the list lets the
  // next Run open a new one at once, the limit kept. Away from the main
  // window, the list leaves nothing to repaint when it goes: only the sent
  // message reaches the program.
  for (int sentCommand : {0, 1}) {
    SetWindowPos(list, nullptr, 3000, 3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(300);
    sentCommand ? (void)SendCommand(list, IDCANCEL) : ClickButton(list, IDC_RUNLIST_EXIT);
    ASSERT_TRUE(WaitForWindowGone(list));
    PostClickButton(s.window, IDC_RUN);
    list = WaitForDialog(s.app, s.child, 5000);
    MessageBoxSeen box;
    ASSERT_NE(nullptr, list) << (WaitForMessageBox(s.app, &box, 100) ? box.text : "");
    EXPECT_EQ(1, ComboSelection(list, IDC_RUNLIST_PARALLEL));
  }
  ClickButton(list, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(list));
  EXPECT_NE(std::string::npos, ReadWholeFile(s.folder.Path("tavix.ini")).find("Parallel=2\r\n"));
  EscapeAndExpectExit0(s.app, s.window);
}

// Three commands at once with their output taken in: what each wrote, in
// the order written, in its output window (followed to another row, the
// flood's last 256 KB); a command that leaves a program running in the
// background ends with its own process; 停止 on the caret row ends that
// command and the program it started; a priority chosen meanwhile reaches
// the running command; the log with output; the close box closes the
// finished list; the choices are kept.
TEST(Run, TakenInOutputIsShownAndStopEndsTheCommandWithWhatItStarted) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("output", {}));
  s.child = JoinTestPath(TestExeDir(), "output_child.exe");
  const std::string data = s.folder.Path("data\\");
  WriteWholeFile(data + "said.txt", "out one\\n\nerr two\\r\\n\nout x\\0y\\r\\r\\n\nexit 0\n");
  WriteWholeFile(data + "flood.txt", "pid\nspawn\nflood\n");
  WriteWholeFile(data + "bg.txt", "background\nout started\n");
  HWND list = s.OpenRunList("*.txt");
  ASSERT_NE(nullptr, list);
  EXPECT_EQ((Texts{"コンソール", "取り込む"}), ComboItems(list, IDC_RUNLIST_OUTPUT));
  EXPECT_EQ(0, ComboSelection(list, IDC_RUNLIST_OUTPUT));
  ChooseComboItem(list, IDC_RUNLIST_OUTPUT, 1);
  ChooseComboItem(list, IDC_RUNLIST_PARALLEL, 2);
  ClickButton(list, IDC_RUNLIST_START);
  const Texts shown = ListItems(list);
  const int said = RowNamed(shown, "said.txt"), flood = RowNamed(shown, "flood.txt"), bg = RowNamed(shown, "bg.txt");
  EXPECT_TRUE(WaitForRow(list, bg, "0\t") && WaitForRow(list, said, "0\t")) << ListItems(list)[bg];
  EXPECT_TRUE(IsControlEnabled(list, IDC_RUNLIST_STOP));
  const DWORD floodId = NotedProcess(data + "flood.txt.pid");
  const DWORD spawnId = NotedProcess(data + "flood.txt.spawn");
  ChooseComboItem(list, IDC_RUNLIST_PRIORITY, 5);
  HANDLE floodProcess = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, floodId);
  EXPECT_EQ(static_cast<DWORD>(IDLE_PRIORITY_CLASS), GetPriorityClass(floodProcess));
  CloseHandle(floodProcess);

  HWND output = OpenOutput(s.app, list, said, false);
  ASSERT_NE(nullptr, output);
  EXPECT_EQ("one\r\ntwo\r\nx y\r\n", ControlText(output, IDC_OUTPUT_TEXT));
  EXPECT_EQ(3, SelectedCount(list));
  ASSERT_EQ(output, OpenOutput(s.app, list, flood, true));
  EXPECT_TRUE(WaitUntil([&] { return ControlText(output, IDC_OUTPUT_TEXT).rfind("(この前の ", 0) == 0; }));
  EXPECT_GT(270000u, ControlText(output, IDC_OUTPUT_TEXT).size());
  // The button's release after the double-click leaves the output window
  // active, so Escape closes only it.
  PostMessageA(Control(list, IDC_RUNLIST_LIST), WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  EXPECT_TRUE(WaitUntil([&] {
    return GetGUIThreadInfo(GetWindowThreadProcessId(list, nullptr), &gui) && gui.hwndActive == output &&
           gui.hwndFocus != nullptr;
  }));
  PostMessageA(gui.hwndFocus, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(WaitForWindowGone(output));
  EXPECT_TRUE(IsWindow(list));

  SendMessageA(Control(list, IDC_RUNLIST_LIST), LB_SETCARETINDEX, flood, FALSE);
  ClickButton(list, IDC_RUNLIST_STOP);
  EXPECT_TRUE(WaitForRow(list, flood, "停止\t")) << ListItems(list)[flood];
  EXPECT_TRUE(ProcessEnds(floodId) && ProcessEnds(spawnId));
  ASSERT_TRUE(WaitUntil([&] { return Buttons(list) == kFinished; }));
  EXPECT_EQ(0u, ControlText(list, IDC_RUNLIST_STATUS).find("3/3 件終了　失敗 1"));

  PostClickButton(list, IDC_RUNLIST_LOG);
  HWND save = WaitForDialog(s.app, "ログに名前を付けて保存");
  ASSERT_NE(nullptr, save);
  ChooseComboItem(save, cmb1, 1);
  SendCommand(save, cmb1, CBN_SELENDOK);  // what Wine's dialog acts on
  ASSERT_TRUE(SetFileDialogName(save, "out.txt"));
  PostMessageA(save, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(save, IDOK)));
  ASSERT_TRUE(WaitForWindowGone(save));
  const std::string log = ReadWholeFile(s.folder.Path("out.txt"));
  const std::string saidLine = "#" + std::to_string(said + 1) + "\t0\t";
  EXPECT_EQ(0u, log.find("#1\t")) << log.substr(0, 200);
  EXPECT_NE(std::string::npos, log.find(s.child + " " + shown[said] + "\r\none\r\ntwo\r\nx y\r\n\r\n")) << log.substr(0, 400);
  EXPECT_NE(std::string::npos, log.find(saidLine));
  EXPECT_NE(std::string::npos, log.find("#" + std::to_string(flood + 1) + "\t停止\t"));

  PostMessageA(list, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitForWindowGone(list));
  const std::string ini = ReadWholeFile(s.folder.Path("tavix.ini"));
  EXPECT_NE(std::string::npos, ini.find("Output=取り込む\r\n")) << ini;
  EXPECT_EQ(std::string::npos, ini.find("StopOnFailure")) << ini;
  // Once what the command left behind has ended, the program ends without asking.
  const DWORD left = NotedProcess(data + "bg.txt.go.pid");
  WriteWholeFile(data + "bg.txt.go", "");
  EXPECT_TRUE(ProcessEnds(left));
  EscapeAndExpectExit0(s.app, s.window);
}

// Closing the list lets its commands write on: a command writes after the
// list has closed, and a program it left behind writes after the command's
// own end; both writes succeed. Closing the program meanwhile asks first,
// and No keeps it; once nothing writes, it ends without asking.
TEST(Run, CommandsWriteOnAfterTheListClosedAndEndingTheProgramAsksFirst) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("detach", {}));
  s.child = JoinTestPath(TestExeDir(), "output_child.exe");
  const std::string steps = s.folder.Path("data\\w.txt");
  WriteWholeFile(steps, "pid\nlate .later\nout started\nwait .go\ncheck after the list\n");
  HWND list = s.OpenRunList("*.txt");
  ASSERT_NE(nullptr, list);
  ChooseComboItem(list, IDC_RUNLIST_OUTPUT, 1);
  ClickButton(list, IDC_RUNLIST_START);
  const DWORD command = NotedProcess(steps + ".pid");
  const DWORD left = NotedProcess(steps + ".later.pid");
  ClickButton(list, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(list));

  PostMessageA(s.window, WM_COMMAND, IDCANCEL, 0);
  MessageBoxSeen box;
  ASSERT_TRUE(WaitForMessageBox(s.app, &box));
  EXPECT_EQ("タビクス", box.caption);
  EXPECT_EQ(0u, box.text.find("出力を取り込んでいるコマンドが 1 件")) << box.text;
  DismissMessageBox(box.window, IDNO);
  ASSERT_TRUE(WaitForWindowGone(box.window));
  EXPECT_TRUE(IsWindow(s.window));

  WriteWholeFile(steps + ".go", "");
  EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(steps + ".wrote") == "ok"; })) << ReadWholeFile(steps + ".wrote");
  EXPECT_TRUE(ProcessEnds(command));
  WriteWholeFile(steps + ".later", "");
  EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(steps + ".later.wrote") == "ok"; }))
      << ReadWholeFile(steps + ".later.wrote");
  EXPECT_TRUE(ProcessEnds(left));
  EscapeAndExpectExit0(s.app, s.window);
}

// The list opens wide enough for its longest row (the template's size is
// the smallest it can be dragged to); the size the user gives it is kept
// in tavix.ini, and the next list opens with it.
TEST(Run, RunListOpensWideEnoughAndKeepsTheSizeTheUserGaveIt) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("size", {std::string(60, 'n') + ".txt"}));
  HWND list = s.OpenRunList("*.txt");
  ASSERT_NE(nullptr, list);
  HWND box = Control(list, IDC_RUNLIST_LIST);
  RECT inside{}, outer{};
  GetClientRect(box, &inside);
  EXPECT_LE(SendMessageA(box, LB_GETHORIZONTALEXTENT, 0, 0), inside.right);
  GetWindowRect(list, &outer);
  const LONG width = outer.right - outer.left - 37, height = outer.bottom - outer.top + 23;
  SetWindowPos(list, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  SendMessageA(list, WM_EXITSIZEMOVE, 0, 0);  // as the end of a drag on the frame
  ClickButton(list, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(list));
  const std::string ini = ReadWholeFile(s.folder.Path("tavix.ini"));
  EXPECT_NE(std::string::npos, ini.find("RunListWidth=" + std::to_string(width) + "\r\nRunListHeight=" +
                                        std::to_string(height) + "\r\n")) << ini;
  list = s.OpenRunList("*.txt");
  ASSERT_NE(nullptr, list);
  GetWindowRect(list, &outer);
  EXPECT_EQ(width * 10000 + height, (outer.right - outer.left) * 10000 + outer.bottom - outer.top);
  ClickButton(list, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(list));
  EscapeAndExpectExit0(s.app, s.window);
}

// Visible top-level windows of the programs `app` started.
int ForeignWindows(const AppProcess& app) {
  return VisibleWindowsBelow(app.Id());
}

// Eight at a time with their output taken in share the program's hidden
// console: no window appears for them or for the program one of them
// starts, each output is its own, and 停止 ends one command with what it
// started while the others run on to their end.
TEST(Run, EightTakenInCommandsShareOneHiddenConsoleAndStopEndsOnlyOne) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("shared", {}));
  s.child = JoinTestPath(TestExeDir(), "output_child.exe");
  const std::string data = s.folder.Path("data\\");
  for (int i = 0; i < 8; ++i) {
    const std::string n = std::to_string(i);
    WriteWholeFile(data + "w" + n + ".txt", (i == 0 ? "spawn\n" : "") + std::string("out before ") + n +
                                                "\\n\nwait .go\nconsole\nout after " + n + "\\n\n");
  }
  HWND list = s.OpenRunList("*.txt");
  ASSERT_NE(nullptr, list);
  ChooseComboItem(list, IDC_RUNLIST_OUTPUT, 1);
  ChooseComboItem(list, IDC_RUNLIST_PARALLEL, 7);
  int most = 0;
  ClickButton(list, IDC_RUNLIST_START);
  const Texts shown = ListItems(list);
  const int stopped = RowNamed(shown, "w0.txt");
  const DWORD spawnId = NotedProcess(data + "w0.txt.spawn");
  most = std::max(most, ForeignWindows(s.app));
  SendMessageA(Control(list, IDC_RUNLIST_LIST), LB_SETCARETINDEX, stopped, FALSE);
  ClickButton(list, IDC_RUNLIST_STOP);
  EXPECT_TRUE(WaitForRow(list, stopped, "停止\t")) << ListItems(list)[stopped];
  EXPECT_TRUE(ProcessEnds(spawnId));
  for (int i = 1; i < 8; ++i) WriteWholeFile(data + "w" + std::to_string(i) + ".txt.go", "");
  ASSERT_TRUE(WaitUntil([&] {
    most = std::max(most, ForeignWindows(s.app));
    return Buttons(list) == kFinished;
  }));
  EXPECT_EQ(0, most);
  EXPECT_EQ(0u, ControlText(list, IDC_RUNLIST_STATUS).find("8/8 件終了　失敗 1"));
  for (int row = 0; row < 8; ++row) {
    const std::string n = shown[row].substr(shown[row].size() - 5, 1);
    HWND output = OpenOutput(s.app, list, row, false);
    ASSERT_NE(nullptr, output);
    EXPECT_EQ(row == stopped ? "before 0\r\n" : "before " + n + "\r\nshared console\r\nafter " + n + "\r\n",
              ControlText(output, IDC_OUTPUT_TEXT)) << row;
    EXPECT_EQ(row == stopped ? "停止\t" : "0\t", ListItems(list)[row].substr(0, row == stopped ? 5 : 2)) << row;
  }
  PostMessageA(list, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitForWindowGone(list));
  EscapeAndExpectExit0(s.app, s.window);
}

// With 失敗で中止 the first failure starts nothing more, and 失敗分を再実行
// offers it with the commands never started; a command that cannot start
// with its output taken in does the same as in a console; a list of nothing
// names the pattern it searched.
TEST(Run, HaltOnFailureOffersTheRestAgainAndAnEmptyListNamesItsPattern) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("halt", {"exit1.txt", "exit2.txt", "exit3.txt"}));
  for (const std::string& file : s.waiting) s.Release(file);
  HWND list = s.OpenRunList("*.txt");
  ASSERT_NE(nullptr, list);
  const Texts shown = ListItems(list);
  ClickButton(list, IDC_RUNLIST_HALT);
  ClickButton(list, IDC_RUNLIST_START);
  ASSERT_TRUE(WaitUntil([&] { return Buttons(list) == kFinished; }));
  const Texts rows = ListItems(list);
  auto code = [](const std::string& path) { return path.substr(path.size() - 5, 1); };
  EXPECT_EQ((Texts{code(shown[0]) + "\t", shown[1], shown[2]}),
            (Texts{rows[0].substr(0, 2), rows[1], rows[2]}));
  ClickButton(list, IDC_RUNLIST_RERUN);
  EXPECT_EQ(shown, ListItems(list));
  ClickButton(list, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(list));
  EXPECT_NE(std::string::npos, ReadWholeFile(s.folder.Path("tavix.ini")).find("StopOnFailure=1\r\n"));

  list = s.OpenRunList("*.none");
  ASSERT_NE(nullptr, list);
  EXPECT_EQ("一致するファイルがありません: " + s.folder.Path("data\\*.none"), ControlText(list, IDC_RUNLIST_STATUS));
  ClickButton(list, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(list));

  for (int item : {0, 1}) {
    s.Run(s.folder.Path("missing.exe"), "", s.folder.Path("data\\exit1.tx?"), s.folder.dir);
    list = WaitForDialog(s.app, s.folder.Path("missing.exe"));
    ASSERT_NE(nullptr, list);
    ChooseComboItem(list, IDC_RUNLIST_OUTPUT, item);
    PostClickButton(list, IDC_RUNLIST_START);
    MessageBoxSeen box;
    ASSERT_TRUE(WaitForMessageBox(s.app, &box));
    EXPECT_EQ("タビクス：実行失敗", box.caption);
    EXPECT_FALSE(box.text.empty());
    DismissMessageBox(box.window);
    ASSERT_TRUE(WaitForWindowGone(box.window));
    ASSERT_NO_FATAL_FAILURE(ExpectBox(s.app, kRunTitle, "実行を中断します"));
    EXPECT_EQ("起動失敗\t\t" + s.folder.Path("data\\exit1.txt"), ListItems(list)[0]) << item;
    ClickButton(list, IDC_RUNLIST_EXIT);
    ASSERT_TRUE(WaitForWindowGone(list));
  }
  EscapeAndExpectExit0(s.app, s.window);
}

// The command registered for editing batch files, put back at the end.
struct EditCommandGuard {
  char saved[1024] = {};
  LONG size = sizeof saved;
  bool had = RegQueryValueA(HKEY_CLASSES_ROOT, kEditCommandKey, saved, &size) == ERROR_SUCCESS;
  ~EditCommandGuard() { had ? Set(saved) : Remove(); }
  void Set(const std::string& command) {
    RegSetValueA(HKEY_CLASSES_ROOT, kEditCommandKey, REG_SZ, command.c_str(), command.size());
  }
  void Remove() { RegDeleteKeyA(HKEY_CLASSES_ROOT, kEditCommandKey); }
};

bool HasChildProcess(DWORD parent) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    found = found || entry.th32ParentProcessID == parent;
  }
  CloseHandle(snapshot);
  return found;
}

// A second Run or Confirm while the batch runs is refused and leaves the
// file alone; afterwards Confirm writes the file and hands it to the
// registered editor, never running it, or says that none is registered.
TEST(Run, BatchRunIsCheckedAndConfirmOpensTheEditor) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("batch", {}, {"batch1", "batch2", "tavix.bat"}));
  EditCommandGuard editor;
  editor.Set("\"" + s.child + "\" \"%1\"");
  const std::string bat = s.folder.dir + "\\\\tavix.bat";  // as start-up forms it
  auto recorded = [&](const std::string& line) {
    return WaitUntil([&] { return s.Record().find(line + "\n") != std::string::npos; });
  };
  SendCommand(s.window, IDM_OPT_BATCHOUT);
  s.Run(s.child, "", "batch1", s.folder.dir);
  ASSERT_TRUE(recorded(s.child + " batch1")) << s.Record();
  const std::string first = ReadWholeFile(bat);
  EXPECT_NE(std::string::npos, first.find("batch1"));
  SetControlText(s.window, IDC_ARG1_FILE, "batch2");
  for (int button : {IDC_RUN, IDC_CONFIRM}) {
    PostClickButton(s.window, button);
    ASSERT_NO_FATAL_FAILURE(ExpectBox(s.app, "タビクス：二重起動チェック", "バッチファイルが起動中です\n終了までお待ちください"));
  }
  EXPECT_EQ(first, ReadWholeFile(bat));

  s.Release("batch1");
  ASSERT_TRUE(WaitUntil([&] { return !HasChildProcess(s.app.Id()); }));
  ClickButton(s.window, IDC_CONFIRM);
  EXPECT_TRUE(recorded("\"" + s.child + "\" \"" + bat + "\"")) << s.Record();
  EXPECT_NE(std::string::npos, ReadWholeFile(bat).find("batch2"));
  editor.Remove();
  PostClickButton(s.window, IDC_CONFIRM);
  ASSERT_NO_FATAL_FAILURE(ExpectBox(s.app, "タビクス：出力確認", "ファイルの関連付けがありません"));
  EscapeAndExpectExit0(s.app, s.window);
  EXPECT_EQ(std::string::npos, s.Record().find(" batch2\n")) << "the batch file ran";
}

// A name the code page cannot hold (made with a wide call) goes by its short
// name, so the list does not hand its "?" on as a wildcard; the item names
// that file.
TEST(Run, RunListTakesTheShortNameOfANameTheCodePageCannotHold) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("shortname", {"axb.txt"}));
  const std::string data = s.folder.Path("data");
  const std::wstring wide = std::wstring(data.begin(), data.end()) + L"\\a\u2603b.txt";
  CloseHandle(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  WIN32_FIND_DATAW found{};
  FindClose(FindFirstFileW(wide.c_str(), &found));
  const std::wstring shortName = found.cAlternateFileName;
  ASSERT_FALSE(shortName.empty());
  HWND list = s.OpenRunList("*.txt");
  ASSERT_NE(nullptr, list);
  Texts items = ListItems(list);
  std::sort(items.begin(), items.end());
  EXPECT_EQ(
      (Texts{data + "\\" + std::string(shortName.begin(), shortName.end()), data + "\\axb.txt"}),
      items);
  ClickButton(list, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(list));
  EscapeAndExpectExit0(s.app, s.window);
}

// The lines of a text, each ended by `end`.
Texts Lines(const std::string& text, const std::string& end) {
  Texts lines;
  for (size_t from = 0, at; (at = text.find(end, from)) != std::string::npos;
       from = at + end.size()) {
    lines.push_back(text.substr(from, at - from));
  }
  return lines;
}

// `text` with every "<>" replaced by `folder`.
std::string InFolder(std::string text, const std::string& folder) {
  for (size_t at; (at = text.find("<>")) != std::string::npos;) text.replace(at, 2, folder);
  return text;
}

// A start as "folder>parameter|parameter...", the program left out.
std::string StartText(const std::string& folder, const std::string& line) {
  const Texts argv = SplitArguments(line);
  std::string run = folder + ">";
  for (size_t i = 1; i < argv.size(); ++i) run += argv[i] + "|";
  return run;
}

// Commands that write over a file, write one file together, or write their
// own input: the list says how many at Ready and Start asks first; No
// leaves it ready with nothing run, Yes runs it. Batch-mode Run asks the
// same before it writes the batch file.
TEST(Run, RunListAsksBeforeCommandsWriteOverTheirTargets) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("targets", {"img001.txt", "img002.txt"}));
  for (const std::string& name : s.waiting) s.Release(name);
  CreateDirectoryA(s.folder.Path("out").c_str(), nullptr);
  WriteWholeFile(s.folder.Path("out\\thumb_.txt"), "");
  const std::string data = s.folder.Path("data\\");
  SetControlText(s.window, IDC_ARG2_FILE, s.folder.Path("out\\thumb_*.txt"));
  SetControlText(s.window, IDC_ARG3_FILE, data + "*.txt");
  HWND list = s.OpenRunList("img*.txt");
  ASSERT_NE(nullptr, list);
  EXPECT_EQ("2 件　上書き 2　重複 2　入力と同じ 2", ControlText(list, IDC_RUNLIST_STATUS));
  std::string question = "出力先に問題のあるコマンドが 2 件あります";
  for (const std::string& item : ListItems(list)) {
    question += "\n上書き・重複: " + s.folder.Path("out\\thumb_.txt") + "\n上書き・入力と同じ: " +
                item.substr(0, item.find(' '));
  }
  question += "\n開始しますか?";
  for (int answer : {IDNO, IDYES}) {
    PostClickButton(list, IDC_RUNLIST_START);
    MessageBoxSeen box;
    ASSERT_TRUE(WaitForMessageBox(s.app, &box));
    EXPECT_EQ(kRunTitle + std::string("|") + question, box.caption + "|" + box.text);
    DismissMessageBox(box.window, answer);
    ASSERT_TRUE(WaitForWindowGone(box.window));
    if (answer == IDNO) {
      EXPECT_EQ((std::vector<bool>{true, false, false, true}), Buttons(list));
      EXPECT_EQ("2 件　上書き 2　重複 2　入力と同じ 2", ControlText(list, IDC_RUNLIST_STATUS));
      EXPECT_EQ("", s.Record());
    }
  }
  EXPECT_TRUE(WaitUntil([&] { return Buttons(list) == kFinished; }));
  EXPECT_EQ(2u, Lines(s.Record(), "end\n").size());
  ClickButton(list, IDC_RUNLIST_EXIT);
  ASSERT_TRUE(WaitForWindowGone(list));

  SendCommand(s.window, IDM_OPT_BATCHOUT);
  PostClickButton(s.window, IDC_RUN);
  MessageBoxSeen box;
  ASSERT_TRUE(WaitForMessageBox(s.app, &box));
  EXPECT_EQ(kRunTitle + std::string("|") + question, box.caption + "|" + box.text);
  DismissMessageBox(box.window, IDNO);
  ASSERT_TRUE(WaitForWindowGone(box.window));
  EscapeAndExpectExit0(s.app, s.window);
  EXPECT_FALSE(CanReadFile(s.folder.Path("tavix.bat")));
  EXPECT_EQ(2u, Lines(s.Record(), "end\n").size());
}

// Commands reach the program as the run list or the batch file shows them:
// the recording child started directly from a folder with a blank, or
// through a batch file, and cmd.exe's own copy or cmd.exe starting the
// child, over names that cmd would split or change, with tavix.exe in
// folders named with "&", "^" and "(x86)". A batch file is read back as
// Windows' cmd reads it (tests/support/cmd_model.h), and what the children
// received must be just that, in the folders meant: a walk relative to where
// the file starts, a quoted folder on another drive than that. A text of
// several quoted paths stays several, a name from disk put into it stays
// one argument, a typed name on disk keeps its '%'. A
// child that exits with 1 stops neither the list nor the file.
TEST(Run, CommandsReachTheProgramAsShown) {
  enum Program { kChild, kBatchFile, kCmdCopy, kCmdChild, kBareBatch };
  const struct {
    const char* folder;  // where tavix.exe lies
    bool batch;
    Program program;
    const char* exitCode;
    const char* directory;  // current directory; "<>" stands for the folder
    const char* file;       // file text of row 1
    const char* second;     // file text of row 2
    size_t commands;        // commands that reach the program
    Texts leftOut;          // names cmd would change
    Texts folders;          // where the commands of a batch file run ("" for the test's own)
    Texts arguments;        // what the one command gets, when the row says
    bool inFolder = false;  // tavix.exe starts in its folder, not in the test's (on Z:)
  } rows[] = {
      // clang-format off
      {"exe", false, kChild, "1", "", "<>\\data\\*.txt", "", 6, {}, {}, {}},
      {"bat", false, kBatchFile, "0", "", "<>\\data\\*.txt", "", 5, {"50%.txt"}, {}, {}},
      {"copy", false, kCmdCopy, "0", "<>\\data", "<>\\data\\x*.cmd", "<>\\out", 1, {}, {}, {}},
      {"cmd", false, kCmdChild, "0", "", "<>\\my tools\\child.exe", "<>\\data\\*.txt", 5, {"50%.txt"}, {}, {}},
      {"R&D", true, kChild, "1", ".\\data*", "*.txt", "", 7, {}, {"<>\\data", "<>\\data2"}, {}, true},
      {"a^b (x86)", true, kBatchFile, "0", "", "<>\\data\\*.txt", "", 5, {"50%.txt"}, {""}, {}},
      {"cmd batch", true, kCmdChild, "0", "<>", "<>\\my tools\\child.exe", "<>\\data\\*.txt", 5, {"50%.txt"},
       {"<>"}, {}},
      {"typed", true, kChild, "0", "\"<>\\data\"", "\"<>\\data\\a b.txt\" \"<>\\data\\R&D.txt\"",
       "<>\\data\\50%.txt", 1, {}, {"<>\\data"},
       {"<>\\data\\a b.txt", "<>\\data\\R&D.txt", "<>\\data\\50%.txt"}},
      // A name from disk put into a text of several paths stays one argument.
      {"several", false, kChild, "0", "", "<>\\data\\a b*.txt", "<>\\out\\*.bak \"<>\\data\\R&D.txt\"", 1,
       {}, {""}, {"<>\\data\\a b.txt", "<>\\out\\a b.bak", "<>\\data\\R&D.txt"}},
      {"several_batch", true, kChild, "0", "", "<>\\data\\R*.txt", "<>\\out\\*.bak \"<>\\data\\a b.txt\"", 1,
       {}, {""}, {"<>\\data\\R&D.txt", "<>\\out\\R&D.bak", "<>\\data\\a b.txt"}},
      // Every part of a path on disk keeps its '%': the program's folder, the
      // folder of the matches and of a file that does not exist yet.
      {"50%", true, kChild, "0", "", "<>\\data\\a b*.txt", "<>\\data\\z.txt", 1, {}, {""},
       {"<>\\data\\a b.txt", "<>\\data\\z.txt"}},
      // A batch file named without its extension runs as one: the lines after it run too.
      {"bare", true, kBareBatch, "0", "<>\\my tools", "<>\\data\\*.txt", "", 5, {"50%.txt"},
       {"<>\\my tools"}, {}},
      // clang-format on
  };
  char own[MAX_PATH];
  GetCurrentDirectoryA(sizeof own, own);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.folder);
    SetEnvironmentVariableA("TAVIX_RECORD_EXIT", r.exitCode);
    RunSession s;
    ASSERT_NO_FATAL_FAILURE(
        s.Start(r.folder, {"a b.txt", "R&D.txt", "a^b.txt", "50%.txt", "(1).txt", "x,y.txt"},
                {"z.txt"}, r.inFolder));
    for (const std::string& name : s.waiting) s.Release(name);  // no child waits
    CreateDirectoryA(s.folder.Path("my tools").c_str(), nullptr);
    CreateDirectoryA(s.folder.Path("data2").c_str(), nullptr);
    WriteWholeFile(s.folder.Path("data2\\z.txt"), "");
    // Unquoted, "...\my tools\child.exe" would start the decoy my.exe (Wine
    // re-quotes such a line only when there is none).
    std::string program = s.folder.Path("my tools\\child.exe");
    CopyFileA(s.child.c_str(), program.c_str(), FALSE);
    CopyFileA(s.child.c_str(), s.folder.Path("my.exe").c_str(), FALSE);
    if (r.program == kBatchFile || r.program == kBareBatch) {
      WriteWholeFile(program = s.folder.Path("my tools\\t.bat"), "@\"" + s.child + "\" %*\r\n");
    }
    if (r.program == kBareBatch) program = "t";
    if (r.program == kCmdCopy) {  // split at "&", the copy would run mk.cmd
      for (const char* name : {"data\\x&mk.cmd", "data\\mk.cmd"}) {
        WriteWholeFile(s.folder.Path(name), "@echo> ..\\ran.txt\r\n");
      }
      CreateDirectoryA(s.folder.Path("out").c_str(), nullptr);
    }
    if (r.program == kCmdCopy || r.program == kCmdChild) {
      ClickButton(s.window, IDC_ARG1_SPACE);
      program = "cmd.exe";
    }
    if (r.batch) SendCommand(s.window, IDM_OPT_BATCHOUT);
    const std::string second = InFolder(r.second, s.folder.dir);
    SetControlText(s.window, IDC_ARG2_FILE, second);
    s.Run(program,
          r.program == kCmdCopy    ? "/c copy"
          : r.program == kCmdChild ? "/c"
                                   : "",
          InFolder(r.file, s.folder.dir), InFolder(r.directory, s.folder.dir));
    if (!r.leftOut.empty()) {
      MessageBoxSeen box;
      ASSERT_TRUE(WaitForMessageBox(s.app, &box));
      const std::string text = "cmdで安全に渡せない名前を持つ " + std::to_string(r.leftOut.size()) +
                               " 個のファイルまたはディレクトリを除外しました\n最初の名前: ";
      EXPECT_TRUE(box.text == text + r.leftOut[0] || box.text == text + r.leftOut.back())
          << box.text;
      EXPECT_EQ(r.batch ? "タビクス：バッチファイル出力" : kRunTitle, box.caption);
      DismissMessageBox(box.window);
    }
    // What each child received, as "folder>parameter|..." (a batch file as
    // the program hands its parameters on).
    Texts received, expected;
    auto receivedRuns = [&] {
      received.clear();
      const Texts lines = Lines(s.Record(), "\n");
      for (size_t i = 0; i + 1 < lines.size(); i += 5)
        received.push_back(StartText(lines[i + 1], lines[i]));
      return received.size() >= r.commands;
    };
    if (!r.batch) {
      HWND list = WaitForDialog(s.app, program);  // captioned with the bare program text
      ASSERT_NE(nullptr, list);
      const Texts shown = ListItems(list);
      ClickButton(list, IDC_RUNLIST_START);
      EXPECT_TRUE(WaitUntil([&] { return Buttons(list) == kFinished; }));
      ClickButton(list, IDC_RUNLIST_EXIT);
      ASSERT_EQ(r.commands, shown.size());
      if (r.program == kCmdCopy) {
        EXPECT_EQ("/c copy \"" + s.folder.Path("data\\x&mk.cmd") + "\" " + second, shown[0]);
        EXPECT_TRUE(WaitUntil([&] { return CanReadFile(second + "\\x&mk.cmd"); }));
        EXPECT_FALSE(CanReadFile(s.folder.Path("ran.txt")));
        EscapeAndExpectExit0(s.app, s.window);
        continue;
      }
      // Started directly, each child's line is the one handed to the system;
      // cmd.exe runs what follows its "/c".
      const std::string& started = r.program == kBatchFile ? s.child : program;
      for (const std::string& arguments : shown) {
        expected.push_back(r.program == kCmdChild
                               ? StartText(own, arguments.substr(3))
                               : StartText(own, "\"" + started + "\" " + arguments));
      }
    } else {
      // The file as Windows' cmd reads it, from where tavix.exe started.
      ASSERT_TRUE(WaitUntil(receivedRuns)) << s.Record();
      CmdWorld world = MakeCmdWorld();
      RunBatchText(&world, ReadWholeFile(s.folder.Path("tavix.bat")),
                   r.inFolder ? s.folder.dir : own);
      EXPECT_EQ(0, world.brokenLines);
      for (const CmdStart& start : world.starts)
        expected.push_back(StartText(start.folder, start.line));
      for (const std::string& folder : r.folders) {
        const std::string meant = folder.empty() ? own : InFolder(folder, s.folder.dir);
        EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [&](const std::string& run) {
          return run.rfind(meant + ">", 0) == 0;
        })) << meant;
      }
      for (const std::string& run : expected) {
        EXPECT_TRUE(std::any_of(r.folders.begin(), r.folders.end(), [&](const std::string& folder) {
          return run.rfind((folder.empty() ? own : InFolder(folder, s.folder.dir)) + ">", 0) == 0;
        })) << run;
      }
    }
    ASSERT_TRUE(WaitUntil(receivedRuns)) << s.Record();
    std::sort(expected.begin(), expected.end());
    std::sort(received.begin(), received.end());
    EXPECT_EQ(expected, received);
    if (!r.arguments.empty()) {
      std::string meant = (r.folders[0].empty() ? std::string(own) : InFolder(r.folders[0], s.folder.dir)) + ">";
      for (const std::string& argument : r.arguments)
        meant += InFolder(argument, s.folder.dir) + "|";
      EXPECT_EQ(Texts{meant}, received);
    }
    EscapeAndExpectExit0(s.app, s.window);
  }
  SetEnvironmentVariableA("TAVIX_RECORD_EXIT", nullptr);
}

}  // namespace

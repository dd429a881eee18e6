// Run and Confirm driven from outside with the recording child as the
// program: a direct run, the run list over matching files (order, waiting,
// priority, Skip, Cancel, the setting it keeps), batch-mode Run and its
// double-start check, and Confirm with and without an edit command.
#include <windows.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/driver.h"
#include "e2e/steps.h"
#include "resource.h"
#include "test_env.h"

namespace {

const char kRunTitle[] = "タビクス：実行";
const char kBuildTitle[] = "タビクス：実行コマンド作成";
const char kEditCommandKey[] = "batfile\\shell\\edit\\command";

// A copy of the program in a fresh folder. Its children inherit the record
// file folder\record.txt and wait for folder\<last argument's name>.go.
struct RunSession {
  AppFolder folder;
  AppProcess app;
  HWND window = nullptr;
  std::string child = JoinTestPath(TestExeDir(), "record_child.exe");
  std::vector<std::string> waiting;  // released at the end, whatever happened

  void Start(const char* name, const std::vector<std::string>& names) {
    waiting = names;
    folder = PrepareAppFolder(name);
    ASSERT_FALSE(folder.dir.empty());
    SetEnvironmentVariableA("TAVIX_RECORD_FILE", folder.Path("record.txt").c_str());
    SetEnvironmentVariableA("TAVIX_RECORD_WAIT", folder.dir.c_str());
    window = StartAndWaitForWindow(&app, folder.exe, DefaultWindowTitle());
    ASSERT_NE(nullptr, window);
  }
  ~RunSession() {
    for (const std::string& name : waiting) Release(name);
  }
  void Release(const std::string& name) { WriteWholeFile(folder.Path(name + ".go"), ""); }
  std::string Record() const { return ReadWholeFile(folder.Path("record.txt")); }
  void WaitForRecord(const std::string& expected) const {
    EXPECT_TRUE(WaitUntil([&] { return Record() == expected; })) << Record();
  }
  // The program, the rows and the current directory of the next run.
  void Fill(const std::string& program, const std::string& switchText, const std::string& file) {
    SetControlText(window, IDC_EXEPATH, program);
    SetControlText(window, IDC_CURPATH, folder.dir);
    SetControlText(window, IDC_ARG1_SWITCH, switchText);
    SetControlText(window, IDC_ARG1_FILE, file);
  }
  // Runs with `file` as the pattern of files in folder\data and waits for
  // the run list.
  HWND OpenRunList(const std::string& file) {
    Fill(child, "", folder.Path("data\\" + file));
    PostClickButton(window, IDC_RUN);
    return WaitForDialog(app, child);
  }
};

// The record of one start: command line, directory, priority class (Wine
// gives every child the normal class), start-up flags.
std::string Started(const std::string& commandLine, const std::string& directory) {
  return commandLine + "\n" + directory + "\n20\n1 1\n";
}

void MakeFiles(const std::string& dir, const std::vector<std::string>& names) {
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const std::string& name : names) WriteWholeFile(dir + "\\" + name, "x");
}

// Expects one message box with `caption` and `text`, and closes it.
void ExpectBox(const AppProcess& app, const char* caption, const std::string& text) {
  MessageBoxSeen box;
  ASSERT_TRUE(WaitForMessageBox(app, &box));
  EXPECT_EQ(caption, box.caption);
  EXPECT_EQ(text, box.text);
  DismissMessageBox(box.window);
  ASSERT_TRUE(WaitForWindowGone(box.window));
}

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t wide[600] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
    char text[1200] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    items.emplace_back(text);
  }
  return items;
}

int SelectedCount(HWND runList) {
  return static_cast<int>(SendMessageA(Control(runList, IDC_RUNLIST_LIST), LB_GETSELCOUNT, 0, 0));
}

// Start, Exit, Skip, Cancel: enabled or not.
std::vector<bool> Buttons(HWND runList) {
  return {IsControlEnabled(runList, IDC_RUNLIST_START), IsControlEnabled(runList, IDC_RUNLIST_EXIT),
          IsControlEnabled(runList, IDC_RUNLIST_SKIP), IsControlEnabled(runList, IDCANCEL)};
}
const std::vector<bool> kReady{true, false, false, true};
const std::vector<bool> kRunning{false, false, true, true};
const std::vector<bool> kFinished{false, true, false, false};

// Timer ticks handled before the call returns, as if time had passed.
void Tick(HWND runList, int count) {
  for (int i = 0; i < count; ++i) SendMessageA(runList, WM_TIMER, 100, 0);
}

// The command registered for editing batch files, put back at the end.
struct EditCommandGuard {
  char saved[1024] = {};
  bool had = false;
  EditCommandGuard() {
    LONG size = sizeof saved;
    had = RegQueryValueA(HKEY_CLASSES_ROOT, kEditCommandKey, saved, &size) == ERROR_SUCCESS;
  }
  ~EditCommandGuard() { had ? Set(saved) : Remove(); }
  void Set(const std::string& command) {
    RegSetValueA(HKEY_CLASSES_ROOT, kEditCommandKey, REG_SZ, command.c_str(), command.size());
  }
  void Remove() { RegDeleteKeyA(HKEY_CLASSES_ROOT, kEditCommandKey); }
};

// Whether a process started by `parent` still runs.
bool HasChildProcess(DWORD parent) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
    found = entry.th32ParentProcessID == parent;
  }
  CloseHandle(snapshot);
  return found;
}

TEST(Run, DirectRunStartsTheOneCommandOrRefusesWithAMessage) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("direct", {"one two"}));
  s.Release("one two");
  s.Fill("\"" + s.child + "\"", "-x", "one two");
  ClickButton(s.window, IDC_ARG1_SPACE);
  ClickButton(s.window, IDC_RUN);
  const std::string ran = Started(s.child + " -x \"one two\"", s.folder.dir) + "end\n";
  s.WaitForRecord(ran);

  MakeFiles(s.folder.Path("data"), {std::string(220, 'a') + ".txt"});
  const std::string longSwitch(259, 's');
  struct Refusal {
    std::string directory, switchText, file;
    const char* caption;
    const char* text;
  } refusals[] = {
      {"C:\\*", "", "", kRunTitle, "直接モードでディレクトリ展開は使用できません\nBATCHモードを使用してください"},
      {"C:\\*1", "", "", kRunTitle, "直接モードでディレクトリ展開は使用できません\nBATCHモードを使用してください"},
      {"", longSwitch, std::string(259, 'f'), kBuildTitle, "1行の長さが長すぎます"},
      {"", longSwitch, s.folder.Path("data\\*.txt"), kBuildTitle, "1行の長さが長すぎます"},
  };
  for (const Refusal& r : refusals) {
    s.Fill(s.child, r.switchText, r.file);
    SetControlText(s.window, IDC_CURPATH, r.directory);
    PostClickButton(s.window, IDC_RUN);
    ASSERT_NO_FATAL_FAILURE(ExpectBox(s.app, r.caption, r.text)) << r.directory << r.file;
  }
  EXPECT_TRUE(ProcessDialogs(s.app.Id()).size() == 1u) << "no run list";
  EXPECT_EQ(ran, s.Record());
}

// Three files, one after another with the priority 低; the list keeps what
// was written to the settings file while it was open.
TEST(Run, RunListRunsTheFilesInTurnAndKeepsTheChosenPriority) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("list", {"a.txt", "b.txt", "c.txt"}));
  MakeFiles(s.folder.Path("data"), {"b.txt", "a.txt", "c.txt"});
  const std::string ini = s.folder.Path("tavix.ini");
  WriteWholeFile(ini, "; dropped\r\n[tavix]\r\nProcessPriority=通常\r\n");
  HWND list = s.OpenRunList("*.txt");
  ASSERT_NE(nullptr, list);
  const std::vector<std::string> items = ListItems(Control(list, IDC_RUNLIST_LIST));
  ASSERT_EQ(3u, items.size());
  EXPECT_EQ((std::vector<std::string>{"(ﾌﾟﾛｾｽ優先度)", "高", "通常以上", "通常", "通常以下", "低"}),
            ComboItems(list, IDC_RUNLIST_PRIORITY));
  EXPECT_EQ(3, ComboSelection(list, IDC_RUNLIST_PRIORITY));
  EXPECT_EQ(kReady, Buttons(list));

  // Clicks and the space key in the list change no selection.
  HWND box = Control(list, IDC_RUNLIST_LIST);
  PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  PostMessageA(box, WM_KEYDOWN, VK_SPACE, 1);
  PostMessageA(box, LB_SETCARETINDEX, 2, 0);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(box, LB_GETCARETINDEX, 0, 0) == 2; }));
  EXPECT_EQ(0, SelectedCount(list));
  // The list grows with the dialog, which cannot shrink below its first size.
  RECT d0, l0, d1, l1;
  GetWindowRect(list, &d0);
  GetWindowRect(box, &l0);
  SetWindowPos(list, nullptr, 0, 0, d0.right - d0.left + 40, d0.bottom - d0.top + 30, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(list, &d1);
  GetWindowRect(box, &l1);
  EXPECT_EQ(l0.right + 40, l1.right);
  EXPECT_EQ(l0.bottom + 30, l1.bottom);
  SetWindowPos(list, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(list, &d1);
  EXPECT_EQ(d0.right - d0.left, d1.right - d1.left);
  EXPECT_EQ(d0.bottom - d0.top, d1.bottom - d1.top);

  ChooseComboItem(list, IDC_RUNLIST_PRIORITY, 5);
  ClickButton(list, IDC_RUNLIST_START);
  EXPECT_EQ(kRunning, Buttons(list));
  std::string expected;
  for (size_t i = 0; i < items.size(); ++i) {
    expected += Started(s.child + " " + items[i], s.folder.dir);
    s.WaitForRecord(expected);
    if (i == 0) WriteWholeFile(ini, ReadWholeFile(ini) + "[other]\r\nDialogCurrentPositionX=5\r\n");
    Tick(list, 3);  // the next command waits for this one's end
    EXPECT_EQ(expected, s.Record());
    EXPECT_EQ(static_cast<int>(i) + 1, SelectedCount(list));
    s.Release(items[i].substr(items[i].rfind('\\') + 1));
    expected += "end\n";
  }
  s.WaitForRecord(expected);
  EXPECT_TRUE(WaitUntil([&] { return Buttons(list) == kFinished; }));
  ClickButton(list, IDC_RUNLIST_EXIT);
  ASSERT_TRUE(WaitForWindowGone(list));
  EXPECT_EQ("[tavix]\r\nProcessPriority=低\r\n[other]\r\nDialogCurrentPositionX=5\r\n", ReadWholeFile(ini));
  EscapeAndExpectExit0(s.app, s.window);
}

// Skip lets the child run on and starts the next; Cancel closes the list,
// the children run on and the last command never starts. The setting keeps
// its file untouched when the priority did not change.
TEST(Run, SkipAndCancelLeaveTheChildrenRunning) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("skip", {"a.txt", "b.txt", "c.txt"}));
  MakeFiles(s.folder.Path("data"), {"a.txt", "b.txt", "c.txt"});
  const std::string ini = "; kept\r\n[tavix]\r\nProcessPriority=低\r\n";
  WriteWholeFile(s.folder.Path("tavix.ini"), ini);
  HWND list = s.OpenRunList("*.txt");
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(5, ComboSelection(list, IDC_RUNLIST_PRIORITY));
  const std::vector<std::string> items = ListItems(Control(list, IDC_RUNLIST_LIST));
  ASSERT_EQ(3u, items.size());
  ClickButton(list, IDC_RUNLIST_START);
  std::string expected = Started(s.child + " " + items[0], s.folder.dir);
  s.WaitForRecord(expected);
  ClickButton(list, IDC_RUNLIST_SKIP);
  expected += Started(s.child + " " + items[1], s.folder.dir);
  s.WaitForRecord(expected);
  ClickButton(list, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(list));
  EXPECT_EQ(ini, ReadWholeFile(s.folder.Path("tavix.ini")));
  EscapeAndExpectExit0(s.app, s.window);
  for (int i = 0; i < 2; ++i) s.Release(items[i].substr(items[i].rfind('\\') + 1));
  s.WaitForRecord(expected + "end\nend\n");
}

// A pattern without matches opens an empty list that Start finishes; a
// second Run is refused while it is open; command 2 closes only the list.
TEST(Run, EmptyListFinishesAtOnceAndCloseClosesOnlyTheList) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("empty", {}));
  MakeFiles(s.folder.Path("data"), {});
  HWND list = s.OpenRunList("*.none");
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(0u, ListItems(Control(list, IDC_RUNLIST_LIST)).size());
  ClickButton(list, IDC_RUNLIST_START);
  EXPECT_TRUE(WaitUntil([&] { return Buttons(list) == kFinished; }));
  PostClickButton(s.window, IDC_RUN);
  ASSERT_NO_FATAL_FAILURE(ExpectBox(s.app, kRunTitle, "実行リスト表示中です\n終了までお待ちください"));
  SendCommand(s.window, IDCANCEL);
  ASSERT_TRUE(WaitForWindowGone(list));
  EXPECT_TRUE(IsWindow(s.window));
  EXPECT_FALSE(CanReadFile(s.folder.Path("tavix.ini")));
  EscapeAndExpectExit0(s.app, s.window);
}

// Batch mode: a second Run or Confirm while the batch runs is refused and
// leaves the file alone; afterwards Confirm writes the file and hands it to
// the registered editor, never running it, or says no editor is registered.
TEST(Run, BatchRunIsCheckedAndConfirmOpensTheEditor) {
  RunSession s;
  ASSERT_NO_FATAL_FAILURE(s.Start("batch", {"batch1", "batch2", "tavix.bat"}));
  EditCommandGuard editor;
  editor.Set("\"" + s.child + "\" \"%1\"");
  const std::string bat = s.folder.dir + "\\\\tavix.bat";  // as start-up forms it
  auto recorded = [&](const std::string& line) {
    return WaitUntil([&] { return s.Record().find(line + "\n") != std::string::npos; });
  };
  s.Fill(s.child, "", "batch1");
  SendCommand(s.window, IDM_OPT_BATCHOUT);
  ClickButton(s.window, IDC_RUN);
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

}  // namespace

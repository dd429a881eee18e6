// The name box and the sets behind it, with the real main dialog (hidden) and
// the register dialog driven from a timer inside its modal loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "import_patch.h"
#include "msgbox_watch.h"
#include "param_file_dialog.h"
#include "params/field_table.h"
#include "params/name_list_win32.h"
#include "params/param_file.h"
#include "params/param_file_win32.h"
#include "params/param_set_win32.h"
#include "params/param_texts.h"
#include "resource.h"
#include "test_env.h"

namespace {

// What the register dialog should do when it shows up, and what it showed.
struct RegisterScript {
  bool cancel = false;
  bool type = false;            // set the edit's text to `typed` before OK
  std::string typed;
  bool seen = false;
  bool okEnabledAtStart = false;
  std::string proposed;
  int limit = 0;                // the edit's text limit
};
RegisterScript* g_script = nullptr;

std::string Repeat(const char* piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// A script that types `name` into the register dialog and presses OK.
RegisterScript Typing(const char* name) {
  RegisterScript script;
  script.type = true;
  script.typed = name;
  return script;
}

BOOL CALLBACK FindRegisterDialog(HWND window, LPARAM found) {
  char className[32] = {};
  char title[64] = {};
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, title, sizeof title);
  if (std::strcmp(className, "#32770") == 0 && std::strcmp(title, "パラメータの登録") == 0) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

VOID CALLBACK DriveRegisterDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindRegisterDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr) return;
  KillTimer(nullptr, timer);
  RegisterScript& script = *g_script;
  script.seen = true;
  HWND ok = GetDlgItem(dialog, IDOK);
  script.okEnabledAtStart = IsWindowEnabled(ok) != FALSE;
  char text[128] = {};
  GetDlgItemTextA(dialog, IDC_REGISTER_NAME, text, sizeof text);
  script.proposed = text;
  script.limit = static_cast<int>(SendDlgItemMessageA(dialog, IDC_REGISTER_NAME, EM_GETLIMITTEXT, 0, 0));
  if (script.cancel) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return;
  }
  if (script.type) SetDlgItemTextA(dialog, IDC_REGISTER_NAME, script.typed.c_str());
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

// Opens that would hold the parameter file fail while g_refusedOpens lasts.
decltype(&CreateFileA) g_realCreateFile = nullptr;
int g_refusedOpens = 0;
HANDLE WINAPI BusyCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                             DWORD disposition, DWORD flags, HANDLE model) {
  if (access == GENERIC_READ && share == FILE_SHARE_WRITE && g_refusedOpens > 0) {
    --g_refusedOpens;
    SetLastError(ERROR_SHARING_VIOLATION);
    return INVALID_HANDLE_VALUE;
  }
  return g_realCreateFile(path, access, share, security, disposition, flags, model);
}

class NameListTest : public ParamFileDialogTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(OpenDialogOn("namelist", "sets.tvx"));
    ClearLoadingFlag();
  }
  void TearDown() override {
    ParamFileDialogTest::TearDown();
    ClearLoadingFlag();
  }

  // Writes and loads the file, then fills the name box.
  void StartWith(const std::string& bytes) {
    ASSERT_NO_FATAL_FAILURE(ParamFileDialogTest::StartWith(bytes));
    FillNameList(dialog_);
  }

  std::vector<std::string> ListedNames() {
    std::vector<std::string> names;
    int count = static_cast<int>(SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char name[256] = {};
      SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
      names.push_back(name);
    }
    return names;
  }

  int Selection() {
    return static_cast<int>(SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_GETCURSEL, 0, 0));
  }

  void Select(int index) { SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_SETCURSEL, index, 0); }

  std::string Text(int id) {
    char buffer[512] = {};
    GetDlgItemTextA(dialog_, id, buffer, sizeof buffer);
    return buffer;
  }

  std::string Caption() { return Text(IDC_OPTION); }

  int Register(RegisterScript& script) {
    g_script = &script;
    SetTimer(nullptr, 0, 10, DriveRegisterDialog);
    int result = RegisterSet(dialog_);
    g_script = nullptr;
    EXPECT_TRUE(script.seen);
    return result;
  }
};

// First in this file: the current set name is still empty as at start.
TEST_F(NameListTest, FirstRegisterProposesNothingAndWaitsForAName) {
  ASSERT_STREQ(GetCurrentSetName(), "");
  StartWith("");
  RegisterScript script = Typing("first");
  EXPECT_EQ(Register(script), 1);
  EXPECT_EQ(script.proposed, "");
  EXPECT_FALSE(script.okEnabledAtStart);
  EXPECT_STREQ(GetCurrentSetName(), "first");
}

TEST_F(NameListTest, ListShowsEverySetButDefaultInFileOrder) {
  StartWith("[b]\r\n[default]\r\n[a]\r\n[b]\r\n[default]\r\n[日本]\r\n");
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"b", "a", "b", "日本"}));
  EXPECT_EQ(Selection(), CB_ERR);
}

TEST_F(NameListTest, DefaultAndOneOtherShowOnlyTheOther) {
  StartWith("[default]\r\nEXEPATH=x\r\n[cc]\r\n");
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"cc"}));
}

TEST_F(NameListTest, RefillingReplacesTheOldItems) {
  StartWith("[a]\r\n[b]\r\n");
  Select(1);
  FillNameList(dialog_);
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Selection(), CB_ERR);
}

TEST_F(NameListTest, DefaultOfAnEmptyFileClearsTheDialog) {
  StartWith("");
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "x.exe");
  CheckDlgButton(dialog_, IDC_ARG1_SPACE, BST_CHECKED);
  SetOptionFlag(kOptionBatchOut, 1);
  EXPECT_EQ(ApplySetByName(dialog_, "default"), 1);
  EXPECT_EQ(Text(IDC_EXEPATH), "");
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_ARG1_SPACE), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(Caption(), "設定(&P)[00]");
}

TEST_F(NameListTest, UnknownNameKeepsTheFillingAndRefreshesTheCaption) {
  StartWith("[a]\r\nEXEPATH=a.exe\r\n");
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "kept.exe");
  SetOptionFlag(kOptionLastPause, 1);
  EXPECT_EQ(ApplySetByName(dialog_, "default"), 1);
  EXPECT_EQ(Text(IDC_EXEPATH), "kept.exe");
  EXPECT_EQ(Caption(), "設定(&P)[01]");
}

TEST_F(NameListTest, SelectingANameAppliesTheFirstSetOfThatName) {
  StartWith("[a]\r\nEXEPATH=first.exe\r\nBATCHOUT=1\r\n[b]\r\n[a]\r\nEXEPATH=second.exe\r\n");
  Select(2);  // the second "a": the first of that name applies
  EXPECT_EQ(SelectSetFromList(dialog_), 1);
  EXPECT_EQ(Text(IDC_EXEPATH), "first.exe");
  EXPECT_STREQ(GetCurrentSetName(), "a");
  EXPECT_EQ(Caption(), "設定(&P)[10]");
}

TEST_F(NameListTest, BlankNameBoxSelectsNothing) {
  StartWith("[a]\r\nEXEPATH=a.exe\r\n");
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "kept.exe");
  EXPECT_EQ(SelectSetFromList(dialog_), 0);
  EXPECT_EQ(Text(IDC_EXEPATH), "kept.exe");
}

TEST_F(NameListTest, OverlongNameIsListedButSelectingItChangesNothing) {
  struct Case { std::string name; std::string current; };
  const Case cases[] = {
      {std::string(70, 'n'), std::string(63, 'n')},
      // 63 bytes end inside the 32nd double-byte character: it is left out.
      {Repeat("表", 35), Repeat("表", 31)},
  };
  for (const Case& c : cases) {
    ASSERT_NO_FATAL_FAILURE(StartWith("[" + c.name + "]\r\nEXEPATH=long.exe\r\n"));
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{c.name}));
    SetDlgItemTextA(dialog_, IDC_EXEPATH, "kept.exe");
    Select(0);
    EXPECT_EQ(SelectSetFromList(dialog_), 1);
    EXPECT_EQ(Text(IDC_EXEPATH), "kept.exe");
    EXPECT_EQ(std::string(GetCurrentSetName()), c.current);
    ReleaseParameterFile();
  }
}

TEST_F(NameListTest, LongJapaneseNameIsRegisteredWholeAndStaysUsable) {
  StartWith("[a]\r\nEXEPATH=a.exe\r\n");
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "long.exe");
  RegisterScript script = Typing(Repeat("表", 40).c_str());
  EXPECT_EQ(Register(script), 1);
  // Cut to 63 bytes without splitting a character.
  const std::string kept = Repeat("表", 31);
  EXPECT_EQ(std::string(GetCurrentSetName()), kept);
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{kept, "a"}));
  // The listed name selects its set and deletes it.
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "other.exe");
  Select(0);
  EXPECT_EQ(SelectSetFromList(dialog_), 1);
  EXPECT_EQ(Text(IDC_EXEPATH), "long.exe");
  EXPECT_EQ(DeleteSelectedSet(dialog_), 1);
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a"}));
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), "[a]\r\nEXEPATH=a.exe\r\n");
}

TEST_F(NameListTest, EditsBlankTheNameBoxUnlessASetIsBeingLoaded) {
  StartWith("[a]\r\n[b]\r\n");
  Select(1);
  SetLoadingFlag();
  EXPECT_EQ(IsLoadingFlagSet(), 1);
  MarkSetModified(dialog_);
  EXPECT_EQ(Selection(), 1);
  ClearLoadingFlag();
  EXPECT_EQ(IsLoadingFlagSet(), 0);
  MarkSetModified(dialog_);
  EXPECT_EQ(Selection(), CB_ERR);
}

TEST_F(NameListTest, EditingKeepsTheCurrentSetName) {
  StartWith("[a]\r\n[keep]\r\n");
  Select(1);
  SelectSetFromList(dialog_);
  MarkSetModified(dialog_);
  ClearSet(dialog_);
  EXPECT_STREQ(GetCurrentSetName(), "keep");
}

TEST_F(NameListTest, RegisterCancelledChangesNothing) {
  StartWith("[a]\r\nEXEPATH=a.exe\r\n");
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "typed.exe");
  RegisterScript script;
  script.cancel = true;
  EXPECT_EQ(Register(script), 0);
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), "[a]\r\nEXEPATH=a.exe\r\n");
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a"}));
  EXPECT_EQ(Text(IDC_EXEPATH), "typed.exe");
}

TEST_F(NameListTest, RegisterWithAnEmptyNameChangesNothing) {
  StartWith("[a]\r\n");
  RegisterScript script = Typing("");
  EXPECT_EQ(Register(script), 0);
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), "[a]\r\n");
}

TEST_F(NameListTest, RegisterSavesListsAndSelectsTheNewSet) {
  StartWith("[a]\r\nEXEPATH=a.exe\r\n");
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "new.exe");
  RegisterScript script = Typing("新しい");
  std::string before = GetCurrentSetName();
  EXPECT_EQ(Register(script), 1);
  EXPECT_EQ(script.proposed, before);
  EXPECT_EQ(script.okEnabledAtStart, !before.empty());
  EXPECT_EQ(script.limit, 63);
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"新しい", "a"}));
  EXPECT_EQ(Selection(), 0);
  EXPECT_STREQ(GetCurrentSetName(), "新しい");
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), "[新しい]\r\nEXEPATH=new.exe\r\n[a]\r\nEXEPATH=a.exe\r\n");
}

TEST_F(NameListTest, RegisterProposesTheCurrentNameAndReplacesThatSet) {
  StartWith("[a]\r\nEXEPATH=a.exe\r\n[b]\r\nEXEPATH=b.exe\r\n");
  Select(1);
  SelectSetFromList(dialog_);
  ClearSet(dialog_);  // New keeps the current name
  SetDlgItemTextA(dialog_, IDC_CURPATH, "C:\\w");
  RegisterScript script;  // OK with the proposed name
  EXPECT_EQ(Register(script), 1);
  EXPECT_EQ(script.proposed, "b");
  EXPECT_TRUE(script.okEnabledAtStart);
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(Selection(), 0);
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), "[b]\r\nCURPATH=C:\\w\r\n[a]\r\nEXEPATH=a.exe\r\n");
}

TEST_F(NameListTest, RegisteringDefaultShowsTheFirstListedName) {
  StartWith("[a]\r\n[default]\r\nEXEPATH=old.exe\r\n");
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "screen.exe");
  RegisterScript script = Typing("default");
  EXPECT_EQ(Register(script), 1);
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a"}));
  EXPECT_EQ(Selection(), 0);
  EXPECT_EQ(Text(IDC_EXEPATH), "screen.exe");
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), "[default]\r\nEXEPATH=screen.exe\r\n[a]\r\n");
}

TEST_F(NameListTest, ANameWithATabReplacesTheSetSavedWithABlank) {
  StartWith("[a b]\r\nEXEPATH=old.exe\r\n");
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "new.exe");
  RegisterScript script = Typing("a\tb");
  EXPECT_EQ(Register(script), 1);
  EXPECT_STREQ(GetCurrentSetName(), "a b");
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), "[a b]\r\nEXEPATH=new.exe\r\n");
}

// A program reading the new file after Register's rewrite is waited for
// (12 opens fail: the 10 tries to hold it, then 2 of the reload's); the user
// is told when it stays, and the next save loads the file first.
TEST_F(NameListTest, ReloadWaitsForAReaderOfTheNewFileAndTellsWhenItStays) {
  for (int refused : {12, 1000}) {
    ASSERT_NO_FATAL_FAILURE(StartWith("[a]\r\nEXEPATH=a.exe\r\n"));
    RegisterScript script = Typing("x");
    g_refusedOpens = refused;
    void** slot = SwapKernelImport("CreateFileA", &BusyCreateFile, &g_realCreateFile);
    std::vector<SeenBox> boxes = WatchBoxesDuring(kParameterFileTitle, [&] { EXPECT_EQ(Register(script), 1); });
    RestoreKernelImport(slot, g_realCreateFile);
    const bool told = refused > 20;
    EXPECT_EQ(IsParameterFileHeld(), told ? 0 : 1);
    EXPECT_EQ(ListedNames(), (told ? std::vector<std::string>{} : std::vector<std::string>{"x", "a"}));
    ASSERT_EQ(boxes.size(), told ? 1u : 0u);
    EXPECT_TRUE(!told || (boxes[0].text == kParameterFileNotReloadedText && boxes[0].owner == dialog_));
    EXPECT_EQ(SaveSetFromDialog(dialog_, "default"), 1);
    ReleaseParameterFile();
    EXPECT_EQ(ReadWholeFile(path_), "[default]\r\n[x]\r\n[a]\r\nEXEPATH=a.exe\r\n");
  }
}

TEST_F(NameListTest, FailedRegisterKeepsFileListAndHold) {
  StartWith("[a]\r\nEXEPATH=a.exe\r\n");
  ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
  RegisterScript script = Typing("x");
  EXPECT_EQ(Register(script), 0);
  EXPECT_EQ(IsParameterFileHeld(), 1);
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a"}));
  ReleaseParameterFile();
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadWholeFile(path_), "[a]\r\nEXEPATH=a.exe\r\n");
}

}  // namespace

// The main dialog in this process, with MainDialogProc on the real dialog
// resource: set-up, the command dispatch, the name box rule for edits, the
// option popup and destruction.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/main_dialog_win32.h"
#include "app/main_handle_win32.h"
#include "app/startup.h"
#include "input/argument_rows_win32.h"
#include "params/field_table.h"
#include "params/name_list_win32.h"
#include "params/param_file.h"
#include "params/param_file_win32.h"
#include "resource.h"
#include "support/format_text.h"
#include "test_env.h"

namespace {

const char kSets[] =
    "[default]\r\nEXEPATH=def.exe\r\nBATCHOUT=1\r\n"
    "[alpha]\r\nEXEPATH=alpha.exe\r\nARG2SWITCH=/a\r\n"
    "[beta]\r\nEXEPATH=beta.exe\r\nLASTPAUSE=1\r\n";

class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = JoinTestPath(MakeTempDir("main_dialog"), "sets.tvx");
    ASSERT_TRUE(WriteWholeFile(path_, kSets));
    FormatText(g_parameterFilePath, kParameterFilePathSize, "%s", path_.c_str());
    ASSERT_EQ(1, LoadParameterFile());
    // A title of its own, so that no other test's search by title finds it.
    FormatText(g_windowTitle, kWindowTitleSize, "main dialog test %lu", GetCurrentProcessId());
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                 MainDialogProc, 0);
    ASSERT_NE(nullptr, dialog_);
  }

  void TearDown() override {
    if (dialog_ != nullptr && IsWindow(dialog_)) DestroyWindow(dialog_);
    ReleaseParameterFile();
    ClearLoadingFlag();
    for (int id : g_optionIds) SetOptionFlag(id, 0);
  }

  BOOL Command(int id, int code = 0) {
    return static_cast<BOOL>(MainDialogProc(dialog_, WM_COMMAND, MAKEWPARAM(id, code),
                                            reinterpret_cast<LPARAM>(GetDlgItem(dialog_, id))));
  }

  int Selection() {
    return static_cast<int>(SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_GETCURSEL, 0, 0));
  }

  void Select(int index) {
    SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_SETCURSEL, index, 0);
    ASSERT_EQ(index, Selection());
  }

  std::string Text(int id) {
    char text[300] = {};
    GetDlgItemTextA(dialog_, id, text, sizeof text);
    return text;
  }

  std::string path_;
  HWND dialog_ = nullptr;
};

TEST_F(MainDialogTest, SetUpShowsTheTitleTheNamesAndTheDefaultSet) {
  EXPECT_EQ(dialog_, g_mainDialog);
  char title[128] = {};
  GetWindowTextA(dialog_, title, sizeof title);
  EXPECT_STREQ(g_windowTitle, title);
  EXPECT_NE(0, SendMessageA(dialog_, WM_GETICON, ICON_SMALL, 0));
  EXPECT_NE(0, SendMessageA(dialog_, WM_GETICON, ICON_BIG, 0));

  ASSERT_EQ(2, SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_GETCOUNT, 0, 0));
  char name[64] = {};
  SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(name));
  EXPECT_STREQ("alpha", name);
  SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(name));
  EXPECT_STREQ("beta", name);
  EXPECT_EQ(-1, Selection());
  EXPECT_EQ("def.exe", Text(IDC_EXEPATH));
  EXPECT_EQ("設定(&P)[10]", Text(IDC_OPTION));
}

TEST_F(MainDialogTest, SystemMenuStartsWithTheThreeAddedCommands) {
  HMENU menu = GetSystemMenu(dialog_, FALSE);
  ASSERT_NE(nullptr, menu);
  struct Item {
    UINT id;
    const char* text;  // nullptr: separator
  };
  const Item expected[] = {
      {IDM_SWITCH_FILE, "パラメータファイル切り替え(&I)..."},
      {0, nullptr},
      {IDM_USAGE, "使い方ファイルを表示(&H)"},
      {IDM_ABOUT, "バージョン情報(&A)..."},
      {0, nullptr},
  };
  for (UINT position = 0; position < 5; ++position) {
    SCOPED_TRACE(position);
    char text[64] = {};
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_TYPE;
    item.dwTypeData = text;
    item.cch = sizeof text - 1;
    ASSERT_TRUE(GetMenuItemInfoA(menu, position, TRUE, &item));
    if (expected[position].text == nullptr) {
      EXPECT_TRUE(item.fType & MFT_SEPARATOR);
    } else {
      EXPECT_EQ(expected[position].id, item.wID);
      EXPECT_STREQ(expected[position].text, text);
    }
  }
  // The standard items follow.
  EXPECT_NE(-1, GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND));
  EXPECT_GT(GetMenuItemCount(menu), 5);
}

TEST_F(MainDialogTest, HandlesOnlyItsOwnCommands) {
  EXPECT_TRUE(Command(IDOK));
  EXPECT_TRUE(IsWindow(dialog_));
  EXPECT_FALSE(Command(IDC_OPTION + 100));
  // Commands of other parts of the program are not handled here yet.
  EXPECT_FALSE(Command(IDC_ARG3_BROWSE));
  EXPECT_FALSE(MainDialogProc(dialog_, WM_SYSCOMMAND, IDM_ABOUT, 0));
  EXPECT_FALSE(MainDialogProc(dialog_, WM_SYSCOMMAND, SC_MINIMIZE + 1, 0));
  EXPECT_FALSE(MainDialogProc(dialog_, WM_TIMER, 1, 0));
}

TEST_F(MainDialogTest, EditsAndTogglesClearTheNameBoxUnlessASetIsBeingApplied) {
  struct Case {
    int id;
    int code;
    bool clears;
  };
  const Case cases[] = {
      {IDC_EXEPATH, EN_UPDATE, true},      {IDC_CURPATH, EN_UPDATE, true},
      {IDC_HELPPATH, EN_UPDATE, true},     {IDC_ARG1_SWITCH, EN_UPDATE, true},
      {IDC_ARG8_SWITCH, EN_UPDATE, true},  {IDC_ARG1_FILE, EN_UPDATE, true},
      {IDC_ARG8_FILE, EN_UPDATE, true},    {IDC_ARG1_SPACE, BN_CLICKED, true},
      {IDC_ARG8_SPACE, BN_CLICKED, true},  {IDC_EXEPATH, EN_CHANGE, false},
      {IDC_ARG5_SWITCH, EN_CHANGE, false}, {IDC_ARG5_SPACE, BN_SETFOCUS, false},
      {IDC_ARG5_BROWSE, BN_CLICKED, false}, {IDC_NAME_LIST, CBN_DROPDOWN, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << " code " << c.code);
    Select(1);
    Command(c.id, c.code);
    EXPECT_EQ(c.clears ? -1 : 1, Selection());

    Select(0);
    SetLoadingFlag();
    Command(c.id, c.code);
    ClearLoadingFlag();
    EXPECT_EQ(0, Selection());
  }
}

TEST_F(MainDialogTest, ArgumentRowsLeaveEveryCommandToTheDialog) {
  for (int id : {IDC_ARG1_SWITCH, IDC_ARG1_SPACE, IDC_ARG1_FILE, IDC_ARG1_BROWSE, IDC_ARG8_BROWSE, IDC_RUN}) {
    EXPECT_EQ(0, OnArgumentRowCommand(dialog_, MAKEWPARAM(id, BN_CLICKED))) << id;
    EXPECT_EQ(0, OnArgumentRowCommand(dialog_, MAKEWPARAM(id, EN_UPDATE))) << id;
  }
}

TEST_F(MainDialogTest, ChoosingANameAppliesTheSetAndKeepsItSelected) {
  Select(1);
  EXPECT_TRUE(Command(IDC_NAME_LIST, CBN_SELCHANGE));
  EXPECT_EQ(1, Selection());
  EXPECT_EQ("beta.exe", Text(IDC_EXEPATH));
  EXPECT_EQ("設定(&P)[01]", Text(IDC_OPTION));
  EXPECT_STREQ("beta", GetCurrentSetName());
  EXPECT_FALSE(IsLoadingFlagSet());

  // Only a selection change applies a set.
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "typed.exe");
  Select(0);
  EXPECT_TRUE(Command(IDC_NAME_LIST, CBN_CLOSEUP));
  EXPECT_EQ("typed.exe", Text(IDC_EXEPATH));
}

TEST_F(MainDialogTest, OptionTogglesFlipTheFlagAndMarkTheSetModified) {
  ASSERT_EQ(1, GetOptionFlag(IDM_OPT_BATCHOUT));
  Select(0);
  EXPECT_TRUE(Command(IDM_OPT_BATCHOUT));
  EXPECT_EQ(0, GetOptionFlag(IDM_OPT_BATCHOUT));
  EXPECT_EQ("設定(&P)[00]", Text(IDC_OPTION));
  EXPECT_EQ(-1, Selection());
  Select(0);
  EXPECT_TRUE(Command(IDM_OPT_LASTPAUSE));
  EXPECT_EQ(1, GetOptionFlag(IDM_OPT_LASTPAUSE));
  EXPECT_EQ("設定(&P)[01]", Text(IDC_OPTION));
  EXPECT_EQ(-1, Selection());
}

TEST_F(MainDialogTest, NewClearsTheScreen) {
  EXPECT_TRUE(Command(IDC_NEW));
  EXPECT_EQ("", Text(IDC_EXEPATH));
  EXPECT_EQ("設定(&P)[00]", Text(IDC_OPTION));
}

// What the option popup showed, read from inside its menu loop.
struct PopupSeen {
  bool seen = false;
  UINT states[2] = {};
  UINT ids[2] = {};
};
PopupSeen g_popup;

VOID CALLBACK ReadOptionPopup(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = FindWindowA("#32768", nullptr);
  if (popup == nullptr || !IsWindowVisible(popup)) return;
  KillTimer(nullptr, timer);
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
  if (menu != nullptr) {
    g_popup.seen = true;
    for (int i = 0; i < 2; ++i) {
      g_popup.states[i] = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
      g_popup.ids[i] = GetMenuItemID(menu, i);
    }
  }
  EndMenu();
}

TEST_F(MainDialogTest, OptionPopupChecksTheOptionsThatAreOn) {
  for (int batch = 0; batch < 2; ++batch) {
    for (int pause = 0; pause < 2; ++pause) {
      SCOPED_TRACE(testing::Message() << "batch " << batch << " pause " << pause);
      SetOptionFlag(IDM_OPT_BATCHOUT, batch);
      SetOptionFlag(IDM_OPT_LASTPAUSE, pause);
      g_popup = PopupSeen{};
      const UINT_PTR timer = SetTimer(nullptr, 0, 20, ReadOptionPopup);
      // The option button is not a handled command: it returns FALSE.
      EXPECT_FALSE(Command(IDC_OPTION));
      KillTimer(nullptr, timer);
      ASSERT_TRUE(g_popup.seen);
      EXPECT_EQ(static_cast<UINT>(IDM_OPT_BATCHOUT), g_popup.ids[0]);
      EXPECT_EQ(static_cast<UINT>(IDM_OPT_LASTPAUSE), g_popup.ids[1]);
      EXPECT_EQ(batch == 1, (g_popup.states[0] & MF_CHECKED) != 0);
      EXPECT_EQ(pause == 1, (g_popup.states[1] & MF_CHECKED) != 0);
    }
  }
}

TEST_F(MainDialogTest, CloseKeepsTheScreenAsDefaultAndDestructionReleasesTheFile) {
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "closing.exe");
  EXPECT_TRUE(Command(IDCANCEL));
  EXPECT_TRUE(IsParameterFileHeld());
  DestroyWindow(dialog_);
  dialog_ = nullptr;
  EXPECT_FALSE(IsParameterFileHeld());
  EXPECT_EQ(nullptr, FirstStoredSet());
  EXPECT_EQ(
      "[default]\r\nEXEPATH=closing.exe\r\nBATCHOUT=1\r\n"
      "[alpha]\r\nEXEPATH=alpha.exe\r\nARG2SWITCH=/a\r\n"
      "[beta]\r\nEXEPATH=beta.exe\r\nLASTPAUSE=1\r\n",
      ReadWholeFile(path_));
}

}  // namespace

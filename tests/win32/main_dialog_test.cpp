// The main dialog in this process, with MainDialogProc on the real dialog
// resource: set-up, the command dispatch, the name box rule for edits, the
// option popup and destruction.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_dialog_win32.h"
#include "support/main_handle_win32.h"
#include "app/startup.h"
#include "input/argument_rows_win32.h"
#include "params/field_table.h"
#include "params/name_list_win32.h"
#include "params/param_file.h"
#include "params/param_file_win32.h"
#include "resource.h"
#include "support/format_text.h"
#include "modal_main_dialog.h"
#include "msgbox_watch.h"
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

TEST_F(MainDialogTest, SystemMenuStartsWithTheFourAddedCommands) {
  HMENU menu = GetSystemMenu(dialog_, FALSE);
  ASSERT_NE(nullptr, menu);
  struct Item {
    UINT id;
    const char* text;  // nullptr: separator
  };
  const Item expected[] = {
      {IDM_SWITCH_FILE, "パラメータファイル切り替え(&I)..."},
      {IDM_SEND_TO, "「送る」に登録(&S)..."},
      {0, nullptr},
      {IDM_USAGE, "使い方ファイルを表示(&H)"},
      {IDM_ABOUT, "バージョン情報(&A)..."},
      {0, nullptr},
  };
  for (UINT position = 0; position < 6; ++position) {
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
  EXPECT_GT(GetMenuItemCount(menu), 6);
}

TEST_F(MainDialogTest, HandlesOnlyItsOwnCommands) {
  EXPECT_TRUE(Command(IDOK));
  EXPECT_TRUE(IsWindow(dialog_));
  EXPECT_FALSE(Command(IDC_OPTION + 100));
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
      {IDC_NAME_LIST, CBN_DROPDOWN, false},
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

TEST_F(MainDialogTest, ArgumentRowsLeaveEveryCommandButTheirBrowseButtonsToTheDialog) {
  for (int id : {IDC_ARG1_SWITCH, IDC_ARG1_SPACE, IDC_ARG1_FILE, IDC_RUN}) {
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
  RECT frame = {};
};
PopupSeen g_popup;

VOID CALLBACK ReadOptionPopup(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = FindWindowA("#32768", nullptr);
  if (popup == nullptr || !IsWindowVisible(popup)) return;
  KillTimer(nullptr, timer);
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
  if (menu != nullptr) {
    g_popup.seen = true;
    GetWindowRect(popup, &g_popup.frame);
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

TEST_F(MainDialogTest, OptionPopupHangsLeftOfTheCursorBelowIt) {
  ASSERT_TRUE(SetCursorPos(400, 300));
  POINT cursor{};
  ASSERT_TRUE(GetCursorPos(&cursor));
  g_popup = PopupSeen{};
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, ReadOptionPopup);
  Command(IDC_OPTION);
  KillTimer(nullptr, timer);
  ASSERT_TRUE(g_popup.seen);
  EXPECT_EQ(cursor.x, g_popup.frame.right);
  EXPECT_EQ(cursor.y, g_popup.frame.top);
  EXPECT_LT(g_popup.frame.left, cursor.x);
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

// Enter, then Escape, as the dialog manager passes them on, once the modal
// dialog runs.
VOID CALLBACK PressEnterThenEscape(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  PostMessageA(g_mainDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  PostMessageA(g_mainDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

TEST(MainDialogModal, EscapeEndsTheDialogWithResult2AfterKeepingTheScreen) {
  const std::string path = JoinTestPath(MakeTempDir("main_modal"), "modal.tvx");
  EXPECT_EQ(2, RunModalMainDialog(path, "[alpha]\r\nEXEPATH=alpha.exe\r\n", PressEnterThenEscape));
  EXPECT_FALSE(IsParameterFileHeld());
  EXPECT_EQ("[default]\r\n[alpha]\r\nEXEPATH=alpha.exe\r\n", ReadWholeFile(path));
  for (int id : g_optionIds) SetOptionFlag(id, 0);
}

// ---- The dialog resources as stored in the program -------------------------

// One control of a dialog template.
struct TemplateItem {
  std::string className;  // "Button", "Edit", "Static", "ComboBox", ...
  std::string caption;    // in the ANSI code page
  int id = 0;
  int x = 0, y = 0, w = 0, h = 0;
  DWORD style = 0;
};

// A dialog template (DLGTEMPLATEEX) read from the program's resources.
struct DialogTemplate {
  bool read = false;
  DWORD style = 0;
  int x = 0, y = 0, w = 0, h = 0;
  std::string caption;
  int pointSize = 0;
  std::string typeface;
  std::vector<TemplateItem> items;
};

class TemplateReader {
 public:
  TemplateReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  std::uint16_t Word() {
    if (at_ + 2 > size_) return Fail();
    const std::uint16_t value = static_cast<std::uint16_t>(data_[at_] | (data_[at_ + 1] << 8));
    at_ += 2;
    return value;
  }
  std::uint32_t Dword() {
    const std::uint32_t low = Word();
    return low | (static_cast<std::uint32_t>(Word()) << 16);
  }
  int Short() { return static_cast<std::int16_t>(Word()); }
  std::string WideText() {
    std::wstring wide;
    for (std::uint16_t c = Word(); ok_ && c != 0; c = Word()) wide.push_back(static_cast<wchar_t>(c));
    char text[512] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
    return text;
  }
  // A name or an ordinal: ordinals of the predefined classes become their names.
  std::string NameOrOrdinal() {
    if (at_ + 2 <= size_ && data_[at_] == 0xFF && data_[at_ + 1] == 0xFF) {
      Word();
      const std::uint16_t ordinal = Word();
      switch (ordinal) {
        case 0x80: return "Button";
        case 0x81: return "Edit";
        case 0x82: return "Static";
        case 0x83: return "ListBox";
        case 0x84: return "ScrollBar";
        case 0x85: return "ComboBox";
        default: return "#" + std::to_string(ordinal);
      }
    }
    return WideText();
  }
  void AlignToDword() { at_ = (at_ + 3) & ~static_cast<std::size_t>(3); }
  void Skip(std::size_t bytes) { at_ += bytes; }

 private:
  std::uint16_t Fail() {
    ok_ = false;
    return 0;
  }
  const unsigned char* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

DialogTemplate ReadDialogTemplate(int id) {
  DialogTemplate dialog;
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
  if (found == nullptr) return dialog;
  const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
  if (data == nullptr) return dialog;
  TemplateReader in(data, SizeofResource(module, found));
  if (in.Word() != 1 || in.Word() != 0xFFFF) return dialog;  // DLGTEMPLATEEX only
  in.Dword();                                                 // help id
  in.Dword();                                                 // extended style
  dialog.style = in.Dword();
  const int count = in.Word();
  dialog.x = in.Short();
  dialog.y = in.Short();
  dialog.w = in.Short();
  dialog.h = in.Short();
  in.NameOrOrdinal();  // menu
  in.NameOrOrdinal();  // class
  dialog.caption = in.WideText();
  if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
    dialog.pointSize = in.Word();
    in.Word();  // weight
    in.Word();  // italic, character set
    dialog.typeface = in.WideText();
  }
  for (int i = 0; i < count && in.ok(); ++i) {
    in.AlignToDword();
    TemplateItem item;
    in.Dword();  // help id
    in.Dword();  // extended style
    item.style = in.Dword();
    item.x = in.Short();
    item.y = in.Short();
    item.w = in.Short();
    item.h = in.Short();
    item.id = static_cast<int>(in.Dword());
    item.className = in.NameOrOrdinal();
    item.caption = in.NameOrOrdinal();
    in.Skip(in.Word());  // creation data
    dialog.items.push_back(item);
  }
  dialog.read = in.ok();
  return dialog;
}

enum ItemKind { kLabel, kEdit, kButton, kDefaultButton, kToggle, kNameCombo };

struct ExpectedItem {
  ItemKind kind;
  int id;  // 0 for labels: their id is not looked at
  std::string caption;
  int x, y, w, h;
};

bool SameClass(const std::string& a, const char* b) { return lstrcmpiA(a.c_str(), b) == 0; }

// Compares the controls in order (the template order is the tab order).
void ExpectItems(const DialogTemplate& dialog, const std::vector<ExpectedItem>& expected) {
  ASSERT_EQ(expected.size(), dialog.items.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ExpectedItem& want = expected[i];
    const TemplateItem& item = dialog.items[i];
    SCOPED_TRACE(testing::Message() << "control " << i << " (id " << want.id << ", \"" << want.caption << "\")");
    if (want.kind != kLabel) {
      EXPECT_EQ(want.id, item.id);
    }
    EXPECT_EQ(want.caption, item.caption);
    EXPECT_EQ(want.x, item.x);
    EXPECT_EQ(want.y, item.y);
    EXPECT_EQ(want.w, item.w);
    EXPECT_EQ(want.h, item.h);
    EXPECT_TRUE(item.style & WS_VISIBLE);
    EXPECT_FALSE(item.style & WS_DISABLED);
    const DWORD type = item.style & 0x0F;
    switch (want.kind) {
      case kLabel:
        EXPECT_TRUE(SameClass(item.className, "Static")) << item.className;
        EXPECT_EQ(static_cast<DWORD>(SS_LEFT), item.style & SS_TYPEMASK);
        EXPECT_FALSE(item.style & WS_TABSTOP);
        break;
      case kEdit:
        EXPECT_TRUE(SameClass(item.className, "Edit")) << item.className;
        EXPECT_TRUE(item.style & ES_AUTOHSCROLL);
        EXPECT_FALSE(item.style & ES_MULTILINE);
        EXPECT_TRUE(item.style & WS_BORDER);
        EXPECT_TRUE(item.style & WS_TABSTOP);
        break;
      case kButton:
      case kDefaultButton:
        EXPECT_TRUE(SameClass(item.className, "Button")) << item.className;
        EXPECT_EQ(static_cast<DWORD>(want.kind == kButton ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON), type);
        EXPECT_TRUE(item.style & WS_TABSTOP);
        break;
      case kToggle:
        EXPECT_TRUE(SameClass(item.className, "Button")) << item.className;
        EXPECT_EQ(static_cast<DWORD>(BS_AUTOCHECKBOX), type);
        EXPECT_TRUE(item.style & BS_PUSHLIKE);
        EXPECT_TRUE(item.style & WS_TABSTOP);
        break;
      case kNameCombo:
        EXPECT_TRUE(SameClass(item.className, "ComboBox")) << item.className;
        EXPECT_EQ(static_cast<DWORD>(CBS_DROPDOWNLIST), item.style & 0x03);
        EXPECT_FALSE(item.style & CBS_SORT);
        EXPECT_TRUE(item.style & WS_VSCROLL);
        EXPECT_TRUE(item.style & WS_TABSTOP);
        break;
    }
  }
}

TEST(DialogResources, MainDialogHasItsLayoutAndTabOrder) {
  const DialogTemplate dialog = ReadDialogTemplate(IDD_MAIN);
  ASSERT_TRUE(dialog.read);
  EXPECT_EQ("TAVIX", dialog.caption);
  EXPECT_EQ(9, dialog.pointSize);
  EXPECT_EQ("ＭＳ Ｐゴシック", dialog.typeface);
  EXPECT_TRUE(dialog.style & DS_MODALFRAME);
  EXPECT_EQ(static_cast<DWORD>(WS_CAPTION), dialog.style & WS_CAPTION);
  EXPECT_TRUE(dialog.style & WS_SYSMENU);
  EXPECT_TRUE(dialog.style & WS_MINIMIZEBOX);
  EXPECT_FALSE(dialog.style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(dialog.style & WS_THICKFRAME);
  EXPECT_FALSE(dialog.style & WS_POPUP);
  EXPECT_FALSE(dialog.style & WS_CHILD);

  std::vector<ExpectedItem> expected = {
      {kLabel, 0, "名前(&N)", 2, 6, 24, 8},
      {kNameCombo, 1000, "", 59, 3, 152, 101},
      {kButton, 3, "登録(&R)...", 212, 3, 32, 14},
      {kButton, 4, "削除", 244, 3, 22, 14},
      {kButton, 5, "新規", 266, 3, 22, 14},
      {kButton, 1046, "設定(&P)[_1_1_1_1]", 304, 3, 58, 14},
      {kLabel, 0, "ｶﾚﾝﾄﾃﾞｨﾚｸﾄﾘ(&C)", 2, 22, 48, 8},
      {kEdit, 1038, "", 59, 20, 291, 12},
      {kButton, 1039, "...", 350, 20, 12, 12},
      {kLabel, 0, "実行ﾌｧｲﾙ(&E)", 2, 38, 39, 8},
      {kEdit, 1036, "", 59, 36, 291, 12},
      {kButton, 1037, "...", 350, 36, 12, 12},
      {kLabel, 0, "引数", 2, 52, 17, 8},
      {kLabel, 0, "ｽｲｯﾁ", 22, 52, 17, 8},
      {kLabel, 0, "ｽﾍﾟｰｽ", 45, 52, 20, 8},
      {kLabel, 0, "ﾌｧｲﾙ", 69, 52, 17, 8},
  };
  const int rowIds[8][4] = {
      {1010, 1011, 1002, 1028}, {1012, 1019, 1003, 1029}, {1013, 1020, 1004, 1030},
      {1014, 1021, 1005, 1031}, {1015, 1022, 1006, 1032}, {1016, 1023, 1007, 1033},
      {1017, 1024, 1008, 1034}, {1018, 1025, 1009, 1035},
  };
  for (int k = 0; k < 8; ++k) {
    const int* ids = rowIds[k];
    expected.push_back({kLabel, 0, "&" + std::to_string(k + 1), 2, 66 + 16 * k, 8, 8});
    expected.push_back({kEdit, ids[0], "", 10, 64 + 16 * k, 40, 12});
    expected.push_back({kToggle, ids[1], " ", 51, 66 + 16 * k, 8, 8});
    expected.push_back({kEdit, ids[2], "", 59, 64 + 16 * k, 291, 12});
    expected.push_back({kButton, ids[3], "...", 350, 64 + 16 * k, 12, 12});
  }
  const std::vector<ExpectedItem> bottom = {
      {kLabel, 0, "ヘルプ(&H)", 3, 195, 30, 8},
      {kEdit, 1040, "", 34, 193, 200, 12},
      {kButton, 1041, "...", 235, 193, 14, 12},
      {kButton, 1042, "開く", 249, 191, 20, 14},
      {kButton, 1045, "確認(&O)", 272, 191, 28, 14},
      {kButton, 1047, "保存(&A)...", 300, 191, 32, 14},
      {kButton, 1043, "実行(&X)", 334, 191, 28, 14},
  };
  expected.insert(expected.end(), bottom.begin(), bottom.end());
  ExpectItems(dialog, expected);
}

TEST(DialogResources, RegisterDialogHasItsLayout) {
  const DialogTemplate dialog = ReadDialogTemplate(IDD_REGISTER);
  ASSERT_TRUE(dialog.read);
  EXPECT_EQ("パラメータの登録", dialog.caption);
  EXPECT_EQ(218, dialog.w);
  EXPECT_EQ(45, dialog.h);
  EXPECT_EQ(9, dialog.pointSize);
  EXPECT_EQ("ＭＳ Ｐゴシック", dialog.typeface);
  EXPECT_TRUE(dialog.style & DS_MODALFRAME);
  EXPECT_TRUE(dialog.style & WS_POPUP);
  EXPECT_EQ(static_cast<DWORD>(WS_CAPTION), dialog.style & WS_CAPTION);
  EXPECT_TRUE(dialog.style & WS_SYSMENU);
  ExpectItems(dialog, {
                          {kEdit, 1002, "", 7, 7, 204, 12},
                          {kDefaultButton, IDOK, "OK", 107, 24, 50, 14},
                          {kButton, IDCANCEL, "ｷｬﾝｾﾙ", 161, 24, 50, 14},
                      });
}

TEST(DialogResources, OptionMenuListsBothOptionsUnchecked) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_OPTION));
  ASSERT_NE(nullptr, menu);
  ASSERT_EQ(1, GetMenuItemCount(menu));
  char title[64] = {};
  GetMenuStringA(menu, 0, title, sizeof title, MF_BYPOSITION);
  EXPECT_STREQ("OPTION", title);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(nullptr, popup);
  ASSERT_EQ(2, GetMenuItemCount(popup));
  const struct {
    UINT id;
    const char* text;
  } items[] = {{40013, "バッチファイル実行"}, {40014, "最後にPAUSE命令出力"}};
  for (UINT i = 0; i < 2; ++i) {
    char text[64] = {};
    GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(items[i].text, text);
    EXPECT_EQ(items[i].id, GetMenuItemID(popup, static_cast<int>(i)));
    EXPECT_EQ(0u, GetMenuState(popup, i, MF_BYPOSITION) & MF_CHECKED);
  }
  DestroyMenu(menu);
}

TEST(DialogResources, IconThreeHasBothSizes) {
  for (int size : {16, 32}) {
    HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TAVIX), IMAGE_ICON, size, size, 0);
    ASSERT_NE(nullptr, icon) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info));
    BITMAP bitmap{};
    GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(size, bitmap.bmWidth);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    DestroyIcon(static_cast<HICON>(icon));
  }
}

}  // namespace

// 「送る」に登録: explains itself without a chosen set; makes a shortcut that
// starts this program on the set, read back through the shell's interface;
// asks before replacing it.
TEST_F(MainDialogTest, SendToMakesAShortcutThatStartsTheChosenSet) {
  const auto sendTo = [&] { MainDialogProc(dialog_, WM_SYSCOMMAND, IDM_SEND_TO, 0); };
  Select(-1);
  std::vector<SeenBox> boxes = WatchBoxesDuring("タビクス：「送る」に登録", sendTo);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ(0u, boxes[0].text.find("「送る」に登録するには、先に名前ボックスで"));

  char folder[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, folder, CSIDL_SENDTO, TRUE));
  const std::string link = std::string(folder) + "\\beta.lnk";
  DeleteFileA(link.c_str());
  Select(1);
  boxes = WatchBoxesDuring("タビクス：「送る」に登録", sendTo);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_NE(std::string::npos, boxes[0].text.find(link)) << boxes[0].text;

  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  IShellLinkA* shellLink = nullptr;
  IPersistFile* file = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&shellLink))));
  ASSERT_TRUE(SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
  wchar_t wideLink[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wideLink, MAX_PATH);
  ASSERT_TRUE(SUCCEEDED(file->Load(wideLink, STGM_READ)));
  char target[MAX_PATH] = {};
  char arguments[1024] = {};
  char workFolder[MAX_PATH] = {};
  char icon[MAX_PATH] = {};
  int iconIndex = -1;
  shellLink->GetPath(target, MAX_PATH, nullptr, 0);
  shellLink->GetArguments(arguments, sizeof arguments);
  shellLink->GetWorkingDirectory(workFolder, MAX_PATH);
  shellLink->GetIconLocation(icon, MAX_PATH, &iconIndex);
  file->Release();
  shellLink->Release();
  CoUninitialize();
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  EXPECT_EQ(0, lstrcmpiA(exe, target)) << target;
  // The test's parameter file is not the default one: it comes first.
  EXPECT_EQ("\"" + path_ + "\" /set \"beta\"", std::string(arguments));
  std::string exeFolder(exe);
  exeFolder.resize(exeFolder.rfind('\\'));
  EXPECT_EQ(0, lstrcmpiA(exeFolder.c_str(), workFolder)) << workFolder;
  EXPECT_EQ(0, lstrcmpiA(exe, icon)) << icon;
  EXPECT_EQ(0, iconIndex);

  // A second time it asks; an answer other than Yes keeps the file as it is.
  ASSERT_TRUE(WriteWholeFile(link, "kept"));
  boxes = WatchBoxesDuring("タビクス：「送る」に登録", sendTo);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ(0u, boxes[0].text.find("「送る」には既に")) << boxes[0].text;
  EXPECT_EQ("kept", ReadWholeFile(link));
  EXPECT_TRUE(DeleteFileA(link.c_str()));
}

// Files dropped on the modal main dialog as the shell hands them over: a
// DROPFILES block in global memory, posted as WM_DROPFILES to the control
// under the mouse, seen by the dialog's message-filter hooks.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "input/control_groups.h"
#include "modal_main_dialog.h"

namespace {

struct DropCase {
  int id;
  std::vector<std::string> paths;
  std::string expected;  // the control's text afterwards
};

const std::vector<DropCase>& DropCases() {
  static const std::vector<DropCase> cases = {
      {IDC_ARG2_FILE, {"C:\\data\\first.txt", "C:\\data\\second.txt", "C:\\data\\third.txt"}, "C:\\data\\first.txt"},
      {IDC_EXEPATH, {"C:\\tools"}, "C:\\tools"},                          // a folder
      {IDC_HELPPATH, {"C:\\My Docs\\help.txt"}, "C:\\My Docs\\help.txt"},  // bare, unlike the picker
      {IDC_CURPATH, {"D:\\作業\\表"}, "D:\\作業\\表"},
      {IDC_ARG1_SWITCH, {"C:\\refused.txt"}, ""},  // not a path field
  };
  return cases;
}

HGLOBAL MakeDrop(const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& path : paths) list += path + '\0';
  list += '\0';
  HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
  auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
  files->pFiles = sizeof(DROPFILES);
  std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), list.data(), list.size());
  GlobalUnlock(drop);
  return drop;
}

std::vector<std::string> g_texts;      // each control's text after its drop
std::vector<int> g_acceptingControls;  // controls that take dropped files
std::size_t g_step = 0;

// One drop per tick, once the modal dialog runs; a posted drop is handled
// before the next tick. Closes the dialog after the last.
VOID CALLBACK DropNext(HWND, UINT, UINT_PTR timer, DWORD) {
  const std::vector<DropCase>& cases = DropCases();
  for (int i = 0; g_step == 0 && i < kControlGroupCount * kGroupCapacity; ++i) {
    const int id = kControlGroups[i / kGroupCapacity].ids[i % kGroupCapacity];
    if (GetWindowLongA(GetDlgItem(g_mainDialog, id), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) g_acceptingControls.push_back(id);
  }
  char text[300] = {};
  if (g_step > 0) GetDlgItemTextA(g_mainDialog, cases[g_step - 1].id, text, sizeof text);
  if (g_step > 0) g_texts.push_back(text);
  if (g_step == cases.size()) {
    KillTimer(nullptr, timer);
    PostMessageA(g_mainDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return;
  }
  const DropCase& next = cases[g_step++];
  PostMessageA(GetDlgItem(g_mainDialog, next.id), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(next.paths)), 0);
}

TEST(InputFilter, ADropOnAPathFieldPutsTheFirstPathThere) {
  ASSERT_EQ(2, RunModalMainDialog(JoinTestPath(MakeTempDir("input_filter"), "drop.tvx"), "", DropNext));

  EXPECT_EQ((std::vector<int>{IDC_CURPATH, IDC_EXEPATH, IDC_ARG1_FILE, IDC_ARG2_FILE, IDC_ARG3_FILE, IDC_ARG4_FILE,
                              IDC_ARG5_FILE, IDC_ARG6_FILE, IDC_ARG7_FILE, IDC_ARG8_FILE, IDC_HELPPATH}),
            g_acceptingControls);
  ASSERT_EQ(DropCases().size(), g_texts.size());
  for (std::size_t i = 0; i < g_texts.size(); ++i) EXPECT_EQ(DropCases()[i].expected, g_texts[i]) << i;
}

}  // namespace

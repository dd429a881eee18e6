// Every caption of the program's dialogs fits its control as drawn now: with
// the visual style the manifest asks for when one is active (the Wine
// prefixes of the tests have one), else in the classic look.
#include <windows.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include <gtest/gtest.h>

#include <string>

#include "params/field_table.h"
#include "resource.h"

namespace {

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string ClassOf(HWND window) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// Width the text of `control` needs in its own font; "&" marks no width.
int TextWidth(HWND control, const std::string& text) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return r.right - r.left;
}

// Width a control has for its text: a label all of it; a button what its
// visual style leaves inside the frame, or inside the classic 3-D edges and
// the focus rectangle.
int RoomFor(HWND control, bool button) {
  RECT client{};
  GetClientRect(control, &client);
  if (!button) return client.right;
  HTHEME theme = GetWindowTheme(control);
  if (theme == nullptr) return client.right - 2 * (GetSystemMetrics(SM_CXEDGE) + 1);
  HDC dc = GetDC(control);
  RECT content{};
  GetThemeBackgroundContentRect(theme, dc, BP_PUSHBUTTON, PBS_NORMAL, &client, &content);
  ReleaseDC(control, dc);
  return content.right - content.left;
}

BOOL CALLBACK CheckChild(HWND control, LPARAM data) {
  const std::string kind = ClassOf(control);
  const bool button = lstrcmpiA(kind.c_str(), "Button") == 0;
  if (!button && lstrcmpiA(kind.c_str(), "Static") != 0) return TRUE;
  char text[128] = {};
  GetWindowTextA(control, text, sizeof text);
  if (GetDlgCtrlID(control) == IDC_OPTION) BuildOptionButtonCaption(text, sizeof text);  // as shown
  if (text[0] == '\0') return TRUE;
  EXPECT_LE(TextWidth(control, text), RoomFor(control, button))
      << "\"" << text << "\" is cut" << (GetWindowTheme(control) ? " (visual style)" : "");
  ++*reinterpret_cast<int*>(data);
  return TRUE;
}

TEST(Captions, FitTheirControls) {
  for (int id : {IDD_MAIN, IDD_REGISTER, IDD_RUNLIST, IDD_ABOUT, IDD_OUTPUT}) {
    SCOPED_TRACE(id);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                     NoDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    int checked = 0;
    EnumChildWindows(dialog, CheckChild, reinterpret_cast<LPARAM>(&checked));
    EXPECT_GT(checked, 0);
    DestroyWindow(dialog);
  }
}

}  // namespace

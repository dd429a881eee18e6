#include "run/run_list_rows_win32.h"

#include "resource.h"
#include "run/entry_text.h"
#include "run/output_window_win32.h"

namespace {

// How a failed row is drawn: white on red.
constexpr COLORREF kFailedText = RGB(255, 255, 255);
constexpr COLORREF kFailedBackground = RGB(200, 0, 0);

// Tab stops of the rows (exit code, seconds, arguments), in dialog units.
constexpr int kRowTabStops[2] = {36, 72};

// The background of rows whose commands carry a target mark.
constexpr COLORREF kMarkedRowColour = RGB(255, 255, 128);

// Widens the list's scrolling range to a row as wide as `text`.
void MeasureRow(RunListWindow* w, HDC dc, const char* text) {
  const DWORD size = GetTabbedTextExtentA(dc, text, lstrlenA(text), 2, w->tabs);
  if (static_cast<int>(LOWORD(size)) <= w->extent) return;
  w->extent = LOWORD(size);
  SendMessageA(w->list, LB_SETHORIZONTALEXTENT, w->extent + 8, 0);
}

// A device context with the rows' widest font, for MeasureRow.
HDC ListDc(RunListWindow* w, HGDIOBJ* previous) {
  HDC dc = GetDC(w->list);
  HGDIOBJ font = w->bold != nullptr ? w->bold : reinterpret_cast<HGDIOBJ>(SendMessageA(w->list, WM_GETFONT, 0, 0));
  *previous = SelectObject(dc, font);
  return dc;
}

void ReleaseListDc(RunListWindow* w, HDC dc, HGDIOBJ previous) {
  SelectObject(dc, previous);
  ReleaseDC(w->list, dc);
}

}  // namespace

int CaretRow(const RunListWindow* w) {
  return static_cast<int>(SendMessageA(w->list, LB_GETCARETINDEX, 0, 0));
}

void PrepareRows(RunListWindow* w) {
  SendMessageA(w->list, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(kRowTabStops));
  RECT stops = {kRowTabStops[0], 0, kRowTabStops[1], 0};
  MapDialogRect(w->dialog, &stops);
  w->tabs[0] = stops.left;
  w->tabs[1] = stops.right;
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(w->list, WM_GETFONT, 0, 0));
  LOGFONTA look{};
  if (font != nullptr && GetObjectA(font, sizeof look, &look) == sizeof look) {
    look.lfWeight = FW_BOLD;
    w->bold = CreateFontIndirectA(&look);
  }
  HDC dc = GetDC(w->list);
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(w->list, dc);
  SendMessageA(w->list, LB_SETITEMHEIGHT, 0, metrics.tmHeight + 1);
}

void FillRows(RunListWindow* w) {
  const int count = RowCount(w->run);
  w->notedRows.size = 0;  // every row is shown afresh
  SendMessageA(w->list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(w->list, LB_RESETCONTENT, 0, 0);
  SendMessageA(w->list, LB_INITSTORAGE, count, count * 64);
  w->extent = 0;
  HGDIOBJ font;
  HDC dc = ListDc(w, &font);
  char text[kRowTextCapacity];
  for (int row = 0; row < count; ++row) {
    FormatRowText(w->run, row, text, sizeof text);
    SendMessageA(w->list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    MeasureRow(w, dc, text);
  }
  ReleaseListDc(w, dc, font);
  SendMessageA(w->list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(w->list, nullptr, TRUE);
}

namespace {

// The rows given, in one update of the list box.
void ShowRows(RunListWindow* w, const int* rows, int count) {
  if (count == 0) return;
  // The caret stays where the user put it, and the view where it was.
  const int caret = CaretRow(w);
  const LRESULT top = SendMessageA(w->list, LB_GETTOPINDEX, 0, 0);
  SendMessageA(w->list, WM_SETREDRAW, FALSE, 0);
  HGDIOBJ font;
  HDC dc = ListDc(w, &font);
  char text[kRowTextCapacity];
  char shown[kRowTextCapacity];
  for (int i = 0; i < count; ++i) {
    const int row = rows[i];
    if (row < 0 || row >= RowCount(w->run)) continue;
    FormatRowText(w->run, row, text, sizeof text);
    // A row that started keeps its text: only its mark changes.
    const int same = SendMessageA(w->list, LB_GETTEXTLEN, row, 0) < static_cast<LRESULT>(sizeof shown) &&
                     SendMessageA(w->list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(shown)) >= 0 &&
                     lstrcmpA(text, shown) == 0;
    if (!same) {
      SendMessageA(w->list, LB_DELETESTRING, row, 0);
      SendMessageA(w->list, LB_INSERTSTRING, row, reinterpret_cast<LPARAM>(text));
      MeasureRow(w, dc, text);
    }
    SendMessageA(w->list, LB_SETSEL, RowMarked(w->run, row), row);
  }
  ReleaseListDc(w, dc, font);
  if (caret >= 0 && CaretRow(w) != caret) SendMessageA(w->list, LB_SETCARETINDEX, caret, FALSE);
  if (SendMessageA(w->list, LB_GETTOPINDEX, 0, 0) != top) SendMessageA(w->list, LB_SETTOPINDEX, top, 0);
  SendMessageA(w->list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(w->list, nullptr, TRUE);
}

}  // namespace

int NoteRow(RunListWindow* w, int row) {
  const int* noted = Records<int>(w->notedRows);
  for (std::size_t i = RecordCount<int>(w->notedRows); i-- > 0;) {
    if (noted[i] == row) return 1;
  }
  if (AppendBytes(&w->notedRows, &row, sizeof row)) return 1;
  // No room to note it: the rows noted so far and this one are shown now.
  ShowNotedRows(w);
  FreeByteBuffer(&w->notedRows);
  ShowRows(w, &row, 1);
  return 0;
}

void ShowNotedRows(RunListWindow* w) {
  ShowRows(w, Records<int>(w->notedRows), static_cast<int>(RecordCount<int>(w->notedRows)));
  w->notedRows.size = 0;
}

// One row as its look says: failed white on red, started (selected) in the
// highlight colours, running bold, a command with a target mark in yellow
// until it starts. The caret row, where 停止 acts, is framed whether or not
// the list has the focus.
BOOL DrawRow(RunListWindow* w, const DRAWITEMSTRUCT* item) {
  if (item->CtlID != IDC_RUNLIST_LIST) return FALSE;
  if (item->itemID == static_cast<UINT>(-1)) {
    if (item->itemState & ODS_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
    return TRUE;
  }
  char text[kRowTextCapacity] = {};
  if (SendMessageA(w->list, LB_GETTEXTLEN, item->itemID, 0) < static_cast<LRESULT>(sizeof text)) {
    SendMessageA(w->list, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
  }
  const RunRowLook look = RowLookOf(w->run, static_cast<int>(item->itemID));
  const int selected = (item->itemState & ODS_SELECTED) != 0;
  const COLORREF back = look.failed ? kFailedBackground
                       : selected  ? GetSysColor(COLOR_HIGHLIGHT)
                       : look.marked ? kMarkedRowColour
                                     : GetSysColor(COLOR_WINDOW);
  const COLORREF fore = look.failed ? kFailedText : GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  HBRUSH brush = CreateSolidBrush(back);
  FillRect(item->hDC, &item->rcItem, brush);
  DeleteObject(brush);
  HGDIOBJ previous = nullptr;
  if (look.running && w->bold != nullptr) previous = SelectObject(item->hDC, w->bold);
  SetBkMode(item->hDC, TRANSPARENT);
  SetTextColor(item->hDC, fore);
  const int left = item->rcItem.left + 2;
  TabbedTextOutA(item->hDC, left, item->rcItem.top, text, lstrlenA(text), 2, w->tabs, left);
  if (previous != nullptr) SelectObject(item->hDC, previous);
  if (static_cast<int>(item->itemID) == CaretRow(w)) {
    HBRUSH frame = CreateSolidBrush(fore);
    FrameRect(item->hDC, &item->rcItem, frame);
    DeleteObject(frame);
  }
  return TRUE;
}

void ShowRowOutput(RunListWindow* w, int row, int activate) {
  if (row < 0 || row >= RowCount(w->run)) return;
  char title[kOutputTitleCapacity];
  FormatOutputTitle(w->run, row, title, sizeof title);
  ShowOutput(w->dialog, w->run.outputs, row, RowEntry(w->run, row), title, activate);
}

void FreeRows(RunListWindow* w) {
  if (w->bold != nullptr) DeleteObject(w->bold);
  w->bold = nullptr;
  FreeByteBuffer(&w->notedRows);
}

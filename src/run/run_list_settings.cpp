#include "run/run_list_settings.h"

#include <cstring>

#include "support/format_text.h"

void ListPriorityItems(const char* stored, int newerSystem, PriorityItems* items) {
  items->text[0] = kNoPriorityItem;
  items->count = 1;
  items->selected = 0;
  for (const PriorityRow& row : kPriorityTable) {
    if (row.needsNewerSystem && !newerSystem) continue;
    if (std::strcmp(row.label, stored) == 0) items->selected = items->count;
    items->text[items->count++] = row.label;
  }
}

int ParallelItemForSetting(const char* stored) {
  if (stored[0] >= '1' && stored[0] <= '0' + kMaxParallel && stored[1] == '\0') {
    return stored[0] - '1';
  }
  return 0;
}

int OutputItemForSetting(const char* stored) {
  for (int i = 0; i < static_cast<int>(sizeof kOutputItems / sizeof kOutputItems[0]); ++i) {
    if (std::strcmp(stored, kOutputItems[i]) == 0) return i;
  }
  return kOutputConsole;
}

int HaltForSetting(const char* stored) { return std::strcmp(stored, "1") == 0; }

int SettingNeedsStoring(const char* stored, int chosenIsDefault) {
  return stored[0] != '\0' || !chosenIsDefault;
}

namespace {

// A stored size: its number when it is all digits and positive, else 0.
int StoredPixels(const char* text) {
  int pixels = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9' || pixels > 100000) return 0;
    pixels = pixels * 10 + (*p - '0');
  }
  return pixels;
}

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

// The start of a span `size` long at `at`, moved back into [low, high) as far as it fits.
int Fit(int at, int size, int low, int high) {
  if (at + size > high) at = high - size;
  return at < low ? low : at;
}

void Put(SettingWrites* out, int key, const char* text) {
  out->write[key] = 1;
  FormatText(out->text[key], sizeof out->text[key], "%s", text);
}

}  // namespace

ListPlace OpeningListPlace(const RunListSettings& settings, ListSize minimum, int listWidth,
                           int widestRow, const ListPlace& corner, const ListPlace& workArea) {
  int width = StoredPixels(settings.stored[kKeyWidth]);
  int height = StoredPixels(settings.stored[kKeyHeight]);
  if (width == 0 || height == 0) {
    width = minimum.width + (widestRow > listWidth ? widestRow - listWidth : 0);
    height = minimum.height;
  }
  const int widest = workArea.width > minimum.width ? workArea.width : minimum.width;
  const int tallest = workArea.height > minimum.height ? workArea.height : minimum.height;
  width = Clamp(width, minimum.width, widest);
  height = Clamp(height, minimum.height, tallest);
  return ListPlace{Fit(corner.x, width, workArea.x, workArea.x + workArea.width),
                   Fit(corner.y, height, workArea.y, workArea.y + workArea.height), width, height};
}

void ComposeSettingWrites(const RunListSettings& settings, const RunListChoices* used,
                          ListSize now, int resized, SettingWrites* out) {
  *out = SettingWrites{};
  if (used != nullptr) {
    Put(out, kKeyPriority, used->priority >= 0 ? kPriorityTable[static_cast<std::size_t>(used->priority)].label : "");
    char parallel[kRunListSettingSize];
    FormatText(parallel, sizeof parallel, "%d", used->parallel);
    if (SettingNeedsStoring(settings.stored[kKeyParallel], used->parallel == 1)) Put(out, kKeyParallel, parallel);
    if (SettingNeedsStoring(settings.stored[kKeyOutput], used->output == kOutputConsole)) {
      Put(out, kKeyOutput, kOutputItems[used->output == kOutputTaken ? kOutputTaken : kOutputConsole]);
    }
    if (SettingNeedsStoring(settings.stored[kKeyHalt], !used->halt)) Put(out, kKeyHalt, used->halt ? "1" : "0");
  }
  if (SettingNeedsStoring(settings.stored[kKeyWidth], !resized)) {
    char pixels[kRunListSettingSize];
    FormatText(pixels, sizeof pixels, "%d", now.width);
    Put(out, kKeyWidth, pixels);
    FormatText(pixels, sizeof pixels, "%d", now.height);
    Put(out, kKeyHeight, pixels);
  }
}

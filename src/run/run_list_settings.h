// The run list's settings: the choices it offers (process priority, how
// many commands at once, where their output goes, 失敗で中止) and the size
// it was last closed with, as tavix.ini keeps them in the section of the
// parameter file in use. Every key the list reads and writes is in
// kRunListKeys: the window reads them all when it opens
// (run/run_list_settings_win32.h) and writes what ComposeSettingWrites
// gives when it closes.
#pragma once

#include <cstddef>

#include "run/launch.h"
#include "settings/settings.h"

// First item of the priority combo box: no priority class.
inline constexpr char kNoPriorityItem[] = "(ﾌﾟﾛｾｽ優先度)";

// How many commands may run at once: the items "1" to "8" of the parallel
// combo box, stored as that text.
inline constexpr int kMaxParallel = 8;

// The items of the output combo box, stored as their text: each command in
// a console window of its own, or its output taken in.
inline constexpr const char* kOutputItems[] = {"コンソール", "取り込む"};
enum OutputMode { kOutputConsole = 0, kOutputTaken = 1 };

// The keys of the run list, in the order they are written.
enum RunListKey {
  kKeyPriority = 0,
  kKeyParallel,
  kKeyOutput,
  kKeyHalt,
  kKeyWidth,   // the list's outer width in pixels, once the user sized it
  kKeyHeight,  // and its height
  kRunListKeyCount
};
inline constexpr const char* kRunListKeys[kRunListKeyCount] = {
    kProcessPriorityKey, kParallelKey, kOutputKey, kStopOnFailureKey, kRunListWidthKey, kRunListHeightKey};

// Room for one stored value (at most 15 characters are read).
inline constexpr std::size_t kRunListSettingSize = 16;

// The settings as the file held them when the list opened ("" for a key it
// lacked), and the section they came from and go back to.
struct RunListSettings {
  char section[kSettingsSectionSize];
  char stored[kRunListKeyCount][kRunListSettingSize];
};

// What the user chose, as the scheduler uses it.
struct RunListChoices {
  int priority;  // row of kPriorityTable, -1 for kNoPriorityItem
  int parallel;  // 1 to kMaxParallel
  int output;    // OutputMode
  int halt;      // 1 while 失敗で中止 is on
};

// The items of the priority combo box: kNoPriorityItem first, then the
// labels of the priority table, without the rows that need the newer system
// on an older one. `selected` is the item whose label equals `stored`
// (kNoPriorityItem, item 0, when none does).
struct PriorityItems {
  const char* text[kPriorityTable.size() + 1];
  int count;
  int selected;
};
void ListPriorityItems(const char* stored, int newerSystem, PriorityItems* items);

// The item of the parallel combo box (0 for "1") that a stored text
// chooses: "1" to "8" exactly; anything else chooses "1".
int ParallelItemForSetting(const char* stored);

// The item of the output combo box that a stored text chooses: the item of
// that text exactly; anything else chooses kOutputConsole.
int OutputItemForSetting(const char* stored);

// 失敗で中止 as a stored text chooses it: on for "1" only.
int HaltForSetting(const char* stored);

// 1 when a choice is to be written over the `stored` text: a file that never
// held the key keeps lacking it while the default stays chosen.
int SettingNeedsStoring(const char* stored, int chosenIsDefault);

// Sizes and places in pixels.
struct ListSize {
  int width, height;
};
struct ListPlace {
  int x, y, width, height;
};

// Where a list opens: at `corner` (the owner's top-left corner), with the
// size it was last closed with when one is stored; otherwise with the
// template's size `minimum`, widened so that its list box, `listWidth`
// wide inside, shows its widest row (`widestRow` pixels) whole. Never
// smaller than `minimum`, never larger than the work area, and moved left
// and up as far as needed to lie within it.
ListPlace OpeningListPlace(const RunListSettings& settings, ListSize minimum, int listWidth,
                           int widestRow, const ListPlace& corner, const ListPlace& workArea);

// What the list writes when it closes, key by key: `write` 1 with the value
// in `text`. With `used` (the choices of the last start; null when nothing
// was started) the priority always, the other three choices where
// SettingNeedsStoring says so; the size `now` once the user has changed
// the size of a list (`resized`, or a size stored before).
struct SettingWrites {
  int write[kRunListKeyCount];
  char text[kRunListKeyCount][kRunListSettingSize];
};
void ComposeSettingWrites(const RunListSettings& settings, const RunListChoices* used,
                          ListSize now, int resized, SettingWrites* out);

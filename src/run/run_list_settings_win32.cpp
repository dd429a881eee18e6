#include "run/run_list_settings_win32.h"

#include "settings/settings_win32.h"

void ReadRunListSettings(RunListSettings* settings) {
  *settings = RunListSettings{};
  CurrentSettingsSection(settings->section, sizeof settings->section);
  for (int key = 0; key < kRunListKeyCount; ++key) {
    ReadSettingOf(settings->section, kRunListKeys[key], settings->stored[key], sizeof settings->stored[key]);
  }
}

void StoreRunListSettings(const RunListSettings& settings, const SettingWrites& writes) {
  for (int key = 0; key < kRunListKeyCount; ++key) {
    if (writes.write[key]) StoreSettingOf(settings.section, kRunListKeys[key], writes.text[key]);
  }
}

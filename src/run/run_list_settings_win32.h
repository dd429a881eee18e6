// Reading and writing the run list's settings (run/run_list_settings.h) in
// tavix.ini.
#pragma once

#include "run/run_list_settings.h"

// Every key of the run list as the file holds it now, in the section of the
// parameter file in use.
void ReadRunListSettings(RunListSettings* settings);

// Writes what ComposeSettingWrites chose into the section they came from.
void StoreRunListSettings(const RunListSettings& settings, const SettingWrites& writes);

// Moving a parameter set between the main dialog's controls and the field
// table's records: reading the live set, applying a stored set, clearing, and
// the option button caption.
#pragma once

#include <windows.h>

#include "params/field_table.h"

struct ByteBuffer;

// Reads every field of the dialog (texts cut to 259 characters, check box
// states, option flags) into `live`.
void ReadLiveSet(HWND dialog, LiveSet* live);

// Reads the dialog once into the parameter-set record every command works
// from (texts cut to 259 characters; a space box counts when checked).
void ReadParameterSet(HWND dialog, ParameterSet* set);

// Appends the dialog's set as a complete section named `name`. 0 when the
// buffer could not grow.
int WriteSetSection(ByteBuffer* out, const char* name, HWND dialog);

// Puts the values of `set` into the controls and the option flags, then
// updates the option button caption. A null set applies the empty set.
void ApplyStoredSet(HWND dialog, const StoredSet* set);

// Empties every text, unchecks every box, turns both options off, then updates
// the option button caption.
void ClearSet(HWND dialog);

// Sets the caption of the option button (IDC_OPTION) from the option flags.
void UpdateOptionButtonCaption(HWND dialog);

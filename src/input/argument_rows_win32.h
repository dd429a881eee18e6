// Commands of the eight argument rows of the main dialog.
#pragma once

#include <windows.h>

// Offered every command of the main dialog first (`command` is the command's
// word parameter). A row's browse button opens the file picker "引数ファイル"
// for the row's file edit. An update of a row's switch or file edit and a
// click on a row's space box remove the name box selection (unless a chosen
// set is being applied). Returns 1 when the command was handled completely (a
// browse button), 0 when the main dialog is to go on with it.
int OnArgumentRowCommand(HWND dialog, WPARAM command);

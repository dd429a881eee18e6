// The main dialog's window, recorded when the dialog is initialised. Other
// subsystems use it as the owner of their message boxes.
#pragma once

#include <windows.h>

extern HWND g_mainDialog;

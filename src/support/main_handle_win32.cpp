#include "support/main_handle_win32.h"

HWND g_mainDialog = nullptr;

// What the run list's scheduler needs from the system (RunListPlatform,
// run/run_list.h): the listed children of run/run_child_win32.h and the
// clocks. The window gives the calls that act on it.
#pragma once

#include "run/run_list.h"

RunListPlatform SystemRunListPlatform(void* window,
                                      void* (*launch)(void*, const ListedCommand&, int, int),
                                      void (*rowChanged)(void*, int), void (*reportStopped)(void*));

// Reading this process's command line as wide text into a set request
// (app/set_request.h): each piece turned into the code page without a
// character silently becoming another.
#pragma once

#include "app/set_request.h"

// ReadSetRequest over the process's own command line.
int ReadProcessSetRequest(SetRequest* request);

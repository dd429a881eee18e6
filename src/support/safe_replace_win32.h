// Rewriting a whole file so that a failure does not destroy it: the new bytes
// go to a temporary file beside it, which then takes the file's place in one
// step, keeping the file's attributes and permissions. Shared by the
// parameter file and the settings file. Never shows a message.
#pragma once

#include <cstddef>

// Makes the file at `path` hold exactly `size` bytes from `bytes`. A
// read-only file, a folder and an empty path are never written. Another
// program holding the file briefly is waited for a little. Where no
// temporary file can be made or moved in that folder, the file is rewritten
// in place instead, as a plain write would (a failure there can leave it
// short). `letGo` (may be null) is called once right before the file itself
// is replaced or opened, for a caller that holds it open. 1 when the file
// holds the new bytes; 0 otherwise, with the reason as the last error
// (ERROR_ACCESS_DENIED for a read-only file or a folder), the file then as it
// was and no temporary file left behind (unless the file vanished while
// being replaced: then the temporary file keeps the new bytes).
int SafeReplaceFile(const char* path, const void* bytes, std::size_t size, void (*letGo)());

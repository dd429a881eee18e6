#include "run/run_control.h"

#include <cstring>

#include "run/batch_file.h"
#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/messages.h"

const char* RunErrorTitle(int code) {
  return code == kErrorLineTooLong ? kCommandBuildTitle : kRunTitle;
}

int ExpandEditCommand(const char* command, const char* path, char* out, std::size_t capacity) {
  if (capacity == 0) return 0;
  LineWriter writer{out, capacity, 0, 0};
  const std::size_t pathLength = std::strlen(path);
  int named = 0;
  for (const char* p = command; *p != '\0'; p = NextChar(p)) {
    const char next = p[1];
    if (CharLength(p) == 1 && *p == '%' && next != '\0' && std::strchr("10Ll*23456789", next)) {
      if (std::strchr("10Ll", next)) {
        Put(&writer, path, pathLength);
        named = 1;
      }
      ++p;  // the letter or digit after the percent sign is used up
      continue;
    }
    Put(&writer, p, CharLength(p));
  }
  if (!named) {
    Put(&writer, " \"", 2);
    Put(&writer, path, pathLength);
    Put(&writer, "\"", 1);
  }
  return FinishLine(&writer);
}

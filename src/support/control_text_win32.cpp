#include "support/control_text_win32.h"

#include <cstring>

#include "support/dbcs.h"

std::size_t ReadControlText(HWND dialog, int id, char* out, std::size_t size) {
  if (size == 0) return 0;
  out[0] = '\0';
  GetDlgItemTextA(dialog, id, out, static_cast<int>(size));
  out[size - 1] = '\0';
  CutToWholeCharacters(out);
  return std::strlen(out);
}

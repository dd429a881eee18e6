#include "app/set_request.h"

#include <cstdio>
#include <cstring>

#include "support/argument_split.h"
#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/path_split.h"

namespace {

// Room for one piece of the command line; a longer one is too long for any
// of the names it could be.
constexpr std::size_t kPieceSize = 1024;

// Marks the bytes of a request handed to a running copy.
constexpr char kPackMark[] = "TAVIX-SET-REQUEST-1";

enum Switch : int { kNotSwitch = 0, kSwitchSet, kSwitchRun, kSwitchExit, kSwitchYes, kSwitchUnknown };

wchar_t Lower(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameWord(const wchar_t* piece, const wchar_t* word) {
  for (; *piece != L'\0' && *word != L'\0'; ++piece, ++word) {
    if (Lower(*piece) != *word) return false;
  }
  return *piece == L'\0' && *word == L'\0';
}

int SwitchOf(const wchar_t* piece) {
  if (piece[0] != L'/') return kNotSwitch;
  if (SameWord(piece, L"/set")) return kSwitchSet;
  if (SameWord(piece, L"/run")) return kSwitchRun;
  if (SameWord(piece, L"/exit")) return kSwitchExit;
  if (SameWord(piece, L"/yes")) return kSwitchYes;
  return kSwitchUnknown;
}

// Plain ASCII of a wide piece for an error message ('?' for anything else).
void AsciiCopy(const wchar_t* piece, char* out, std::size_t size) {
  std::size_t length = 0;
  for (; *piece != L'\0' && length + 1 < size; ++piece) {
    out[length++] = (*piece >= 0x20 && *piece < 0x7F) ? static_cast<char>(*piece) : '?';
  }
  if (size > 0) out[length] = '\0';
}

int Fail(SetRequest* request, int error, const wchar_t* piece) {
  request->error = error;
  if (piece != nullptr) AsciiCopy(piece, request->errorPiece, sizeof request->errorPiece);
  return 1;
}

// Converts one piece with `convert`; an error names the piece.
int Convert(SetRequest* request, int (*convert)(const wchar_t*, char*, std::size_t), const wchar_t* piece,
            char* out, std::size_t size, int tooLong) {
  const int result = convert(piece, out, size);
  if (result > 0) return 1;
  if (result == 0) {
    request->error = kRequestNotInCodePage;
    FormatText(request->errorPiece, sizeof request->errorPiece, "%s", out);
  } else {
    Fail(request, tooLong, piece);
  }
  out[0] = '\0';
  return 0;
}

void AddFile(SetRequest* request, const RequestPlatform& platform, const wchar_t* piece) {
  char name[kRequestNameSize] = {};
  const int result = platform.fileName(piece, name, sizeof name);
  if (result < 0) {
    Fail(request, kRequestNameTooLong, piece);
  } else if (result == 0) {
    if (request->leftOut++ == 0) FormatText(request->firstLeftOut, sizeof request->firstLeftOut, "%s", name);
  } else if (!AppendBytes(&request->files, name, std::strlen(name) + 1)) {
    request->error = kRequestNoMemory;
  } else {
    ++request->fileCount;
  }
}

// Message texts of the request errors, in RequestError order; %s is the
// piece concerned.
constexpr const char* kRequestErrorTexts[] = {
    nullptr,
    "/set の後に設定名がありません。",
    "設定名 %s が長すぎます (63 バイトまで)。",
    "%s は使えないスイッチです。使えるのは /set /run /exit /yes です。",
    "/set の前に名前が 2 つ以上あります (%s)。/set の前に書けるのはパラメータファイル 1 つだけです。",
    "/exit は /run と一緒に指定します。",
    "%s は日本語の文字コードで表せないため使えません。",
    "%s は長すぎます (259 バイトまで)。",
    "メモリが足りません。",
};
constexpr char kRequestUsage[] =
    "\n\n使い方: tavix.exe [パラメータファイル] /set 設定名 [/run] [/exit] [/yes] [ファイル...]";

void PutField(ByteBuffer* out, const char* text) {
  AppendBytes(out, text, std::strlen(text) + 1);
}

// Reads the zero-ended field at `*cursor` into `out`: 0 when it is not
// ended before `end` or does not fit.
int TakeField(const char** cursor, const char* end, char* out, std::size_t size) {
  const void* zero = std::memchr(*cursor, '\0', static_cast<std::size_t>(end - *cursor));
  if (zero == nullptr) return 0;
  const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(zero) - *cursor);
  if (length >= size) return 0;
  std::memcpy(out, *cursor, length + 1);
  *cursor += length + 1;
  return 1;
}

unsigned char FoldCase(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

void FreeSetRequest(SetRequest* request) {
  FreeByteBuffer(&request->files);
  std::memset(static_cast<void*>(request), 0, sizeof *request);
}

int ReadSetRequest(const wchar_t* tail, const RequestPlatform& platform, SetRequest* request) {
  FreeSetRequest(request);
  static wchar_t piece[kPieceSize];
  int named = 0;
  for (const wchar_t* cursor = tail; NextWideArgument(&cursor, piece, kPieceSize);) {
    const int kind = SwitchOf(piece);
    named |= kind == kSwitchSet;
    request->exit |= kind == kSwitchExit;
  }
  if (!named) {
    request->exit = 0;
    return 0;
  }
  int setSeen = 0;   // /set met
  int nameSeen = 0;  // its name read
  int before = 0;    // names before /set
  for (const wchar_t* cursor = tail; request->error == kRequestOk;) {
    int cut = 0;
    if (!NextWideArgument(&cursor, piece, kPieceSize, &cut)) break;
    if (cut) return Fail(request, kRequestNameTooLong, piece);
    const int kind = setSeen && !nameSeen ? kNotSwitch : SwitchOf(piece);
    if (kind == kSwitchUnknown) return Fail(request, kRequestUnknownSwitch, piece);
    if (kind == kSwitchSet) {
      setSeen = 1;
    } else if (kind == kSwitchRun) {
      request->run = 1;
    } else if (kind == kSwitchYes) {
      request->yes = 1;
    } else if (kind == kSwitchExit) {
      // counted in the first pass
    } else if (setSeen && !nameSeen) {
      nameSeen = 1;
      if (piece[0] == L'\0') return Fail(request, kRequestNoSetName, nullptr);
      Convert(request, platform.text, piece, request->setName, sizeof request->setName,
              kRequestSetNameTooLong);
    } else if (!setSeen) {
      if (++before > 1) return Fail(request, kRequestSeveralParameterFiles, piece);
      Convert(request, platform.text, piece, request->parameterFile, kRequestNameSize,
              kRequestNameTooLong);
    } else if (piece[0] != L'\0') {
      AddFile(request, platform, piece);
    }
  }
  if (request->error != kRequestOk) return 1;
  if (!nameSeen) return Fail(request, kRequestNoSetName, nullptr);
  if (request->exit && !request->run) return Fail(request, kRequestExitWithoutRun, nullptr);
  return 1;
}

void SetRequestErrorText(const SetRequest& request, char* out, std::size_t size) {
  const int error = request.error;
  if (error <= kRequestOk || error > kRequestNoMemory) {
    FormatText(out, size, "%s", "");
    return;
  }
  const int length = FormatText(out, size, kRequestErrorTexts[error], request.errorPiece);
  if (length >= 0) FormatText(out + length, size - static_cast<std::size_t>(length), "%s", kRequestUsage);
}

const char* FirstRequestFile(const SetRequest& request) {
  return request.fileCount > 0 ? request.files.data : nullptr;
}

const char* NextRequestFile(const SetRequest& request, const char* file) {
  const char* next = file + std::strlen(file) + 1;
  return next < request.files.data + request.files.size ? next : nullptr;
}

int PackSetRequest(const SetRequest& request, const char* parameterPath, ByteBuffer* out) {
  char numbers[64];
  FormatText(numbers, sizeof numbers, "%d %d %d %d %d", request.run, request.exit, request.yes,
             request.fileCount, request.leftOut);
  PutField(out, kPackMark);
  PutField(out, parameterPath);
  PutField(out, request.setName);
  PutField(out, numbers);
  PutField(out, request.firstLeftOut);
  AppendBytes(out, request.files.data, request.files.size);
  return !out->failed;
}

int UnpackSetRequest(const char* bytes, std::size_t size, SetRequest* request) {
  FreeSetRequest(request);
  const char* cursor = bytes;
  const char* end = bytes + size;
  char mark[sizeof kPackMark] = {};
  char numbers[64] = {};
  if (!TakeField(&cursor, end, mark, sizeof mark) || std::strcmp(mark, kPackMark) != 0 ||
      !TakeField(&cursor, end, request->parameterFile, sizeof request->parameterFile) ||
      !TakeField(&cursor, end, request->setName, sizeof request->setName) ||
      !TakeField(&cursor, end, numbers, sizeof numbers) ||
      !TakeField(&cursor, end, request->firstLeftOut, sizeof request->firstLeftOut)) {
    FreeSetRequest(request);
    return 0;
  }
  int count = -1;
  int flags[3] = {};
  int given = std::sscanf(numbers, "%d %d %d %d %d", &flags[0], &flags[1], &flags[2], &count,
                          &request->leftOut);
  request->run = flags[0] != 0;
  request->exit = flags[1] != 0;
  request->yes = flags[2] != 0;
  char name[kRequestNameSize];
  int files = 0;
  while (given == 5 && cursor < end && TakeField(&cursor, end, name, sizeof name)) {
    ++files;
    AppendBytes(&request->files, name, std::strlen(name) + 1);
  }
  request->fileCount = files;
  if (given != 5 || cursor != end || files != count || request->files.failed) {
    FreeSetRequest(request);
    return 0;
  }
  return 1;
}

int SameParameterPath(const char* a, const char* b) {
  // A leading pair of backslashes (\\server\share) is kept as it is.
  for (int lead = 0; lead < 2 && *a == '\\' && *b == '\\'; ++lead) ++a, ++b;
  while (*a != '\0' && *b != '\0') {
    if (*a == '\\' && *b == '\\') {
      while (a[1] == '\\') ++a;
      while (b[1] == '\\') ++b;
    }
    const std::size_t length = CharLength(a);
    if (length != CharLength(b)) return 0;
    if (length == 2 ? (a[0] != b[0] || a[1] != b[1])
                    : FoldCase(static_cast<unsigned char>(*a)) != FoldCase(static_cast<unsigned char>(*b))) {
      return 0;
    }
    a += length;
    b += length;
  }
  return *a == '\0' && *b == '\0';
}

int ComposeRunLogPath(const char* parameterPath, char* out, std::size_t size) {
  char drive[kMaxDrive] = {};
  char dir[kMaxDir] = {};
  char fname[kMaxFname] = {};
  SplitPath(parameterPath, drive, dir, fname, nullptr);
  if (fname[0] == '\0') return 0;
  return FormatText(out, size, "%s%s%s.log", drive, dir, fname) >= 0;
}

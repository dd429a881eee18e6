// A second process that holds a file, through the helper program
// hold_file.exe built beside the tests. Windows only.
#pragma once

#include <windows.h>

#include <string>

// Upper bound for a helper process to report; a safety net, not a timing.
inline constexpr DWORD kChildLimitMs = 60000;

// Path of hold_file.exe beside the running test.
std::string HoldFileExe();

// Another process that holds a file the way the parameter file is held
// (`hold_file hold`), or with `mode` "lock" the named mutex `path`, from
// construction until destruction.
class OtherHolder {
 public:
  explicit OtherHolder(const std::string& path, const char* mode = "hold");
  ~OtherHolder();
  OtherHolder(const OtherHolder&) = delete;
  OtherHolder& operator=(const OtherHolder&) = delete;
  // Whether the other process has the file open (or the mutex).
  bool holding() const { return holding_; }

 private:
  HANDLE ready_ = nullptr;
  HANDLE release_ = nullptr;
  HANDLE process_ = nullptr;
  bool holding_ = false;
};

#include "hold_file_process.h"

#include "test_env.h"
#include "start_process.h"

std::string HoldFileExe() {
  return JoinTestPath(TestExeDir(), "hold_file.exe");
}

OtherHolder::OtherHolder(const std::string& path, const char* mode) {
  static int counter = 0;
  std::string tag = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
  std::string readyName = "tavix-hold-ready-" + tag;
  std::string releaseName = "tavix-hold-release-" + tag;
  ready_ = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
  release_ = CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str());
  std::string commandLine =
      "\"" + HoldFileExe() + "\" " + mode + " \"" + path + "\" " + readyName + " " + releaseName;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (StartTestProcess(nullptr, &commandLine[0], 0, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    process_ = process.hProcess;
    HANDLE waits[2] = {ready_, process_};
    holding_ = WaitForMultipleObjects(2, waits, FALSE, kChildLimitMs) == WAIT_OBJECT_0;
  }
}

OtherHolder::~OtherHolder() {
  SetEvent(release_);
  if (process_ != nullptr) {
    WaitForSingleObject(process_, kChildLimitMs);
    CloseHandle(process_);
  }
  CloseHandle(ready_);
  CloseHandle(release_);
}

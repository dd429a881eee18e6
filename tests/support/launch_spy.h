// What the program hands to the system when it starts children, recorded by
// pointing this test executable's own kernel32 imports at recorders for the
// duration of a test: every CreateProcessA call and every job limit set
// (both passed on to the system, or a job limit refused as if the privilege
// were missing), and, when asked, a job the process runs in and the
// system's version as the code under test is told them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct CreateCall {
  bool appNameNull = false;
  std::string commandLine;
  bool processAttributesNull = false;
  bool threadAttributesNull = false;
  BOOL inheritHandles = TRUE;
  DWORD flags = 0xFFFFFFFF;
  bool environmentNull = false;
  bool directoryNull = false;
  std::string directory;
  STARTUPINFOA startup{};
  BOOL result = FALSE;
  PROCESS_INFORMATION started{};
};

// A JobObjectBasicLimitInformation set: its limit flags and class.
struct JobLimitCall {
  DWORD limitFlags;
  DWORD priorityClass;
  BOOL result;
};

// The system as the code is told it while `pretend` is set: its version,
// whether the process runs in a job and that job's limits.
struct PretendedSystem {
  bool pretend = false;
  DWORD major = 0, minor = 0;
  BOOL inJob = FALSE;
  DWORD outerLimits = 0;
};

struct LaunchSpy {
  std::vector<CreateCall> creates;
  std::vector<JobLimitCall> jobLimits;
  bool refuseJobLimits = false;  // SetInformationJobObject fails (privilege not held)
  bool refuseConsole = false;    // AttachConsole fails (access denied)
  PretendedSystem system;
};
extern LaunchSpy g_launchSpy;

// Points the imports at the recorders, with a fresh record; false when one
// could not be patched. DetachLaunchSpy puts them back.
bool AttachLaunchSpy();
void DetachLaunchSpy();

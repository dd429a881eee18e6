#include "launch_spy.h"


#include "import_patch.h"

LaunchSpy g_launchSpy;

namespace {

using CreateProcessAFn = BOOL(WINAPI*)(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                                       DWORD, LPVOID, LPCSTR, LPSTARTUPINFOA, LPPROCESS_INFORMATION);
using SetJobFn = BOOL(WINAPI*)(HANDLE, JOBOBJECTINFOCLASS, LPVOID, DWORD);
using QueryJobFn = BOOL(WINAPI*)(HANDLE, JOBOBJECTINFOCLASS, LPVOID, DWORD, LPDWORD);
using InJobFn = BOOL(WINAPI*)(HANDLE, HANDLE, PBOOL);
using VersionFn = BOOL(WINAPI*)(LPOSVERSIONINFOA);
using AttachFn = BOOL(WINAPI*)(DWORD);

CreateProcessAFn g_createProcess = nullptr;
SetJobFn g_setJob = nullptr;
QueryJobFn g_queryJob = nullptr;
InJobFn g_inJob = nullptr;
VersionFn g_version = nullptr;
AttachFn g_attach = nullptr;

BOOL WINAPI RecordCreateProcessA(LPCSTR app, LPSTR line, LPSECURITY_ATTRIBUTES pa, LPSECURITY_ATTRIBUTES ta,
                                 BOOL inherit, DWORD flags, LPVOID env, LPCSTR dir, LPSTARTUPINFOA si,
                                 LPPROCESS_INFORMATION pi) {
  CreateCall call;
  call.appNameNull = app == nullptr;
  call.commandLine = line ? line : "<null>";
  call.processAttributesNull = pa == nullptr;
  call.threadAttributesNull = ta == nullptr;
  call.inheritHandles = inherit;
  call.flags = flags;
  call.environmentNull = env == nullptr;
  call.directoryNull = dir == nullptr;
  call.directory = dir ? dir : "";
  if (si) call.startup = *si;
  call.result = g_createProcess(app, line, pa, ta, inherit, flags, env, dir, si, pi);
  if (call.result && pi) call.started = *pi;
  g_launchSpy.creates.push_back(call);
  return call.result;
}

BOOL WINAPI RecordSetJob(HANDLE job, JOBOBJECTINFOCLASS kind, LPVOID info, DWORD size) {
  if (kind != JobObjectBasicLimitInformation) return g_setJob(job, kind, info, size);
  const auto* limits = static_cast<JOBOBJECT_BASIC_LIMIT_INFORMATION*>(info);
  JobLimitCall call = {limits->LimitFlags, limits->PriorityClass, FALSE};
  if (g_launchSpy.refuseJobLimits) {
    SetLastError(ERROR_PRIVILEGE_NOT_HELD);
  } else {
    call.result = g_setJob(job, kind, info, size);
  }
  g_launchSpy.jobLimits.push_back(call);
  return call.result;
}

BOOL WINAPI PretendQueryJob(HANDLE job, JOBOBJECTINFOCLASS kind, LPVOID info, DWORD size, LPDWORD got) {
  const PretendedSystem& system = g_launchSpy.system;
  if (!system.pretend || job != nullptr || kind != JobObjectExtendedLimitInformation) {
    return g_queryJob(job, kind, info, size, got);
  }
  auto* limits = static_cast<JOBOBJECT_EXTENDED_LIMIT_INFORMATION*>(info);
  *limits = JOBOBJECT_EXTENDED_LIMIT_INFORMATION{};
  limits->BasicLimitInformation.LimitFlags = system.outerLimits;
  if (got) *got = sizeof *limits;
  return TRUE;
}

BOOL WINAPI PretendInJob(HANDLE process, HANDLE job, PBOOL result) {
  if (!g_launchSpy.system.pretend) return g_inJob(process, job, result);
  *result = g_launchSpy.system.inJob;
  return TRUE;
}

BOOL WINAPI PretendVersion(LPOSVERSIONINFOA version) {
  const BOOL got = g_version(version);
  if (got && g_launchSpy.system.pretend) {
    version->dwMajorVersion = g_launchSpy.system.major;
    version->dwMinorVersion = g_launchSpy.system.minor;
  }
  return got;
}

BOOL WINAPI MaybeRefuseAttach(DWORD process) {
  if (!g_launchSpy.refuseConsole) return g_attach(process);
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

struct Patch {
  const char* name;
  void* replacement;
  void** original;
  void** slot;
};

Patch g_patches[] = {
    {"CreateProcessA", reinterpret_cast<void*>(&RecordCreateProcessA), reinterpret_cast<void**>(&g_createProcess), nullptr},
    {"SetInformationJobObject", reinterpret_cast<void*>(&RecordSetJob), reinterpret_cast<void**>(&g_setJob), nullptr},
    {"QueryInformationJobObject", reinterpret_cast<void*>(&PretendQueryJob), reinterpret_cast<void**>(&g_queryJob), nullptr},
    {"IsProcessInJob", reinterpret_cast<void*>(&PretendInJob), reinterpret_cast<void**>(&g_inJob), nullptr},
    {"GetVersionExA", reinterpret_cast<void*>(&PretendVersion), reinterpret_cast<void**>(&g_version), nullptr},
    {"AttachConsole", reinterpret_cast<void*>(&MaybeRefuseAttach), reinterpret_cast<void**>(&g_attach), nullptr},
};

}  // namespace

bool AttachLaunchSpy() {
  g_launchSpy = LaunchSpy{};
  bool all = true;
  for (Patch& patch : g_patches) {
    patch.slot = FindKernelImport(patch.name);
    if (patch.slot == nullptr) {
      all = false;
      continue;
    }
    *patch.original = *patch.slot;
    if (!PatchSlot(patch.slot, patch.replacement)) patch.slot = nullptr, all = false;
  }
  return all;
}

void DetachLaunchSpy() {
  for (Patch& patch : g_patches) {
    if (patch.slot != nullptr) PatchSlot(patch.slot, *patch.original);
    patch.slot = nullptr;
  }
}

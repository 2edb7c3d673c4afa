#include "host_platform.h"

#include <cstring>

#include "windows_version.h"

namespace {
HostPlatform* active = nullptr;
}  // namespace

BOOL HostPlatform::QueryVersion(OSVERSIONINFOA* info) { return ::GetVersionExA(info); }

BOOL HostPlatform::QueryUserName(char* buffer, DWORD* size) { return ::GetUserNameA(buffer, size); }

HostPlatform& SystemHostPlatform() {
  static HostPlatform system;
  return system;
}

void SetHostPlatform(HostPlatform* platform) { active = platform; }

HostPlatform& ActiveHostPlatform() { return active != nullptr ? *active : SystemHostPlatform(); }

bool GetWindowsVersionName(char* name, size_t cap, int* code) {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA is 148 bytes");
  if (!ActiveHostPlatform().QueryVersion(&info)) {
    // The same text and code that an unknown combination gets.
    ClassifyWindowsVersion(0, 0, 0, 0, name, cap, code);
    return false;
  }
  ClassifyWindowsVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                         info.dwBuildNumber & 0xFFFFu, name, cap, code);
  return true;
}

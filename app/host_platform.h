// The Windows calls of the main program that tests play instead of the
// system: the version report and the logged-on user's name.
#pragma once
#include <cstddef>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

class HostPlatform {
public:
  virtual ~HostPlatform() = default;
  // ::GetVersionExA; info->dwOSVersionInfoSize is set by the caller.
  virtual BOOL QueryVersion(OSVERSIONINFOA* info);
  // ::GetUserNameA; *size holds the buffer's capacity.
  virtual BOOL QueryUserName(char* buffer, DWORD* size);
};

// The system's calls.
HostPlatform& SystemHostPlatform();
// Installs a platform (not owned); nullptr goes back to the system's.
void SetHostPlatform(HostPlatform* platform);
HostPlatform& ActiveHostPlatform();

// The running Windows version's name (cut to cap, always terminated) and
// code. False only when GetVersionExA fails: the name is then "unknown
// Windows version" and the code 0. Either output may be null.
bool GetWindowsVersionName(char* name, size_t cap, int* code);

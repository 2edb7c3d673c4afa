// The Windows calls of the web launcher that tests play instead of the
// system: the registry reads that find the default browser and WinINet's
// connection check. (The browser itself starts through ShellPlatform.)
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

class WebPlatform {
public:
  virtual ~WebPlatform() = default;
  // ::RegOpenKeyExA (options 0).
  virtual LONG OpenKey(HKEY hive, const char* subkey, REGSAM access, HKEY* key);
  // ::RegQueryValueExA; *size holds the buffer's capacity and gets the
  // value's size.
  virtual LONG QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size);
  // ::RegCloseKey.
  virtual LONG CloseKey(HKEY key);
  // ::InternetCheckConnectionA. Called from the probe thread; it may block
  // for as long as the connection attempt takes.
  virtual BOOL CheckConnection(const char* url, DWORD flags);
};

// The system's calls. Never destroyed, so that a probe thread still running
// while the process ends has a platform to return into.
WebPlatform& SystemWebPlatform();
// Installs a platform (not owned); nullptr goes back to the system's.
void SetWebPlatform(WebPlatform* platform);
WebPlatform& ActiveWebPlatform();

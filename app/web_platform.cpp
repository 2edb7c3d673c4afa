#include "web_platform.h"

#include <wininet.h>

#include <atomic>

namespace {
// Read by the probe thread, so written and read as one word.
std::atomic<WebPlatform*> active{nullptr};
}  // namespace

LONG WebPlatform::OpenKey(HKEY hive, const char* subkey, REGSAM access, HKEY* key) {
  return ::RegOpenKeyExA(hive, subkey, 0, access, key);
}

LONG WebPlatform::QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
  return ::RegQueryValueExA(key, name, nullptr, type, data, size);
}

LONG WebPlatform::CloseKey(HKEY key) { return ::RegCloseKey(key); }

BOOL WebPlatform::CheckConnection(const char* url, DWORD flags) {
  return ::InternetCheckConnectionA(url, flags, 0);
}

WebPlatform& SystemWebPlatform() {
  static WebPlatform* const system = new WebPlatform;
  return *system;
}

void SetWebPlatform(WebPlatform* platform) { active.store(platform); }

WebPlatform& ActiveWebPlatform() {
  WebPlatform* platform = active.load();
  return platform != nullptr ? *platform : SystemWebPlatform();
}

#include "windows_version.h"

#include <algorithm>
#include <cstring>

namespace {

struct Named {
  const char* name;
  int code;
};

bool Lookup(unsigned platformId, unsigned major, unsigned minor, unsigned build, Named* out) {
  build &= 0xFFFFu;
  switch (platformId) {
    case kPlatformWin9x:
      if (major != 4) return false;
      if (minor < 10) {
        if (build == 950)
          *out = {"Windows 95", 1};
        else if (build > 950 && build <= 1080)
          *out = {"Windows 95 SP1", 2};
        else if (build > 1080)
          *out = {"Windows 95 OSR2", 3};
        else
          return false;
        return true;
      }
      if (minor == 10) {
        if (build == 1998)
          *out = {"Windows 98", 4};
        else if (build > 1998 && build < 2183)
          *out = {"Windows 98 SP1", 5};
        else if (build >= 2183)
          *out = {"Windows 98 SE", 6};
        else
          return false;
        return true;
      }
      if (minor == 90) {
        *out = {"Windows ME", 7};
        return true;
      }
      return false;
    case kPlatformWinNt:
      if (major == 3 && minor == 51)
        *out = {"Windows NT 3.51", 101};
      else if (major == 4 && minor == 0)
        *out = {"Windows NT 4", 102};
      else if (major == 5 && minor == 0)
        *out = {"Windows 2000", 103};
      else if (major == 5 && minor == 1)
        *out = {"Windows XP", 104};
      else if (major == 6)
        *out = {"Vista", 0};
      else
        return false;
      return true;
    case kPlatformWinCe:
      *out = {"Windows CE", 201};
      return true;
    default:
      return false;
  }
}

bool Contains(const char* text, const char* part) {
  return text != nullptr && std::strstr(text, part) != nullptr;
}

}  // namespace

bool ClassifyWindowsVersion(unsigned platformId, unsigned major, unsigned minor, unsigned build,
                            char* name, size_t cap, int* code) {
  Named result{"unknown Windows version", 0};
  const bool known = Lookup(platformId, major, minor, build, &result);
  if (name != nullptr && cap > 0) {
    const size_t n = std::min(std::strlen(result.name), cap - 1);
    std::memcpy(name, result.name, n);
    name[n] = '\0';
  }
  if (code != nullptr) *code = result.code;
  return known;
}

bool VersionNameIsMeOr98(const char* name) { return Contains(name, "ME") || Contains(name, "98"); }
bool VersionNameIsOldNt(const char* name) { return Contains(name, "NT"); }
bool VersionNameIsVista(const char* name) { return Contains(name, "Vista"); }

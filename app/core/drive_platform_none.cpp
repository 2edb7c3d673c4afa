// Drive platform of builds without Windows networking: no letter is
// connected, every type is unknown and nothing can be connected.
#include "drive_table.h"

namespace {

struct NoDrivePlatform final : DrivePlatform {
  bool RemoteName(const char*, char* remote, size_t cap) override {
    if (cap > 0) remote[0] = '\0';
    return false;
  }
  unsigned DriveType(const char*) override { return kDriveUnknown; }
  unsigned long AddConnection(const NetConnection&, const char*, const char*, unsigned) override {
    return kNetNotSupported;
  }
  unsigned long CancelConnection(const char*, unsigned, bool) override { return kNetNotConnected; }
  bool LoggedOnUser(char* user, size_t cap) override {
    if (cap > 0) user[0] = '\0';
    return false;
  }
};

}  // namespace

DrivePlatform& SystemDrivePlatform() {
  static NoDrivePlatform platform;
  return platform;
}

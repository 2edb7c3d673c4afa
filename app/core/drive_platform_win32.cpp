// Drive platform of the Windows build: Windows networking and GetDriveTypeA.
#include <windows.h>
#include <winnetwk.h>

#include <cstring>

#include "drive_table.h"
#include "text_copy.h"
#include "ui_wait.h"

// The portable names of drive_table.h are the system's values.
static_assert(kResourceTypeAny == RESOURCETYPE_ANY && kResourceTypeDisk == RESOURCETYPE_DISK, "resource types");
static_assert(kConnectUpdateProfile == CONNECT_UPDATE_PROFILE && kConnectInteractive == CONNECT_INTERACTIVE,
              "connection flags");
static_assert(kNetNotConnected == ERROR_NOT_CONNECTED && kNetNotSupported == ERROR_NOT_SUPPORTED, "WNet results");

namespace {

struct Win32DrivePlatform final : DrivePlatform {
  bool RemoteName(const char* drive, char* remote, size_t cap) override {
    if (cap == 0) return false;
    remote[0] = '\0';
    char buffer[256] = {};
    DWORD length = sizeof buffer;
    if (WNetGetConnectionA(drive, buffer, &length) != NO_ERROR) return false;
    CopyField(remote, cap, buffer, sizeof buffer);
    return true;
  }

  unsigned DriveType(const char* drive) override {
    // GetDriveTypeA wants the root directory: "Z:" becomes "Z:\".
    char root[4] = {};
    if (drive == nullptr || drive[0] == '\0' || drive[1] != ':') return DRIVE_NO_ROOT_DIR;
    root[0] = drive[0];
    root[1] = ':';
    root[2] = '\\';
    return GetDriveTypeA(root);
  }

  unsigned long AddConnection(const NetConnection& resource, const char* password, const char* user,
                              unsigned flags) override {
    NETRESOURCEA record = {};
    record.dwType = resource.type;
    record.lpLocalName = const_cast<char*>(resource.localName);
    record.lpRemoteName = const_cast<char*>(resource.remoteName);
    record.lpProvider = const_cast<char*>(resource.provider);
    // Connecting and cancelling can each take tens of seconds for a host
    // that went away: they run on a short worker thread while the windows
    // stay served (ui_wait.h). Windows' own credential prompt (flags 9)
    // appears from there as well.
    return CallServingWindows([&] { return WNetAddConnection2A(&record, password, user, flags); });
  }

  unsigned long CancelConnection(const char* name, unsigned flags, bool force) override {
    return CallServingWindows([&] { return WNetCancelConnection2A(name, flags, force ? TRUE : FALSE); });
  }

  bool LoggedOnUser(char* user, size_t cap) override {
    if (cap == 0) return false;
    user[0] = '\0';
    char buffer[260] = {};
    DWORD length = sizeof buffer;
    if (WNetGetUserA(nullptr, buffer, &length) != NO_ERROR) return false;
    CopyField(user, cap, buffer, sizeof buffer);
    return true;
  }
};

}  // namespace

DrivePlatform& SystemDrivePlatform() {
  static Win32DrivePlatform platform;
  return platform;
}

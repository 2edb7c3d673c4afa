// A drive platform that plays fixed letters, CD-ROMs and network
// connections, installed for the lifetime of a test fixture. Connecting and
// cancelling change its table and are recorded, one line per call, with
// null and empty texts told apart.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "drive_table.h"

class FakeDrivePlatform final : public DrivePlatform {
public:
  std::map<std::string, std::string> remote;  // "Z:" -> "\\host\share"
  std::map<std::string, unsigned> type;  // "C:" -> kDriveFixed; others kDriveNoRootDir
  std::map<std::string, int> typeCalls;

  void Map(const std::string& drive, const std::string& remoteName) {
    remote[drive] = remoteName;
    type[drive] = kDriveRemote;
  }
  void Unmap(const std::string& drive) {
    remote.erase(drive);
    type.erase(drive);
  }

  bool RemoteName(const char* drive, char* out, size_t cap) override {
    auto it = remote.find(drive);
    if (it == remote.end() || cap == 0) return false;
    const size_t n = std::min(it->second.size(), cap - 1);
    std::memcpy(out, it->second.data(), n);
    out[n] = '\0';
    return true;
  }
  unsigned DriveType(const char* drive) override {
    ++typeCalls[drive];
    auto it = type.find(drive);
    return it == type.end() ? kDriveNoRootDir : it->second;
  }

  // Which credentials the share accepts; none set: every attempt succeeds.
  std::function<bool(const char* password, const char* user, unsigned flags)> accepts;
  // WNetGetUserA's answer; empty: the call fails.
  std::string loggedOnUser = "alice";
  // One line per connect, cancel and user call, e.g.
  //   add 1 Z: \\10.0.0.2\pub NULL password=NULL user="D\alice" flags=1
  //   cancel Z: flags=1 force=1
  std::vector<std::string> calls;

  static constexpr unsigned long kLogonFailure = 1326;  // ERROR_LOGON_FAILURE

  static std::string Text(const char* s) { return s == nullptr ? "NULL" : "\"" + std::string(s) + "\""; }

  unsigned long AddConnection(const NetConnection& r, const char* password, const char* user,
                              unsigned flags) override {
    calls.push_back("add " + std::to_string(r.type) + " " + (r.localName ? r.localName : "NULL") + " " +
                    (r.remoteName ? r.remoteName : "NULL") + " " + (r.provider ? r.provider : "NULL") +
                    " password=" + Text(password) + " user=" + Text(user) + " flags=" + std::to_string(flags));
    if (accepts && !accepts(password, user, flags)) return kLogonFailure;
    if (r.localName != nullptr && r.remoteName != nullptr) Map(r.localName, r.remoteName);
    return kNetNoError;
  }
  unsigned long CancelConnection(const char* name, unsigned flags, bool force) override {
    calls.push_back(std::string("cancel ") + (name ? name : "NULL") + " flags=" + std::to_string(flags) +
                    " force=" + (force ? "1" : "0"));
    if (name == nullptr || remote.count(name) == 0) return kNetNotConnected;
    Unmap(name);
    return kNetNoError;
  }
  bool LoggedOnUser(char* user, size_t cap) override {
    calls.push_back("user");
    if (cap == 0) return false;
    const size_t n = std::min(loggedOnUser.size(), cap - 1);
    std::memcpy(user, loggedOnUser.data(), n);
    user[n] = '\0';
    return !loggedOnUser.empty();
  }
};

// Starts each test with a zeroed table and the fake installed.
class DriveTableTest : public ::testing::Test {
protected:
  FakeDrivePlatform fake;
  void SetUp() override {
    std::memset(&MappedDriveTable, 0, sizeof MappedDriveTable);
    SetDrivePlatform(&fake);
  }
  void TearDown() override {
    SetDrivePlatform(nullptr);
    std::memset(&MappedDriveTable, 0, sizeof MappedDriveTable);
  }
  static const MappedDriveEntry& Row(char letter) { return MappedDriveTable.row['Z' - letter]; }
};

#include "share_match.h"

#include <cstring>

#include "drive_table.h"

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (Lower(*a) != Lower(*b)) return false;
  }
  return *a == *b;
}

bool HostMatches(const char* host, const char* name, const char* address, HostMatch mode) {
  switch (mode) {
    case HostMatch::NameOrAddressNoCase:
      return EqualNoCase(host, name) || EqualNoCase(host, address);
    case HostMatch::NameOrAddressExact:
      return std::strcmp(host, name) == 0 || std::strcmp(host, address) == 0;
    case HostMatch::AddressOnly:
      return std::strcmp(host, address) == 0;
  }
  return false;
}

}  // namespace

bool IsRecycleBinShare(const char* shareName) {
  return shareName != nullptr && std::strncmp(shareName, kRecycleBinName, sizeof kRecycleBinName - 1) == 0;
}

const char* MappedDriveForShare(const char* shareName, const char* deviceName,
                                const char* deviceAddress, HostMatch mode) {
  if (shareName == nullptr) shareName = "";
  if (deviceName == nullptr) deviceName = "";
  if (deviceAddress == nullptr) deviceAddress = "";
  const char* drive = nullptr;
  for (const MappedDriveEntry& e : MappedDriveTable.row) {
    if (e.host[0] == '\0' || e.share[0] == '\0') continue;
    if (HostMatches(e.host, deviceName, deviceAddress, mode) && EqualNoCase(e.share, shareName)) {
      drive = e.drive;
    }
  }
  return drive;
}

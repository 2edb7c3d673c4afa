// How the shares list finds the local drive letter of a device share in
// MappedDriveTable.
#pragma once

// How a table row's host is compared with the device.
enum class HostMatch {
  NameOrAddressNoCase,  // device click and unmap refresh
  NameOrAddressExact,  // map refresh: case-sensitive
  AddressOnly,  // LAN port change
};

// A share named kCompanionPrefix and another share's name is that share's
// companion: it is mapped and unmapped with it. The shares list leaves out
// every share whose name begins with kRecycleBinName.
constexpr char kRecycleBinName[] = "Recycle Bin";
constexpr char kCompanionPrefix[] = "Recycle Bin - ";
static_assert(sizeof kRecycleBinName == 12, "the list's rule compares 11 characters");

// True when the share is a recycle-bin share the list leaves out: its first
// characters are kRecycleBinName (case-sensitive).
bool IsRecycleBinShare(const char* shareName);

// Drive text ("D:") of the letter that shows shareName (the name as listed,
// already in the ANSI code page) of the device, or nullptr when none. Rows
// are visited from Z: to A: and every match overwrites, so the letter
// nearest A: wins. A row counts only when its host and share are both set;
// its share is compared ignoring case. Null texts read as empty.
const char* MappedDriveForShare(const char* shareName, const char* deviceName,
                                const char* deviceAddress, HostMatch mode);

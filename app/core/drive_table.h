// What each local drive letter is connected to, and the rules over it that
// the main window uses: the free letters it offers, a spare letter for a
// companion share, the letter of a companion share.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct MappedDriveEntry {
  char host[256];  // host part of \\host\share; empty when not a network connection
  char share[256];  // everything after the host's backslash; empty when not connected
  char drive[8];  // "Z:" .. "A:"
};

// Row 0 is Z:, row 1 Y:, ..., row 25 A:. Starts zeroed; ScanMappedDrives is
// the only writer of host and share.
constexpr int kMappedDriveRows = 26;
struct MappedDriveTableRecord {
  MappedDriveEntry row[kMappedDriveRows];
};
extern MappedDriveTableRecord MappedDriveTable;

constexpr char DriveLetterOfRow(int row) { return static_cast<char>('Z' - row); }

// GetDriveTypeA results the rules look at.
constexpr unsigned kDriveUnknown = 0;
constexpr unsigned kDriveNoRootDir = 1;
constexpr unsigned kDriveRemovable = 2;
constexpr unsigned kDriveFixed = 3;
constexpr unsigned kDriveRemote = 4;
constexpr unsigned kDriveCdRom = 5;
constexpr unsigned kDriveRamDisk = 6;

// The members of the connection record (NETRESOURCE) that a mapping fills;
// the others stay zero.
constexpr unsigned kResourceTypeAny = 0;  // RESOURCETYPE_ANY
constexpr unsigned kResourceTypeDisk = 1;  // RESOURCETYPE_DISK
struct NetConnection {
  unsigned type;  // kResourceTypeDisk, or kResourceTypeAny without a letter
  const char* localName;  // "Z:"; null: no letter
  const char* remoteName;  // "\\host\share"
  const char* provider;  // null: Windows picks the network
};

// Connection flags (WNetAddConnection2A, WNetCancelConnection2A).
constexpr unsigned kConnectUpdateProfile = 1;  // CONNECT_UPDATE_PROFILE
constexpr unsigned kConnectInteractive = 8;  // CONNECT_INTERACTIVE

// WNet results the program tells apart.
constexpr unsigned long kNetNoError = 0;
constexpr unsigned long kNetNotConnected = 2250;  // ERROR_NOT_CONNECTED
constexpr unsigned long kNetNotSupported = 50;  // ERROR_NOT_SUPPORTED

// The system calls behind the table and the drive mapping: the one home of
// the Windows networking (MPR) calls. The Windows build uses the WNet
// functions and GetDriveTypeA; elsewhere the default reports no connection,
// kDriveUnknown for every letter and refuses to connect. Tests install their
// own.
struct DrivePlatform {
  virtual ~DrivePlatform() = default;
  // Remote name the drive ("Z:") is connected to, terminated within cap;
  // false when it is not a network connection or the call fails.
  virtual bool RemoteName(const char* drive, char* remote, size_t cap) = 0;
  // Drive type of the drive ("Z:"), a GetDriveTypeA value.
  virtual unsigned DriveType(const char* drive) = 0;
  // WNetAddConnection2A: connects resource with password and user (either
  // may be null: the default credentials, or "" for empty ones) and flags.
  // kNetNoError on success, else the system's error code.
  virtual unsigned long AddConnection(const NetConnection& resource, const char* password,
                                      const char* user, unsigned flags) = 0;
  // WNetCancelConnection2A of name ("Z:"); force drops it even with files
  // open. kNetNoError on success.
  virtual unsigned long CancelConnection(const char* name, unsigned flags, bool force) = 0;
  // WNetGetUserA with a null local name: the logged-on user, terminated
  // within cap; false (and "") when the call fails.
  virtual bool LoggedOnUser(char* user, size_t cap) = 0;
};
DrivePlatform& SystemDrivePlatform();
// nullptr goes back to SystemDrivePlatform(). The platform is not owned.
void SetDrivePlatform(DrivePlatform* platform);
DrivePlatform& ActiveDrivePlatform();

// A letter the user may map: not A: or B:, and not removable, fixed, CD-ROM
// or RAM disk. Remote, no-root-dir and unknown letters are usable.
bool IsUsableDriveLetter(char letter, unsigned driveType);
// The rule for one table row, asking the platform for the type.
bool IsUsableDriveRow(int row);

// Refills the whole table from Z: to A:. A drive without a connection gets
// empty host and share; a remote name without a backslash at position 2 or
// later leaves that row's host and share as they were.
void ScanMappedDrives();

// The items of the drive-letter combo, in order Z: to A:, one per usable
// letter: "Z:" when free, "Z: \\host\share" when mapped (host and share both
// non-empty). selected is the index of the first free item, -1 when none.
struct DriveLetterComboItem {
  std::string text;
  int row;  // MappedDriveTable row of the letter
};
struct DriveLetterComboContent {
  std::vector<DriveLetterComboItem> items;
  int selected;
};
DriveLetterComboContent BuildDriveLetterCombo();

// First usable free row from Z: whose letter differs from chosen's first
// character (compared without case); its drive text, or nullptr when none.
// chosen may be a combo item text such as "Z: \\host\share", or null.
const char* FindSpareDriveLetter(const char* chosen);

// Drive text of the first row from Z: whose share equals companionShare
// exactly; "" when none does or the name is empty (never nullptr).
const char* FindRecycleBinDrive(const char* companionShare);

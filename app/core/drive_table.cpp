#include "drive_table.h"

#include <cstdio>
#include <cstring>

MappedDriveTableRecord MappedDriveTable = {};

namespace {

DrivePlatform* g_platform = nullptr;

// Copies at most len characters of src into dst[cap], cut to fit.
void CopyCut(char* dst, size_t cap, const char* src, size_t len) {
  if (len > cap - 1) len = cap - 1;
  std::memcpy(dst, src, len);
  dst[len] = '\0';
}

bool IsFree(const MappedDriveEntry& e) { return e.host[0] == '\0' || e.share[0] == '\0'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void SetDrivePlatform(DrivePlatform* platform) { g_platform = platform; }

DrivePlatform& ActiveDrivePlatform() { return g_platform != nullptr ? *g_platform : SystemDrivePlatform(); }

bool IsUsableDriveLetter(char letter, unsigned driveType) {
  letter = Upper(letter);
  if (letter == 'A' || letter == 'B') return false;
  switch (driveType) {
    case kDriveRemovable:
    case kDriveFixed:
    case kDriveCdRom:
    case kDriveRamDisk:
      return false;
    default:
      return true;
  }
}

bool IsUsableDriveRow(int row) {
  if (row < 0 || row >= kMappedDriveRows) return false;
  const MappedDriveEntry& e = MappedDriveTable.row[row];
  return IsUsableDriveLetter(DriveLetterOfRow(row), ActiveDrivePlatform().DriveType(e.drive));
}

void ScanMappedDrives() {
  DrivePlatform& platform = ActiveDrivePlatform();
  for (int i = 0; i < kMappedDriveRows; ++i) {
    MappedDriveEntry& e = MappedDriveTable.row[i];
    std::snprintf(e.drive, sizeof e.drive, "%c:", DriveLetterOfRow(i));

    char remote[256] = {};
    if (!platform.RemoteName(e.drive, remote, sizeof remote)) {
      e.host[0] = '\0';
      e.share[0] = '\0';
      continue;
    }
    remote[sizeof remote - 1] = '\0';
    // \\host\share: the host runs from position 2 to the next backslash.
    const size_t len = std::strlen(remote);
    const char* slash = len > 2 ? std::strchr(remote + 2, '\\') : nullptr;
    if (slash == nullptr) continue;
    CopyCut(e.host, sizeof e.host, remote + 2, static_cast<size_t>(slash - (remote + 2)));
    CopyCut(e.share, sizeof e.share, slash + 1, std::strlen(slash + 1));
  }
}

DriveLetterComboContent BuildDriveLetterCombo() {
  DriveLetterComboContent content{{}, -1};
  for (int i = 0; i < kMappedDriveRows; ++i) {
    if (!IsUsableDriveRow(i)) continue;
    const MappedDriveEntry& e = MappedDriveTable.row[i];
    DriveLetterComboItem item{e.drive, i};
    if (!IsFree(e)) {
      item.text.append(" \\\\").append(e.host).append("\\").append(e.share);
    } else if (content.selected < 0) {
      content.selected = static_cast<int>(content.items.size());
    }
    content.items.push_back(std::move(item));
  }
  return content;
}

const char* FindSpareDriveLetter(const char* chosen) {
  const char avoid = (chosen != nullptr) ? Upper(chosen[0]) : '\0';
  for (int i = 0; i < kMappedDriveRows; ++i) {
    if (!IsUsableDriveRow(i)) continue;
    const MappedDriveEntry& e = MappedDriveTable.row[i];
    if (IsFree(e) && DriveLetterOfRow(i) != avoid) return e.drive;
  }
  return nullptr;
}

const char* FindRecycleBinDrive(const char* companionShare) {
  if (companionShare == nullptr || companionShare[0] == '\0') return "";
  for (const MappedDriveEntry& e : MappedDriveTable.row) {
    if (std::strcmp(e.share, companionShare) == 0) return e.drive;
  }
  return "";
}

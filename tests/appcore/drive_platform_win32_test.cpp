// The real Windows platform under Wine: its C: is a fixed disk and letters
// nothing is mounted on have no root directory and no connection.
#include <gtest/gtest.h>

#include "drive_table.h"

namespace {

TEST(Win32DrivePlatform, ReportsFixedAndAbsentLetters) {
  DrivePlatform& platform = SystemDrivePlatform();
  EXPECT_EQ(kDriveFixed, platform.DriveType("C:"));
  EXPECT_EQ(kDriveNoRootDir, platform.DriveType("Q:"));
  char remote[256] = "untouched";
  EXPECT_FALSE(platform.RemoteName("Q:", remote, sizeof remote));
  EXPECT_STREQ("", remote);
}

TEST(Win32DrivePlatform, ScanLeavesLocalLettersEmptyAndNeverOffersC) {
  SetDrivePlatform(nullptr);
  ScanMappedDrives();
  const MappedDriveEntry& c = MappedDriveTable.row['Z' - 'C'];
  EXPECT_STREQ("C:", c.drive);
  EXPECT_STREQ("", c.host);
  EXPECT_STREQ("", c.share);
  for (const DriveLetterComboItem& item : BuildDriveLetterCombo().items) {
    EXPECT_NE("C:", item.text);
  }
}

}  // namespace

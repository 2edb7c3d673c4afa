#include "share_match.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_drive_platform.h"

namespace {

TEST(IsRecycleBinShare, ElevenCharacterPrefix) {
  struct {
    const char* name;
    bool skipped;
  } const cases[] = {
      {"Recycle Bin", true},
      {"Recycle Bin - data", true},
      {"Recycle Binary", true},
      {"Recycle", false},
      {"Recycle Bi", false},
      {"recycle bin - data", false},
      {" Recycle Bin", false},
      {"data", false},
      {"", false},
      {nullptr, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.skipped, IsRecycleBinShare(c.name)) << (c.name ? c.name : "(null)");
  }
}

const char* Show(const char* drive) { return drive ? drive : "(none)"; }

class ShareMatchTest : public DriveTableTest {};

TEST_F(ShareMatchTest, HostMatchModes) {
  fake.Map("X:", "\\\\NAS-One\\byname");
  fake.Map("W:", "\\\\nas-one\\lowername");
  fake.Map("V:", "\\\\192.168.0.5\\byaddress");
  fake.Map("U:", "\\\\other\\elsewhere");
  ScanMappedDrives();

  struct {
    const char* share;
    HostMatch mode;
    const char* want;
  } const cases[] = {
      {"byname", HostMatch::NameOrAddressNoCase, "X:"},
      {"lowername", HostMatch::NameOrAddressNoCase, "W:"},
      {"byaddress", HostMatch::NameOrAddressNoCase, "V:"},
      {"elsewhere", HostMatch::NameOrAddressNoCase, nullptr},
      {"byname", HostMatch::NameOrAddressExact, "X:"},
      {"lowername", HostMatch::NameOrAddressExact, nullptr},
      {"byaddress", HostMatch::NameOrAddressExact, "V:"},
      {"byname", HostMatch::AddressOnly, nullptr},
      {"lowername", HostMatch::AddressOnly, nullptr},
      {"byaddress", HostMatch::AddressOnly, "V:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.share << " mode " << static_cast<int>(c.mode));
    const char* got = MappedDriveForShare(c.share, "NAS-One", "192.168.0.5", c.mode);
    EXPECT_STREQ(Show(c.want), Show(got));
  }
}

TEST_F(ShareMatchTest, ShareComparedIgnoringCase) {
  fake.Map("X:", "\\\\nas\\Public");
  ScanMappedDrives();
  EXPECT_STREQ("X:", Show(MappedDriveForShare("PUBLIC", "nas", "10.0.0.2", HostMatch::NameOrAddressExact)));
  EXPECT_STREQ("X:", Show(MappedDriveForShare("public", "nas", "10.0.0.2", HostMatch::NameOrAddressNoCase)));
  EXPECT_STREQ("(none)", Show(MappedDriveForShare("Publi", "nas", "10.0.0.2", HostMatch::NameOrAddressNoCase)));
  EXPECT_STREQ("(none)", Show(MappedDriveForShare("Public2", "nas", "10.0.0.2", HostMatch::NameOrAddressNoCase)));
}

TEST_F(ShareMatchTest, LetterNearestAWins) {
  fake.Map("Y:", "\\\\nas\\data");
  fake.Map("M:", "\\\\10.0.0.2\\DATA");
  fake.Map("F:", "\\\\nas\\data");
  fake.Map("E:", "\\\\other\\data");
  ScanMappedDrives();
  EXPECT_STREQ("F:", Show(MappedDriveForShare("data", "nas", "10.0.0.2", HostMatch::NameOrAddressNoCase)));
  EXPECT_STREQ("M:", Show(MappedDriveForShare("data", "nas", "10.0.0.2", HostMatch::AddressOnly)));
}

TEST_F(ShareMatchTest, UnmappedLettersNeverMatch) {
  // Unmapped rows have empty host and share: an empty share name of a
  // device without a name must not pick them up.
  ScanMappedDrives();
  EXPECT_STREQ("(none)", Show(MappedDriveForShare("", "", "", HostMatch::NameOrAddressNoCase)));
  EXPECT_STREQ("(none)", Show(MappedDriveForShare(nullptr, nullptr, nullptr, HostMatch::NameOrAddressExact)));
  fake.Map("X:", "\\\\nas\\");
  ScanMappedDrives();
  EXPECT_STREQ("(none)", Show(MappedDriveForShare("", "nas", "", HostMatch::NameOrAddressNoCase)));
}

}  // namespace

#include "drive_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_drive_platform.h"

namespace {

std::vector<std::string> Texts(const DriveLetterComboContent& c) {
  std::vector<std::string> texts;
  for (const auto& item : c.items) texts.push_back(item.text);
  return texts;
}

std::vector<std::string> Letters(char from, char downTo) {
  std::vector<std::string> out;
  for (char c = from; c >= downTo; --c) out.push_back(std::string(1, c) + ":");
  return out;
}

TEST_F(DriveTableTest, ScanWritesEveryDriveTextZFirst) {
  ScanMappedDrives();
  for (int i = 0; i < kMappedDriveRows; ++i) {
    const std::string want = std::string(1, static_cast<char>('Z' - i)) + ":";
    EXPECT_EQ(want, MappedDriveTable.row[i].drive) << "row " << i;
  }
  EXPECT_EQ('Z', DriveLetterOfRow(0));
  EXPECT_EQ('A', DriveLetterOfRow(25));
}

struct SplitCase {
  const char* remote;
  const char* host;
  const char* share;
};

const SplitCase kSplitCases[] = {
    {"\\\\host\\share", "host", "share"},
    {"\\\\192.168.0.5\\Public Data", "192.168.0.5", "Public Data"},
    {"\\\\host\\share\\sub\\dir", "host", "share\\sub\\dir"},
    {"\\\\host\\", "host", ""},
    {"\\\\\\share", "", "share"},
};

TEST_F(DriveTableTest, ScanSplitsRemoteNameAtFirstBackslashAfterHost) {
  for (const SplitCase& c : kSplitCases) {
    SCOPED_TRACE(c.remote);
    fake.Map("X:", c.remote);
    ScanMappedDrives();
    EXPECT_STREQ(c.host, Row('X').host);
    EXPECT_STREQ(c.share, Row('X').share);
  }
}

TEST_F(DriveTableTest, RemoteNameWithoutBackslashKeepsRowAsItWas) {
  fake.Map("X:", "\\\\nas\\music");
  ScanMappedDrives();
  for (const char* odd : {"\\\\hostonly", "\\\\", "ab", ""}) {
    SCOPED_TRACE(odd);
    fake.Map("X:", odd);
    ScanMappedDrives();
    EXPECT_STREQ("nas", Row('X').host);
    EXPECT_STREQ("music", Row('X').share);
  }
  // From a zeroed table such a row stays empty.
  std::memset(&MappedDriveTable, 0, sizeof MappedDriveTable);
  ScanMappedDrives();
  EXPECT_STREQ("", Row('X').host);
  EXPECT_STREQ("", Row('X').share);
  EXPECT_STREQ("X:", Row('X').drive);
}

TEST_F(DriveTableTest, DisconnectedLetterIsEmptiedAtNextScan) {
  fake.Map("X:", "\\\\nas\\music");
  ScanMappedDrives();
  ASSERT_STREQ("music", Row('X').share);
  fake.Unmap("X:");
  ScanMappedDrives();
  EXPECT_STREQ("", Row('X').host);
  EXPECT_STREQ("", Row('X').share);
}

TEST_F(DriveTableTest, LongestRemoteNameFitsItsFields) {
  // The connection buffer holds 255 characters: "\\" + host + "\" + share.
  const std::string host(200, 'h');
  const std::string share(255 - 3 - host.size(), 's');
  fake.Map("X:", "\\\\" + host + "\\" + share);
  const std::string hostOnly(252, 'h');
  fake.Map("W:", "\\\\" + hostOnly + "\\");
  ScanMappedDrives();
  EXPECT_EQ(host, Row('X').host);
  EXPECT_EQ(share, Row('X').share);
  EXPECT_EQ(hostOnly, Row('W').host);
  EXPECT_STREQ("", Row('W').share);
  EXPECT_STREQ("W:", Row('W').drive);
}

struct UsableCase {
  char letter;
  unsigned type;
  bool usable;
};

const UsableCase kUsableCases[] = {
    {'A', kDriveNoRootDir, false},
    {'B', kDriveRemote, false},
    {'C', kDriveFixed, false},
    {'D', kDriveCdRom, false},
    {'E', kDriveRemovable, false},
    {'F', kDriveRamDisk, false},
    {'G', kDriveRemote, true},
    {'H', kDriveNoRootDir, true},
    {'I', kDriveUnknown, true},
    {'Z', 7, true},
};

TEST(IsUsableDriveLetter, UsableTable) {
  for (const UsableCase& c : kUsableCases) {
    EXPECT_EQ(c.usable, IsUsableDriveLetter(c.letter, c.type)) << c.letter << ": type " << c.type;
  }
}

TEST_F(DriveTableTest, ComboListsMappedThenFreeLettersAndSelectsFirstFree) {
  fake.type["C:"] = kDriveFixed;
  fake.type["D:"] = kDriveCdRom;
  fake.Map("Z:", "\\\\host\\share");
  ScanMappedDrives();

  const DriveLetterComboContent combo = BuildDriveLetterCombo();
  std::vector<std::string> want = {"Z: \\\\host\\share"};
  for (const std::string& l : Letters('Y', 'E')) want.push_back(l);
  EXPECT_EQ(want, Texts(combo));
  EXPECT_EQ(1, combo.selected);
  ASSERT_FALSE(combo.items.empty());
  EXPECT_EQ(0, combo.items[0].row);
  EXPECT_EQ(21, combo.items.back().row) << "E: is row 21";
  // The drive text is what GetDriveTypeA is asked about.
  EXPECT_EQ(1, fake.typeCalls["C:"]);
}

TEST_F(DriveTableTest, ComboWithEveryUsableLetterMappedSelectsNothing) {
  for (char c = 'Z'; c >= 'C'; --c) {
    const std::string l = std::string(1, c) + ":";
    fake.Map(l, "\\\\nas\\s" + std::string(1, c));
  }
  ScanMappedDrives();
  const DriveLetterComboContent combo = BuildDriveLetterCombo();
  ASSERT_EQ(24u, combo.items.size()) << "Z: to C:, never A: or B:";
  for (const auto& item : combo.items) {
    EXPECT_NE(std::string::npos, item.text.find(": \\\\nas\\")) << "got " << item.text;
  }
  EXPECT_EQ(-1, combo.selected);
}

TEST_F(DriveTableTest, ComboSelectsFirstFreeAfterSeveralMapped) {
  fake.Map("Z:", "\\\\nas\\a");
  fake.Map("Y:", "\\\\nas\\b");
  fake.type["X:"] = kDriveFixed;
  fake.Map("W:", "\\\\nas\\");  // host without share counts as free
  ScanMappedDrives();
  const DriveLetterComboContent combo = BuildDriveLetterCombo();
  ASSERT_GE(combo.items.size(), 4u);
  EXPECT_EQ("Z: \\\\nas\\a", combo.items[0].text);
  EXPECT_EQ("Y: \\\\nas\\b", combo.items[1].text);
  EXPECT_EQ("W:", combo.items[2].text);
  EXPECT_EQ(2, combo.selected);
}

struct SpareCase {
  const char* name;
  std::vector<std::string> mapped;
  std::vector<std::string> fixed;
  const char* chosen;
  const char* want;  // nullptr: none
};

TEST_F(DriveTableTest, FindSpareDriveLetterTable) {
  std::vector<std::string> allButAB;
  for (const std::string& l : Letters('Z', 'C')) allButAB.push_back(l);
  std::vector<std::string> allButABZ(allButAB.begin() + 1, allButAB.end());

  const SpareCase cases[] = {
      {"Z chosen, Z and Y free", {}, {}, "Z:", "Y:"},
      {"chosen in mapped form", {"Z:"}, {}, "Z: \\\\host\\share", "Y:"},
      {"Y chosen", {}, {}, "Y:", "Z:"},
      {"lower-case chosen", {}, {}, "z:", "Y:"},
      {"skips mapped and fixed", {"Y:"}, {"X:", "W:"}, "Z:", "V:"},
      {"no chosen letter", {}, {}, nullptr, "Z:"},
      {"only the chosen letter free", allButABZ, {}, "Z:", nullptr},
      {"all usable mapped, A: and B: never", allButAB, {}, "Z:", nullptr},
  };
  for (const SpareCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::memset(&MappedDriveTable, 0, sizeof MappedDriveTable);
    fake.remote.clear();
    fake.type.clear();
    for (const std::string& l : c.mapped) fake.Map(l, "\\\\nas\\x");
    for (const std::string& l : c.fixed) fake.type[l] = kDriveFixed;
    ScanMappedDrives();
    const char* got = FindSpareDriveLetter(c.chosen);
    if (c.want == nullptr) {
      EXPECT_EQ(nullptr, got) << "got " << got;
    } else {
      ASSERT_NE(nullptr, got) << "expected " << c.want;
      EXPECT_STREQ(c.want, got);
    }
  }
}

TEST_F(DriveTableTest, FindRecycleBinDriveMatchesShareExactlyZFirst) {
  fake.Map("X:", "\\\\nas\\Recycle Bin - data");
  fake.Map("D:", "\\\\other\\Recycle Bin - data");
  fake.Map("W:", "\\\\nas\\Recycle Bin - DATA2");
  ScanMappedDrives();
  EXPECT_STREQ("X:", FindRecycleBinDrive("Recycle Bin - data"));
  EXPECT_STREQ("W:", FindRecycleBinDrive("Recycle Bin - DATA2"));
  EXPECT_STREQ("", FindRecycleBinDrive("recycle bin - data"));
  EXPECT_STREQ("", FindRecycleBinDrive("Recycle Bin - music"));
  // An empty name must not match the empty share of an unmapped letter.
  EXPECT_STREQ("", FindRecycleBinDrive(""));
  EXPECT_STREQ("", FindRecycleBinDrive(nullptr));
}

TEST(DrivePlatformSeam, SetterInstallsAndRestores) {
  FakeDrivePlatform fake;
  SetDrivePlatform(&fake);
  EXPECT_EQ(&fake, &ActiveDrivePlatform());
  SetDrivePlatform(nullptr);
  EXPECT_EQ(&SystemDrivePlatform(), &ActiveDrivePlatform());
}

}  // namespace

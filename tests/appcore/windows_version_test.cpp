#include "windows_version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct VersionCase {
  unsigned platform, major, minor, build;
  const char* name;
  int code;
  bool known;
};

const VersionCase kVersionCases[] = {
    {1, 4, 0, 949, "unknown Windows version", 0, false},
    {1, 4, 0, 950, "Windows 95", 1, true},
    {1, 4, 0, 951, "Windows 95 SP1", 2, true},
    {1, 4, 0, 1080, "Windows 95 SP1", 2, true},
    {1, 4, 0, 1081, "Windows 95 OSR2", 3, true},
    {1, 4, 3, 1214, "Windows 95 OSR2", 3, true},
    // 9x puts major and minor in the high word of the build number.
    {1, 4, 0, 0x040003B6u, "Windows 95", 1, true},
    {1, 4, 10, 1997, "unknown Windows version", 0, false},
    {1, 4, 10, 1998, "Windows 98", 4, true},
    {1, 4, 10, 0x040A07CEu, "Windows 98", 4, true},
    {1, 4, 10, 1999, "Windows 98 SP1", 5, true},
    {1, 4, 10, 2182, "Windows 98 SP1", 5, true},
    {1, 4, 10, 2183, "Windows 98 SE", 6, true},
    {1, 4, 10, 0x040A0888u, "Windows 98 SE", 6, true},
    {1, 4, 90, 3000, "Windows ME", 7, true},
    {1, 4, 90, 0, "Windows ME", 7, true},
    {1, 4, 11, 2222, "unknown Windows version", 0, false},
    {1, 5, 0, 950, "unknown Windows version", 0, false},
    {2, 3, 51, 1057, "Windows NT 3.51", 101, true},
    {2, 3, 50, 807, "unknown Windows version", 0, false},
    {2, 4, 0, 1381, "Windows NT 4", 102, true},
    {2, 5, 0, 2195, "Windows 2000", 103, true},
    {2, 5, 1, 2600, "Windows XP", 104, true},
    {2, 5, 2, 3790, "unknown Windows version", 0, false},
    {2, 6, 0, 6000, "Vista", 0, true},
    {2, 6, 1, 7601, "Vista", 0, true},
    {2, 6, 2, 9200, "Vista", 0, true},
    {2, 10, 0, 19045, "unknown Windows version", 0, false},
    {3, 5, 0, 1, "Windows CE", 201, true},
    {0, 4, 0, 950, "unknown Windows version", 0, false},
    {4, 6, 0, 6000, "unknown Windows version", 0, false},
};

TEST(ClassifyWindowsVersion, VersionTable) {
  for (const VersionCase& c : kVersionCases) {
    SCOPED_TRACE(::testing::Message() << "platform " << c.platform << " version " << c.major << "." << c.minor
                                      << " build " << c.build);
    char name[64];
    std::memset(name, 'x', sizeof name);
    int code = -1;
    EXPECT_EQ(c.known, ClassifyWindowsVersion(c.platform, c.major, c.minor, c.build, name, sizeof name, &code));
    EXPECT_STREQ(c.name, name);
    EXPECT_EQ(c.code, code);
  }
}

TEST(ClassifyWindowsVersion, NameIsCutToItsBuffer) {
  char name[8];
  std::memset(name, 'x', sizeof name);
  int code = -1;
  ClassifyWindowsVersion(2, 5, 1, 2600, name, sizeof name, &code);
  EXPECT_STREQ("Windows", name);
  EXPECT_EQ(104, code);

  char guard[2] = {'x', 'y'};
  ClassifyWindowsVersion(2, 5, 1, 2600, guard, 0, nullptr);
  EXPECT_EQ('x', guard[0]) << "a zero-sized buffer is not written";
  ClassifyWindowsVersion(2, 5, 1, 2600, guard, 1, nullptr);
  EXPECT_EQ('\0', guard[0]);
  EXPECT_EQ('y', guard[1]);
}

struct NameTestCase {
  const char* name;
  bool meOr98, oldNt, vista;
};

const NameTestCase kNameTests[] = {
    {"Windows 98", true, false, false},
    {"Windows 98 SP1", true, false, false},
    {"Windows 98 SE", true, false, false},
    {"Windows ME", true, false, false},
    {"Windows 95 OSR2", false, false, false},
    {"Windows NT 3.51", false, true, false},
    {"Windows NT 4", false, true, false},
    {"Windows 2000", false, false, false},
    {"Windows XP", false, false, false},
    {"Vista", false, false, true},
    {"Windows CE", false, false, false},
    {"unknown Windows version", false, false, false},
    {"", false, false, false},
    {nullptr, false, false, false},
};

TEST(VersionNameTests, WhichRulesApply) {
  for (const NameTestCase& c : kNameTests) {
    SCOPED_TRACE(c.name ? c.name : "(null)");
    EXPECT_EQ(c.meOr98, VersionNameIsMeOr98(c.name));
    EXPECT_EQ(c.oldNt, VersionNameIsOldNt(c.name));
    EXPECT_EQ(c.vista, VersionNameIsVista(c.name));
  }
}

}  // namespace

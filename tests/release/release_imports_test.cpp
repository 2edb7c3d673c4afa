// The release's programs must start on Windows XP SP3: their import tables
// may name no function that XP lacks, and their subsystem version may not
// exceed 5.1.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "pe_imports.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> XpMissing() {
  const std::vector<uint8_t> bytes = ReadBytes(NEXORA_XP_MISSING_LIST);
  return ReadFunctionList(std::string(bytes.begin(), bytes.end()));
}

// Windows XP is NT 5.1; a higher subsystem version makes its loader refuse
// the program.
bool StartsOnXp(const PeImage& image) {
  return image.subsystemMajor < 5 || (image.subsystemMajor == 5 && image.subsystemMinor <= 1);
}

// A small 32- or 64-bit PE image: one section holding the import table of
// the given DLLs. Function names starting with '#' are imported by ordinal.
class PeBuilder {
public:
  PeBuilder(bool wide, uint16_t subsystemMajor, uint16_t subsystemMinor)
      : m_wide(wide), m_major(subsystemMajor), m_minor(subsystemMinor) {}
  PeBuilder& Import(const std::string& dll, std::vector<std::string> functions) {
    m_dlls.push_back({dll, std::move(functions)});
    return *this;
  }
  std::vector<uint8_t> Build() const {
    const uint32_t optionalSize = m_wide ? 240 : 224, sectionRva = 0x1000, sectionFile = 0x200;
    const uint32_t thunkSize = m_wide ? 8 : 4;
    // Section layout: descriptors, then per DLL its lookup table, then names.
    std::vector<uint8_t> idata((m_dlls.size() + 1) * 20, 0);
    for (size_t d = 0; d < m_dlls.size(); ++d) {
      const uint32_t lookup = sectionRva + static_cast<uint32_t>(idata.size());
      idata.resize(idata.size() + (m_dlls[d].second.size() + 1) * thunkSize, 0);
      for (size_t f = 0; f < m_dlls[d].second.size(); ++f) {
        const std::string& name = m_dlls[d].second[f];
        uint64_t entry;
        if (name[0] == '#') {
          entry = std::stoul(name.substr(1)) | (m_wide ? (1ull << 63) : (1ull << 31));
        } else {
          entry = sectionRva + idata.size();
          idata.push_back(0), idata.push_back(0);  // hint
          idata.insert(idata.end(), name.begin(), name.end());
          idata.push_back(0);
        }
        Put(&idata, lookup - sectionRva + f * thunkSize, entry, thunkSize);
      }
      const uint32_t nameRva = sectionRva + static_cast<uint32_t>(idata.size());
      idata.insert(idata.end(), m_dlls[d].first.begin(), m_dlls[d].first.end());
      idata.push_back(0);
      Put(&idata, d * 20 + 0, lookup, 4);
      Put(&idata, d * 20 + 12, nameRva, 4);
      Put(&idata, d * 20 + 16, lookup, 4);
    }
    std::vector<uint8_t> file(sectionFile + idata.size(), 0);
    Put(&file, 0, 0x5A4D, 2);
    Put(&file, 0x3C, 0x40, 4);
    Put(&file, 0x40, 0x00004550, 4);
    Put(&file, 0x44, m_wide ? 0x8664 : 0x14C, 2);
    Put(&file, 0x46, 1, 2);  // one section
    Put(&file, 0x54, optionalSize, 2);
    const size_t opt = 0x58;
    Put(&file, opt, m_wide ? 0x20B : 0x10B, 2);
    Put(&file, opt + 48, m_major, 2);
    Put(&file, opt + 50, m_minor, 2);
    const size_t directories = opt + (m_wide ? 112 : 96);
    Put(&file, directories - 4, 16, 4);
    Put(&file, directories + 8, sectionRva, 4);
    Put(&file, directories + 12, (m_dlls.size() + 1) * 20, 4);
    const size_t section = opt + optionalSize;
    std::memcpy(&file[section], ".idata", 6);
    Put(&file, section + 8, idata.size(), 4);
    Put(&file, section + 12, sectionRva, 4);
    Put(&file, section + 16, idata.size(), 4);
    Put(&file, section + 20, sectionFile, 4);
    std::copy(idata.begin(), idata.end(), file.begin() + sectionFile);
    return file;
  }

private:
  static void Put(std::vector<uint8_t>* bytes, size_t at, uint64_t value, int size) {
    for (int i = 0; i < size; ++i) (*bytes)[at + i] = static_cast<uint8_t>(value >> (8 * i));
  }
  bool m_wide;
  uint16_t m_major, m_minor;
  std::vector<std::pair<std::string, std::vector<std::string>>> m_dlls;
};

TEST(ReleaseImports, ReleaseStartsOnWindowsXp) {
  // The programs of the release zip.
  for (const char* program : {"NexoraStorageUtility.exe", "nexora-cli.exe"}) {
    SCOPED_TRACE(program);
    const std::string path = std::string(NEXORA_RELEASE_BIN) + "/" + program;
    const std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_FALSE(bytes.empty()) << "expected the release at " << path
                                << " (build the windows-x86 preset first), got no file";
    PeImage image;
    std::string error;
    ASSERT_TRUE(ReadPeImage(bytes, &image, &error)) << error;
    EXPECT_TRUE(StartsOnXp(image)) << "expected subsystem version 5.1 or lower, got " << image.subsystemMajor << "."
                                   << image.subsystemMinor;
    const std::vector<std::string> found = ImportsAmong(image, XpMissing());
    std::string names;
    for (const std::string& f : found) names += " " + f;
    EXPECT_TRUE(found.empty()) << "expected no import that Windows XP lacks, got" << names;
    EXPECT_FALSE(image.imports.empty()) << "expected the release to import from KERNEL32, got no imports";
  }
}

// The checker on small images: it must see Vista-era imports in any DLL, by
// name only, in 32- and 64-bit images, and judge the subsystem version.
TEST(ReleaseImports, CheckerCatchesWhatXpLacks) {
  struct Case {
    const char* what;
    bool wide;
    uint16_t major, minor;
    std::vector<std::pair<std::string, std::vector<std::string>>> imports;
    bool startsOnXp;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"XP-era imports only", false, 4, 0, {{"KERNEL32.dll", {"Sleep", "GetTickCount", "CreateThread"}}}, true, {}},
      {"runtime clock", false, 5, 1, {{"KERNEL32.dll", {"Sleep", "GetTickCount64"}}}, true, {"KERNEL32.dll!GetTickCount64"}},
      {"locks and condition variables in a second DLL",
       false,
       5,
       1,
       {{"msvcrt.dll", {"malloc"}}, {"KERNEL32.dll", {"AcquireSRWLockExclusive", "EnterCriticalSection", "WakeConditionVariable"}}},
       true,
       {"KERNEL32.dll!AcquireSRWLockExclusive", "KERNEL32.dll!WakeConditionVariable"}},
      {"ordinal imports are not names", false, 5, 0, {{"WSOCK32.DLL", {"#3", "#23"}}}, true, {}},
      {"Vista subsystem", false, 6, 0, {{"KERNEL32.dll", {"Sleep"}}}, false, {}},
      {"XP x64 subsystem", false, 5, 2, {{"KERNEL32.dll", {"Sleep"}}}, false, {}},
      {"64-bit image", true, 5, 1, {{"KERNEL32.dll", {"InitOnceExecuteOnce", "#7"}}}, true, {"KERNEL32.dll!InitOnceExecuteOnce"}},
  };
  const std::set<std::string> missing = XpMissing();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PeBuilder builder(c.wide, c.major, c.minor);
    size_t count = 0;
    for (const auto& dll : c.imports) builder.Import(dll.first, dll.second), count += dll.second.size();
    PeImage image;
    std::string error;
    ASSERT_TRUE(ReadPeImage(builder.Build(), &image, &error)) << error;
    EXPECT_EQ(count, image.imports.size()) << "expected every import read back";
    EXPECT_EQ(c.startsOnXp, StartsOnXp(image));
    EXPECT_EQ(c.expected, ImportsAmong(image, missing));
  }
}

// Damaged or foreign files are refused with a reason, never read past.
TEST(ReleaseImports, RefusesWhatIsNotAPeImage) {
  const std::vector<uint8_t> good = PeBuilder(false, 5, 1).Import("KERNEL32.dll", {"Sleep"}).Build();
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> truncated(good.begin(), good.end() - 8);
  std::vector<uint8_t> badSignature = good;
  badSignature[0x40] = 'X';
  std::vector<uint8_t> farHeader = good;
  farHeader[0x3C] = 0xF0, farHeader[0x3D] = 0xFF;
  const std::vector<Case> cases = {
      {"empty file", {}},
      {"text file", std::vector<uint8_t>(100, 'a')},
      {"no PE signature", badSignature},
      {"header offset past the end", farHeader},
      {"import table cut short", truncated},
  };
  for (const Case& c : cases) {
    PeImage image;
    std::string error;
    EXPECT_FALSE(ReadPeImage(c.bytes, &image, &error)) << c.what << ": expected a refusal, got success";
    EXPECT_FALSE(error.empty()) << c.what << ": expected a reason";
  }
}

}  // namespace

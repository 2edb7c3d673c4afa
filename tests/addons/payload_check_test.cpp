// The payload header facts: every generated stand-in matches its row, and
// each kind of damage is named.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "payload_facts.h"
#include "payload_rows.h"

namespace {

const PayloadRow& Row(uint16_t number) {
  for (size_t i = 0; i < kPayloadRowCount; ++i)
    if (kPayloadRows[i].number == number) return kPayloadRows[i];
  ADD_FAILURE() << "no row " << number;
  return kPayloadRows[0];
}

std::string Joined(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& t : v) s += t + "; ";
  return s;
}

}  // namespace

TEST(PayloadFacts, EveryStandInMatchesItsRowAndSaysWhatItIs) {
  const PayloadBytes table169 = GenerateStandIn(Row(169));
  for (size_t i = 0; i < kPayloadRowCount; ++i) {
    const PayloadRow& row = kPayloadRows[i];
    SCOPED_TRACE(row.writtenAs);
    const PayloadBytes b = GenerateStandIn(row);
    EXPECT_EQ(row.size, b.size());
    EXPECT_EQ("", Joined(CheckPayload(row, b, &table169)));
    EXPECT_TRUE(b == GenerateStandIn(row)) << "deterministic";
    // Only the bare 8-byte tables have no room for the marker.
    EXPECT_EQ(row.size > 8, IsStandIn(b));
  }
  EXPECT_TRUE(GenerateStandIn(Row(171)) == table169);
  EXPECT_FALSE(GenerateStandIn(Row(173)) == GenerateStandIn(Row(189))) << "rows differ from each other";
}

TEST(PayloadFacts, LookupIgnoresTheCaseOfTheKind) {
  EXPECT_EQ(&Row(169), FindPayloadRow("Codepage", 169));
  EXPECT_EQ(&Row(215), FindPayloadRow("bt", 215));
  EXPECT_EQ(nullptr, FindPayloadRow("BT", 169));
  EXPECT_EQ(nullptr, FindPayloadRow("CODEPAGES", 169));
  EXPECT_EQ(nullptr, FindPayloadRow("CODEPAGE", 180));
  EXPECT_EQ(nullptr, FindPayloadRow(nullptr, 169));
}

TEST(PayloadFacts, EachDamageIsNamed) {
  struct Case {
    uint16_t row;
    std::function<void(PayloadBytes&)> damage;
    const char* named;
  };
  const std::vector<Case> cases = {
      {145, [](PayloadBytes& b) { b.pop_back(); }, "size 5019, expected 5020"},
      {145, [](PayloadBytes& b) { b[4] = 2; }, "ELF class 2, expected 1"},
      {145, [](PayloadBytes& b) { b[5] = 1; }, "byte order 1, expected 2"},
      {145, [](PayloadBytes& b) { b[19] = 40; }, "machine 40, expected 20"},
      {145, [](PayloadBytes& b) { b[7] = 97; }, "OS/ABI 97, expected 0"},
      {145, [](PayloadBytes& b) { b[17] = 2; }, "type 2, expected 1"},
      {145, [](PayloadBytes& b) { b[0] = 0; }, "not an ELF file"},
      {145, [](PayloadBytes& b) { std::memset(b.data() + 160, 'x', 10); },
       "no module text \"kernel_version=2.4.21-pre4\""},
      {177, [](PayloadBytes& b) { b[37] = 0; }, "flags 0x0, expected 0x200"},
      {193, [](PayloadBytes& b) { std::memcpy(b.data() + 160, "vermagic=2.6.6-arm2 ARMv5 gcc-3.3\0", 34); },
       "no module text \"vermagic=2.6.12.6-arm1 ARMv5 gcc-3.3\""},
      {220, [](PayloadBytes& b) { b[36] = 0x200 & 0xFF; b[37] = 2; }, "flags 0x200, expected 0x2"},
      {220, [](PayloadBytes& b) { b[16] = 1; }, "type 1, expected 2"},
      {220, [](PayloadBytes& b) { b[160] = 'u'; }, "no usage line \"Usage: btdog exe [args]\""},
      {215, [](PayloadBytes& b) { std::memcpy(b.data() + 160, "/lib/ld-linux.so.2\0", 19); },
       "interpreter \"/lib/ld-linux.so.2\", expected \"/lib/ld-uClibc.so.0\""},
      {215, [](PayloadBytes& b) { b[44] = 0; }, "interpreter \"\", expected \"/lib/ld-uClibc.so.0\""},
      {143, [](PayloadBytes& b) { b[0] = 2; }, "table version 2, expected 1"},
      {143, [](PayloadBytes& b) { b[2] = 0x53; }, "code page 851, expected 850"},
      {151, [](PayloadBytes& b) { b[4] = 4; }, "entry area 4 bytes, expected 0"},
      {151, [](PayloadBytes& b) { b.resize(6); }, "shorter than the 8-byte table header"},
      {184, [](PayloadBytes& b) { b[7] = 'X'; }, "not a unicode map named \"KOI8-R\""},
      {148, [](PayloadBytes& b) { b[1] = 0x81; }, "not a unicode map named \"850\""},
      {171, [](PayloadBytes& b) { b[300] ^= 1; }, "not the same bytes as entry 169"},
  };
  const PayloadBytes table169 = GenerateStandIn(Row(169));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(Row(c.row).writtenAs) + ": " + c.named);
    PayloadBytes b = GenerateStandIn(Row(c.row));
    c.damage(b);
    const std::vector<std::string> faults = CheckPayload(Row(c.row), b, &table169);
    EXPECT_NE(faults.end(), std::find(faults.begin(), faults.end(), c.named)) << "got: " << Joined(faults);
  }
}

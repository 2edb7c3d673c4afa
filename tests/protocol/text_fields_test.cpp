// The shared copies into fixed fields and the dotted-address parsers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "address_text.h"
#include "text_copy.h"

namespace {

// The eight bytes of a field as text, zeros shown as '.'.
std::string Bytes8(const char (&field)[8]) {
  std::string s;
  for (char c : field) s.push_back(c == 0 ? '.' : c);
  return s;
}

TEST(TextCopy, CutsTerminatesAndZeroFills) {
  struct Case {
    const char* src;
    const char* text;  // CopyTextField: at most 7 characters and a terminator
    const char* padded;  // CopyPaddedField: up to all 8 bytes
  } cases[] = {
      {"abc", "abc.....", "abc....."},
      {"1234567", "1234567.", "1234567."},
      {"12345678", "1234567.", "12345678"},
      {"123456789", "1234567.", "12345678"},
      {"", "........", "........"},
      {nullptr, "........", "........"},
  };
  for (const Case& c : cases) {
    char field[8];
    std::memset(field, 'x', sizeof field);
    CopyTextField(field, c.src);
    EXPECT_EQ(c.text, Bytes8(field)) << (c.src ? c.src : "(null)");
    std::memset(field, 'x', sizeof field);
    CopyPaddedField(field, c.src);
    EXPECT_EQ(c.padded, Bytes8(field)) << (c.src ? c.src : "(null)");
  }
}

TEST(TextCopy, FieldSourceIsReadOnlyWithinItsWidth) {
  const char source[4] = {'a', 'b', 'c', 'd'};  // no terminator
  char field[8];
  CopyField(field, sizeof field, source, sizeof source);
  EXPECT_EQ("abcd....", Bytes8(field));
}

// Both parsers over one table: the fields of up to three digits, and the
// octets, which must also lie in 0..255. A refused text leaves the output
// untouched.
TEST(AddressText, FieldsAndOctets) {
  struct Case {
    const char* text;
    bool fieldsOk;
    int fields[4];
    bool octetsOk;
  } cases[] = {
      {"192.168.0.32", true, {192, 168, 0, 32}, true},
      {"0.0.0.0", true, {0, 0, 0, 0}, true},
      {"255.255.255.255", true, {255, 255, 255, 255}, true},
      {"010.000.1.2", true, {10, 0, 1, 2}, true},
      {"256.1.1.1", true, {256, 1, 1, 1}, false},
      {"10.0.0.999", true, {10, 0, 0, 999}, false},  // the rules name the field later
      {"1.2.3", false, {}, false},
      {"1.2.3.4.5", false, {}, false},
      {"1..3.4", false, {}, false},
      {"1000.1.1.1", false, {}, false},
      {" 1.2.3.4", false, {}, false},
      {"1.2.3.4 ", false, {}, false},
      {"-1.2.3.4", false, {}, false},
      {"a.b.c.d", false, {}, false},
      {"", false, {}, false},
      {nullptr, false, {}, false},
  };
  for (const Case& c : cases) {
    const char* shown = c.text ? c.text : "(null)";
    int fields[4] = {7, 7, 7, 7};
    EXPECT_EQ(c.fieldsOk, ParseAddressFields(c.text, fields)) << shown;
    uint8_t octets[4] = {9, 9, 9, 9};
    EXPECT_EQ(c.octetsOk, ParseAddressText(c.text, octets)) << shown;
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(c.fieldsOk ? c.fields[i] : 7, fields[i]) << shown << " field " << i;
      EXPECT_EQ(c.octetsOk ? c.fields[i] : 9, int(octets[i])) << shown << " octet " << i;
    }
  }
}

}  // namespace

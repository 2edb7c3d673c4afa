#include "share_name_text.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_text_codec.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::string Repeat(const std::string& piece, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += piece;
  return s;
}

const std::string kEAcute = "\xC3\xA9";  // U+00E9, two bytes in UTF-8
const std::string kSmile = "\xF0\x9F\x98\x80";  // U+1F600, a surrogate pair in UTF-16

// The device's field is 256 bytes and need not be terminated: a buffer of
// 257 lets a case fill all 256.
std::string Shown(fake::CodePage page, const std::string& name) {
  char field[kShareNameBytes + 1] = {};
  name.copy(field, kShareNameBytes);
  fake::TextCodec codec(page);
  return ShareNameForDisplay(field, codec);
}

TEST(ShareNameForDisplay, ConvertsAndCutsAtCharacterBoundaries) {
  using fake::CodePage;
  struct {
    const char* what;
    CodePage page;
    std::string name;
    std::string expected;
  } const cases[] = {
      {"ASCII", CodePage::Latin1, "Public", "Public"},
      {"empty", CodePage::Latin1, "", ""},
      {"Latin-1 letter", CodePage::Latin1, "Caf" + kEAcute, "Caf\xE9"},
      {"missing from the code page", CodePage::Latin1, "\xE6\x97\xA5", "?"},
      {"broken UTF-8 byte by byte", CodePage::Latin1, "a\xC3z\xFF", "a?z?"},
      {"256 bytes of ASCII lose the last", CodePage::Latin1, std::string(256, 'x'), std::string(255, 'x')},
      {"255 bytes fit", CodePage::Latin1, std::string(255, 'x'), std::string(255, 'x')},
      // 128 two-byte characters need 256 bytes: the last whole one goes.
      {"double-byte cut whole", CodePage::DoubleByte, Repeat(kEAcute, 128), fake::EncodeAll(CodePage::DoubleByte, std::u16string(127, u'\u00E9'))},
      // 2 + 126 + 128 bytes: cutting one unit would split the last pair.
      {"surrogate pair never split", CodePage::DoubleByte, "ab" + Repeat(kEAcute, 63) + Repeat(kSmile, 32),
       "ab" + fake::EncodeAll(CodePage::DoubleByte, std::u16string(63, u'\u00E9')) + Repeat(fake::EncodeAll(CodePage::DoubleByte, u"\U0001F600"), 31)},
  };
  for (const auto& c : cases) {
    const std::string got = Shown(c.page, c.name);
    EXPECT_EQ(c.expected, got) << c.what;
    EXPECT_LE(got.size(), size_t(kAnsiShareName - 1)) << c.what;
  }
}

// A codec that converts nothing: the name is shown as its bytes, and a
// 256-byte field without a terminator is read no further than 256.
TEST(ShareNameForDisplay, UnconvertedNameShownAsItsBytes) {
  struct : TextCodec {
    std::u16string Utf8ToUtf16(const char*, int, int) override { return std::u16string(); }
    int Utf16ToAnsi(const char16_t*, int, char*, int) override { return 0; }
  } refusing;
  char field[kShareNameBytes + 8];
  std::memset(field, 'n', sizeof field);
  field[sizeof field - 1] = '\0';
  EXPECT_EQ(std::string(kShareNameBytes, 'n'), ShareNameForDisplay(field, refusing));
}

#ifdef _WIN32
// The system's codec: ASCII unchanged, the 255-byte cut, and a letter of
// the Western code page when that is the computer's.
TEST(ShareNameForDisplay, SystemCodec) {
  char field[kShareNameBytes + 1] = {};
  EXPECT_EQ("Public", ShareNameForDisplay("Public"));
  std::memset(field, 'x', kShareNameBytes);
  EXPECT_EQ(std::string(255, 'x'), ShareNameForDisplay(field));
  EXPECT_EQ("a?z?", ShareNameForDisplay("a\xC3z\xFF")) << "broken UTF-8 shows the default character";
  if (GetACP() == 1252) {
    EXPECT_EQ("Caf\xE9", ShareNameForDisplay(("Caf" + kEAcute).c_str()));
  }
}
#endif

}  // namespace

// A text codec with rules a test can see through: a strict UTF-8 decoder
// (each byte of a broken sequence becomes U+FFFD, as Windows does) and one
// of two model code pages. Latin-1: units up to 0xFF are one byte, anything
// else is '?'. Double-byte (like the East Asian code pages, with GB18030's
// four bytes for a surrogate pair): ASCII is one byte, other units two,
// a pair four, a lone surrogate '?'. Used by the unit tests and the fuzz
// target of ShareNameForDisplay.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>

#include "share_name_text.h"

namespace fake {

enum class CodePage { Latin1,
                      DoubleByte };

inline bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

inline std::u16string DecodeUtf8(const char* text, int length) {
  std::u16string out;
  const auto* s = reinterpret_cast<const uint8_t*>(text);
  int i = 0;
  while (i < length) {
    const uint8_t b = s[i];
    int extra = 0;
    uint32_t cp = 0;
    uint32_t least = 0;
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1, cp = b & 0x1F, least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, cp = b & 0x0F, least = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, cp = b & 0x07, least = 0x10000;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    bool ok = i + extra < length;
    for (int k = 1; ok && k <= extra; ++k) {
      ok = (s[i + k] & 0xC0) == 0x80;
      cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if (!ok || cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += extra + 1;
  }
  return out;
}

// The bytes of the character that starts at wide[i]; *units gets how many
// units it took (2 for a whole surrogate pair).
inline std::string EncodeCharacter(CodePage page, const char16_t* wide, int count, int i, int* units) {
  const char16_t u = wide[i];
  *units = 1;
  if (IsHigh(u) && i + 1 < count && IsLow(wide[i + 1])) {
    *units = 2;
    if (page == CodePage::Latin1) return "?";
    return std::string{'\x90', static_cast<char>(0x30 + (u & 0x0F)), '\x81', static_cast<char>(0x30 + (wide[i + 1] & 0x0F))};
  }
  if (IsHigh(u) || IsLow(u)) return "?";
  if (page == CodePage::Latin1) return u <= 0xFF ? std::string(1, static_cast<char>(u)) : "?";
  if (u < 0x80) return std::string(1, static_cast<char>(u));
  return std::string{static_cast<char>(0x81 + (u >> 9) % 0x7E), static_cast<char>(0x40 + (u & 0x3F))};
}

inline std::string EncodeAll(CodePage page, const std::u16string& wide) {
  std::string out;
  for (int i = 0, units = 0; i < static_cast<int>(wide.size()); i += units)
    out += EncodeCharacter(page, wide.data(), static_cast<int>(wide.size()), i, &units);
  return out;
}

struct TextCodec final : ::TextCodec {
  explicit TextCodec(CodePage p) : page(p) {}
  std::u16string Utf8ToUtf16(const char* utf8, int length, int capacity) override {
    std::u16string wide = DecodeUtf8(utf8, length);
    return static_cast<int>(wide.size()) <= capacity ? wide : std::u16string();
  }
  int Utf16ToAnsi(const char16_t* wide, int count, char* out, int outSize) override {
    const std::string bytes = EncodeAll(page, std::u16string(wide, static_cast<size_t>(count)));
    if (bytes.empty() || static_cast<int>(bytes.size()) > outSize) return 0;
    std::memcpy(out, bytes.data(), bytes.size());
    return static_cast<int>(bytes.size());
  }
  CodePage page;
};

}  // namespace fake

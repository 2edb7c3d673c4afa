#include "share_name_text.h"

#include <cstring>

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

std::string ShareNameForDisplay(const char* utf8, TextCodec& codec) {
  const int length = static_cast<int>(strnlen(utf8, kShareNameBytes));
  if (length == 0) return std::string();
  const std::u16string wide = codec.Utf8ToUtf16(utf8, length, kWideShareName);
  if (wide.empty() || wide.size() > size_t(kWideShareName)) return std::string(utf8, static_cast<size_t>(length));
  // WideCharToMultiByte fails outright when the result does not fit, so
  // fewer units are tried until it does: the longest whole-character prefix.
  const int wideLength = static_cast<int>(wide.size());
  char ansi[kAnsiShareName];
  for (int n = wideLength; n > 0; --n) {
    if (n < wideLength && IsHighSurrogate(wide[size_t(n) - 1])) continue;
    const int got = codec.Utf16ToAnsi(wide.data(), n, ansi, kAnsiShareName - 1);
    if (got > 0 && got < kAnsiShareName) return std::string(ansi, static_cast<size_t>(got));
  }
  return std::string();
}

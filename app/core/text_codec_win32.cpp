// Text conversions of the Windows build: the system's UTF-8 decoder and
// the ANSI code page of the computer.
#include <windows.h>

#include <vector>

#include "share_name_text.h"

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

struct Win32TextCodec final : TextCodec {
  std::u16string Utf8ToUtf16(const char* utf8, int length, int capacity) override {
    if (length <= 0 || capacity <= 0) return std::u16string();
    std::vector<wchar_t> wide(static_cast<size_t>(capacity));
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8, length, wide.data(), capacity);
    if (n <= 0) return std::u16string();
    std::u16string result(static_cast<size_t>(n), u'\0');
    for (int i = 0; i < n; ++i) result[size_t(i)] = static_cast<char16_t>(wide[size_t(i)]);
    return result;
  }

  int Utf16ToAnsi(const char16_t* wide, int count, char* out, int outSize) override {
    if (count <= 0 || outSize <= 0) return 0;
    std::vector<wchar_t> units(wide, wide + count);
    const int n = ::WideCharToMultiByte(CP_ACP, 0, units.data(), count, out, outSize, nullptr, nullptr);
    return n > 0 ? n : 0;
  }
};

}  // namespace

TextCodec& SystemTextCodec() {
  static Win32TextCodec codec;
  return codec;
}

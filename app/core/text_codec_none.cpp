// Text conversions of builds without the Windows code pages: nothing
// decodes, so share names are shown as the device sent them.
#include "share_name_text.h"

namespace {

struct NoTextCodec final : TextCodec {
  std::u16string Utf8ToUtf16(const char*, int, int) override { return std::u16string(); }
  int Utf16ToAnsi(const char16_t*, int, char*, int) override { return 0; }
};

}  // namespace

TextCodec& SystemTextCodec() {
  static NoTextCodec codec;
  return codec;
}

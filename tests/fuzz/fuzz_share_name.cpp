// A share name's display text: the fuzzer's bytes fill the device's
// 256-byte field (no terminator past it), through both model code pages.
// The text shown is at most 255 bytes and is the encoding of the name's
// first whole characters, as many as fit.
#include <cstdlib>
#include <memory>

#include "fake_text_codec.h"
#include "share_name_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  const fake::CodePage page = bytes[0] & 1 ? fake::CodePage::DoubleByte : fake::CodePage::Latin1;
  auto field = std::make_unique<char[]>(kShareNameBytes);  // exactly the field: ASan sees any read past it
  for (size_t i = 1; i < size && i <= size_t(kShareNameBytes); ++i) field[i - 1] = static_cast<char>(bytes[i]);
  fake::TextCodec codec(page);
  const std::string shown = ShareNameForDisplay(field.get(), codec);
  if (shown.size() > size_t(kAnsiShareName - 1)) std::abort();

  const std::u16string wide = fake::DecodeUtf8(field.get(), static_cast<int>(strnlen(field.get(), kShareNameBytes)));
  const int count = static_cast<int>(wide.size());
  std::string prefix;
  int i = 0;
  for (int units = 0; i < count && prefix.size() < shown.size(); i += units)
    prefix += fake::EncodeCharacter(page, wide.data(), count, i, &units);
  if (prefix != shown) std::abort();  // not whole characters from the start
  if (i < count) {
    int units = 0;
    const std::string next = fake::EncodeCharacter(page, wide.data(), count, i, &units);
    if (shown.size() + next.size() <= size_t(kAnsiShareName - 1)) std::abort();  // cut shorter than needed
  }
  return 0;
}

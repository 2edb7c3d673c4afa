#include "bmp_file.h"

#include <cstdio>
#include <limits>

namespace bmp {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

void Put16(std::vector<uint8_t>& out, uint32_t at, uint16_t value) {
  out[at] = static_cast<uint8_t>(value);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, uint32_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<uint8_t> Encode(int width, int height, const std::vector<uint32_t>& pixels) {
  if (width <= 0 || height <= 0) return {};
  const uint64_t count = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (pixels.size() != count) return {};
  const uint64_t stride = (static_cast<uint64_t>(width) * 3 + 3) & ~uint64_t{3};
  const uint64_t imageSize = stride * static_cast<uint64_t>(height);
  const uint64_t offset = kFileHeaderSize + kInfoHeaderSize;
  // The headers hold 32-bit sizes.
  if (offset + imageSize > std::numeric_limits<uint32_t>::max()) return {};

  std::vector<uint8_t> out(static_cast<size_t>(offset + imageSize), 0);
  Put16(out, 0, 0x4D42);  // "BM"
  Put32(out, 2, static_cast<uint32_t>(offset + imageSize));
  Put32(out, 10, static_cast<uint32_t>(offset));
  Put32(out, 14, kInfoHeaderSize);
  Put32(out, 18, static_cast<uint32_t>(width));
  Put32(out, 22, static_cast<uint32_t>(height));  // positive: rows stored bottom-up
  Put16(out, 26, 1);  // planes
  Put16(out, 28, 24);  // bits per pixel
  Put32(out, 30, 0);  // BI_RGB
  Put32(out, 34, static_cast<uint32_t>(imageSize));

  for (int y = 0; y < height; ++y) {
    uint8_t* row = &out[static_cast<size_t>(offset + stride * static_cast<uint64_t>(height - 1 - y))];
    const uint32_t* source = &pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
    for (int x = 0; x < width; ++x) {
      row[x * 3 + 0] = static_cast<uint8_t>(source[x]);  // blue
      row[x * 3 + 1] = static_cast<uint8_t>(source[x] >> 8);  // green
      row[x * 3 + 2] = static_cast<uint8_t>(source[x] >> 16);  // red
    }
  }
  return out;
}

bool Save(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels) {
  const std::vector<uint8_t> data = Encode(width, height, pixels);
  if (data.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace bmp

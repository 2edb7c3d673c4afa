// The BMP writer: byte-exact headers, bottom-up rows with their padding,
// pixel byte order, refused inputs, and (on Windows) files that the system's
// own loader reads back pixel for pixel.
#include "bmp_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// A picture whose every pixel differs: red = x, green = y, blue = 0xA0 + x + y.
std::vector<uint32_t> Numbered(int width, int height) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.push_back(0xFF000000u | (static_cast<uint32_t>(x) << 16) | (static_cast<uint32_t>(y) << 8) |
                       static_cast<uint32_t>(0xA0 + x + y));
  return pixels;
}

struct SizeCase {
  int width;
  int height;
  uint32_t stride;  // bytes per stored row, padding included
};

const SizeCase kSizes[] = {
    {1, 1, 4},  // 3 bytes of pixel, 1 of padding
    {2, 3, 8},  // 6 + 2
    {3, 2, 12},  // 9 + 3
    {4, 2, 12},  // 12: no padding
    {5, 1, 16},  // 15 + 1
};

TEST(BmpEncode, HeadersAreByteExact) {
  for (const SizeCase& c : kSizes) {
    const std::vector<uint8_t> file = bmp::Encode(c.width, c.height, Numbered(c.width, c.height));
    const uint32_t image = c.stride * static_cast<uint32_t>(c.height);
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    ASSERT_EQ(54u + image, file.size()) << "expected headers and padded rows, got " << file.size() << " bytes";
    EXPECT_EQ('B', file[0]);
    EXPECT_EQ('M', file[1]);
    EXPECT_EQ(54u + image, Le32(file, 2)) << "file size field";
    EXPECT_EQ(0u, Le32(file, 6)) << "reserved words";
    EXPECT_EQ(54u, Le32(file, 10)) << "offset of the pixels";
    EXPECT_EQ(40u, Le32(file, 14)) << "info header size";
    EXPECT_EQ(static_cast<uint32_t>(c.width), Le32(file, 18)) << "width";
    EXPECT_EQ(static_cast<uint32_t>(c.height), Le32(file, 22)) << "height (positive: bottom-up)";
    EXPECT_EQ(1u, Le16(file, 26)) << "planes";
    EXPECT_EQ(24u, Le16(file, 28)) << "bits per pixel";
    EXPECT_EQ(0u, Le32(file, 30)) << "compression (BI_RGB)";
    EXPECT_EQ(image, Le32(file, 34)) << "image size";
    for (size_t at = 38; at < 54; ++at) EXPECT_EQ(0, file[at]) << "resolution and palette fields, byte " << at;
  }
}

TEST(BmpEncode, RowsBottomUpInBlueGreenRedWithZeroPadding) {
  for (const SizeCase& c : kSizes) {
    const std::vector<uint32_t> pixels = Numbered(c.width, c.height);
    const std::vector<uint8_t> file = bmp::Encode(c.width, c.height, pixels);
    ASSERT_EQ(54u + c.stride * c.height, file.size());
    for (int y = 0; y < c.height; ++y) {
      const size_t row = 54 + static_cast<size_t>(c.height - 1 - y) * c.stride;
      for (int x = 0; x < c.width; ++x) {
        const uint32_t want = pixels[static_cast<size_t>(y) * c.width + x] & 0xFFFFFF;
        const uint32_t got = file[row + x * 3] | (file[row + x * 3 + 1] << 8) | (file[row + x * 3 + 2] << 16);
        EXPECT_EQ(want, got) << c.width << "x" << c.height << " pixel (" << x << "," << y << ")";
      }
      for (size_t pad = static_cast<size_t>(c.width) * 3; pad < c.stride; ++pad)
        EXPECT_EQ(0, file[row + pad]) << c.width << "x" << c.height << " row " << y << " padding byte " << pad;
    }
  }
}

struct RefusedCase {
  const char* what;
  int width;
  int height;
  size_t pixels;
};

TEST(BmpEncode, RefusesSizesThatDoNotMatchThePixels) {
  const RefusedCase cases[] = {
      {"zero width", 0, 1, 0},
      {"zero height", 1, 0, 0},
      {"negative width", -2, 1, 2},
      {"negative height", 2, -1, 2},
      {"fewer pixels", 2, 2, 3},
      {"more pixels", 2, 2, 5},
      {"both negative", -2, -2, 4},
  };
  for (const RefusedCase& c : cases) {
    EXPECT_TRUE(bmp::Encode(c.width, c.height, std::vector<uint32_t>(c.pixels, 0x123456)).empty())
        << c.what << ": expected no file";
    const std::string path = ::testing::TempDir() + "nexora_bmp_refused.bmp";
    std::remove(path.c_str());
    EXPECT_FALSE(bmp::Save(path, c.width, c.height, std::vector<uint32_t>(c.pixels, 0)))
        << c.what << ": expected the write refused";
    std::FILE* left = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(nullptr, left) << c.what << ": expected no file left behind";
    if (left != nullptr) std::fclose(left);
  }
}

TEST(BmpSave, WritesTheEncodedBytesAndReportsAMissingFolder) {
  const std::vector<uint32_t> pixels = Numbered(3, 2);
  const std::string path = ::testing::TempDir() + "nexora_bmp_written.bmp";
  ASSERT_TRUE(bmp::Save(path, 3, 2, pixels));
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(nullptr, f);
  std::vector<uint8_t> read(200);
  read.resize(std::fread(read.data(), 1, read.size(), f));
  std::fclose(f);
  std::remove(path.c_str());
  EXPECT_EQ(bmp::Encode(3, 2, pixels), read) << "expected the file to hold exactly the encoded bytes";

  EXPECT_FALSE(bmp::Save(::testing::TempDir() + "nexora-no-such-folder/x.bmp", 3, 2, pixels))
      << "expected a file in a missing folder reported as not written";
}

#ifdef _WIN32
// Windows' own loader reads the file back with every pixel in its place.
TEST(BmpSave, WindowsLoadsTheFilePixelForPixel) {
  const int width = 5, height = 3;
  const std::vector<uint32_t> pixels = Numbered(width, height);
  const std::string path = ::testing::TempDir() + "nexora_bmp_loaded.bmp";
  ASSERT_TRUE(bmp::Save(path, width, height, pixels));
  HBITMAP loaded = static_cast<HBITMAP>(
      ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  std::remove(path.c_str());
  ASSERT_NE(nullptr, loaded) << "expected LoadImage to read the file, error " << ::GetLastError();
  BITMAP info{};
  ASSERT_EQ(static_cast<int>(sizeof info), ::GetObjectA(loaded, sizeof info, &info));
  EXPECT_EQ(width, info.bmWidth);
  EXPECT_EQ(height, info.bmHeight);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, loaded);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
      const COLORREF want = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
      EXPECT_EQ(want, ::GetPixel(dc, x, y)) << "pixel (" << x << "," << y << ")";
    }
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(loaded);
}
#endif

}  // namespace

// BMP files of 24-bit uncompressed pixels: the one writer for every picture
// the tools and tests save (gallery windows, UI-driver screen captures).
// Portable C++: no Windows headers, so it builds and is tested natively too.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace bmp {

// The whole file for a picture of width x height pixels, each 0x00RRGGBB
// (the top byte is ignored), top row first: a 14-byte file header, a 40-byte
// BITMAPINFOHEADER, then the rows bottom-up, each padded to four bytes.
// Empty when the sizes are not positive or pixels does not hold exactly
// width x height values.
std::vector<uint8_t> Encode(int width, int height, const std::vector<uint32_t>& pixels);

// Encode, written to path through the C library (the path as fopen takes
// it). False when the picture cannot be encoded or the file not written
// completely.
bool Save(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels);

}  // namespace bmp

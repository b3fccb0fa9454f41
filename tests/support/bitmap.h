// BMP files for the tests that draw the welcome picture: the headers the window reads, and
// black pixels.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace testing_support {

// A little-endian u32 of a BMP header.
inline void PutU32(std::string& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

// A 24-bit BMP file of width x height pixels.
inline std::string Bmp(int width, int height) {
  size_t row = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  std::string bmp(54 + row * static_cast<size_t>(height), '\0');
  bmp[0] = 'B';
  bmp[1] = 'M';
  PutU32(bmp, 10, 54);
  PutU32(bmp, 14, 40);
  PutU32(bmp, 18, static_cast<uint32_t>(width));
  PutU32(bmp, 22, static_cast<uint32_t>(height));
  bmp[26] = 1;
  bmp[28] = 24;
  return bmp;
}

}  // namespace testing_support

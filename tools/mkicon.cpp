// Writes the program icon "tavohu" (32 x 32, 32 bits per pixel): a blue tile with a white T,
// drawn here so that no binary icon is kept in the sources.
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v));
  Put16(out, static_cast<uint16_t>(v >> 16));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mkicon OUTPUT.ico\n");
    return 2;
  }
  constexpr int kSize = 32;
  constexpr uint32_t kPixelBytes = kSize * kSize * 4;
  constexpr uint32_t kMaskBytes = kSize * 4;  // 1 bit per pixel, rows padded to 4 bytes
  constexpr uint32_t kImageBytes = 40 + kPixelBytes + kMaskBytes;

  std::vector<uint8_t> ico;
  Put16(ico, 0);  // reserved
  Put16(ico, 1);  // icon
  Put16(ico, 1);  // one image
  ico.push_back(kSize);
  ico.push_back(kSize);
  ico.push_back(0);  // no palette
  ico.push_back(0);
  Put16(ico, 1);   // planes
  Put16(ico, 32);  // bits per pixel
  Put32(ico, kImageBytes);
  Put32(ico, 6 + 16);

  Put32(ico, 40);
  Put32(ico, kSize);
  Put32(ico, kSize * 2);  // colour and mask halves
  Put16(ico, 1);
  Put16(ico, 32);
  for (int i = 0; i < 6; ++i) Put32(ico, 0);

  for (int row = kSize - 1; row >= 0; --row) {  // bottom-up
    for (int x = 0; x < kSize; ++x) {
      bool border = x < 2 || x >= kSize - 2 || row < 2 || row >= kSize - 2;
      bool bar = row >= 6 && row < 11 && x >= 7 && x < 25;
      bool stem = row >= 6 && row < 27 && x >= 14 && x < 19;
      uint8_t b = 200, g = 96, r = 24;
      if (bar || stem) b = g = r = 255;
      if (border) b = 120, g = 40, r = 10;
      ico.push_back(b);
      ico.push_back(g);
      ico.push_back(r);
      ico.push_back(255);
    }
  }
  ico.insert(ico.end(), kMaskBytes, 0);

  FILE* f = std::fopen(argv[1], "wb");
  if (!f || std::fwrite(ico.data(), 1, ico.size(), f) != ico.size() || std::fclose(f) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}

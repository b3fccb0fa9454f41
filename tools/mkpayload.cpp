// Generates the sample payload directory, the same bytes on every run: 79 files with the names,
// kinds and sizes of the product's payload. Modules and programs are real PE files of our
// toolchain (a loadable DLL, a program that logs its command line), padded to their sizes and
// carrying the version text; dictionaries and tables are GBK text; pictures are real BMPs; skins
// are archives of the setup's own format.
//   mkpayload OUTDIR IME_DLL LAUNCH_EXE
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/archive_writer.h"
#include "platform/registry.h"
#include "tools/tight_pack.h"

namespace fs = std::filesystem;

namespace {

class Random {
 public:
  explicit Random(const std::string& seed) {
    for (unsigned char c : seed) state_ = (state_ ^ c) * 0x100000001B3ull;
  }
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<uint32_t>(state_ >> 16);
  }
  uint32_t Below(uint32_t n) { return Next() % n; }

 private:
  uint64_t state_ = 0xCBF29CE484222325ull;
};

std::string Noise(const std::string& seed, size_t n) {
  Random rng(seed);
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(rng.Next());
  return bytes;
}

void Put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}
void Put16(std::string& s, size_t at, uint16_t v) {
  s[at] = static_cast<char>(v);
  s[at + 1] = static_cast<char>(v >> 8);
}

// UTF-16LE "Tavo输入平台" followed by the five characters of the version, e.g. "  6.3".
std::string VersionText(const char* version) {
  std::u16string text = u"Tavo输入平台";
  for (const char* p = version; *p; ++p) text.push_back(static_cast<char16_t>(*p));
  return platform::Utf16Bytes(text);
}

// A PE file padded to `size`, half of the padding zeros, half noise, with the version text twice.
std::string PaddedProgram(const std::string& pe, const std::string& name, size_t size, const char* version) {
  std::string bytes = pe;
  if (bytes.size() > size) {
    std::fprintf(stderr, "mkpayload: %s: program larger than %zu bytes\n", name.c_str(), size);
    std::exit(1);
  }
  size_t padding = size - bytes.size();
  bytes += std::string(padding / 2, '\0');
  bytes += Noise(name, size - bytes.size());
  if (version) {
    std::string text = VersionText(version);
    for (size_t at : {pe.size() + 64, pe.size() + padding / 2 + 64}) bytes.replace(at, text.size(), text);
  }
  return bytes;
}

// Dictionary-like GBK text: ascending codes, a blank, a phrase of two to four characters of a
// 600-character vocabulary, CR LF; it compresses about as well as the real tables.
std::string Dictionary(const std::string& seed, size_t size) {
  Random rng(seed);
  std::string text;
  uint32_t code = rng.Below(1000);
  while (text.size() < size) {
    code += 1 + rng.Below(3);
    for (uint32_t c = code; c; c /= 25) text.push_back(static_cast<char>('a' + c % 25));
    text.push_back(' ');
    int chars = 2 + static_cast<int>(rng.Below(3));
    for (int i = 0; i < chars; ++i) {
      text.push_back(static_cast<char>(0xB0 + rng.Below(12)));
      text.push_back(static_cast<char>(0xA1 + rng.Below(50)));
    }
    text += "\r\n";
  }
  text.resize(size);
  return text;
}

// A 24-bit bottom-up BMP; `extra` zero bytes follow the pixels (as some writers leave them).
std::string Bitmap(const std::string& seed, int width, int height, size_t extra = 0) {
  size_t row = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  size_t pixels = row * static_cast<size_t>(height);
  std::string bmp(54 + pixels + extra, '\0');
  bmp[0] = 'B';
  bmp[1] = 'M';
  Put32(bmp, 2, static_cast<uint32_t>(bmp.size()));
  Put32(bmp, 10, 54);
  Put32(bmp, 14, 40);
  Put32(bmp, 18, static_cast<uint32_t>(width));
  Put32(bmp, 22, static_cast<uint32_t>(height));
  Put16(bmp, 26, 1);
  Put16(bmp, 28, 24);
  Put32(bmp, 34, static_cast<uint32_t>(pixels));
  Put32(bmp, 38, 2835);
  Put32(bmp, 42, 2835);
  Random rng(seed);
  int cx = width / 3 + static_cast<int>(rng.Below(static_cast<uint32_t>(width / 3 + 1)));
  int cy = height / 2;
  for (int y = 0; y < height; ++y) {
    int top = height - 1 - y;  // rows are stored bottom-up
    for (int x = 0; x < width; ++x) {
      size_t at = 54 + row * static_cast<size_t>(y) + static_cast<size_t>(x) * 3;
      int dx = x - cx, dy = top - cy;
      bool disc = dx * dx + dy * dy < (height / 4) * (height / 4);
      uint8_t b = static_cast<uint8_t>(disc ? 240 : 120 + top * 120 / height);
      uint8_t g = static_cast<uint8_t>(disc ? 250 : 60 + x * 150 / width);
      uint8_t r = static_cast<uint8_t>(disc ? 255 : 20 + (x + top) % 40);
      bmp[at] = static_cast<char>(b);
      bmp[at + 1] = static_cast<char>(g);
      bmp[at + 2] = static_cast<char>(r);
    }
  }
  return bmp;
}

std::string Jpeg(const std::string& seed, size_t size) {
  std::string bytes = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20);
  bytes += Noise(seed, size - bytes.size() - 2);
  return bytes + "\xFF\xD9";
}

std::string Wave(const std::string& seed, size_t size) {
  std::string wav(44, '\0');
  wav.replace(0, 4, "RIFF");
  Put32(wav, 4, static_cast<uint32_t>(size - 8));
  wav.replace(8, 8, "WAVEfmt ");
  Put32(wav, 16, 16);
  Put16(wav, 20, 1);
  Put16(wav, 22, 1);
  Put32(wav, 24, 22050);
  Put32(wav, 28, 44100);
  Put16(wav, 32, 2);
  Put16(wav, 34, 16);
  wav.replace(36, 4, "data");
  Put32(wav, 40, static_cast<uint32_t>(size - 44));
  return wav + Noise(seed, size - 44);
}

// The settings record: all zero but byte 8 = 0x36 and a few flags set.
std::string SettingsRecord() {
  std::string record(200, '\0');
  record[8] = 0x36;
  for (int at : {9, 10, 12, 15, 19, 22, 24, 36, 41, 54, 58}) record[at] = 1;
  return record;
}

std::string Skin(const std::string& name) {
  std::vector<archive::NamedContent> entries;
  std::string settings = Dictionary(name + "ini", 4096);
  entries.push_back({"tvskin.tvh", settings});
  for (int i = 1; i <= 7; ++i) {
    entries.push_back({"tvsk" + std::to_string(i) + ".bmp", Bitmap(name + std::to_string(i), 48 + 8 * i, 24)});
  }
  std::string image, error;
  if (!archive::PackArchive(entries, &image, &error, tools::TightPack)) {
    std::fprintf(stderr, "mkpayload: %s\n", error.c_str());
    std::exit(1);
  }
  return image;
}

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "mkpayload: cannot read %s\n", path);
    std::exit(1);
  }
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: mkpayload OUTDIR IME_DLL LAUNCH_EXE\n");
    return 2;
  }
  const fs::path out = argv[1];
  const std::string ime = ReadFile(argv[2]);
  const std::string launcher = ReadFile(argv[3]);

  std::vector<std::pair<std::string, std::string>> files = {
      {"tavohu4.ime", PaddedProgram(ime, "tavohu4.ime", 285184, "  7.1")},
      {"tavohu64.ime", PaddedProgram(ime, "tavohu64.ime", 334848, "  7.1")},
      {"tavo320.ime", PaddedProgram(ime, "tavo320.ime", 40960, "  6.3")},
      {"tavo321.ime", PaddedProgram(ime, "tavo321.ime", 45056, "  6.3")},
      {"tavo640.ime", PaddedProgram(ime, "tavo640.ime", 49152, "  6.3")},
      {"tavo641.ime", PaddedProgram(ime, "tavo641.ime", 53248, "  6.3")},
      {"setupw64.exe", PaddedProgram(launcher, "setupw64.exe", 47616, "  6.7")},
      {"tavodel.exe", PaddedProgram(launcher, "tavodel.exe", 28672, nullptr)},
      {"tvqdel64.exe", PaddedProgram(launcher, "tvqdel64.exe", 33792, nullptr)},
      {"tavokelv.exe", PaddedProgram(launcher, "tavokelv.exe", 163840, nullptr)},
      {"tavokel6.exe", PaddedProgram(launcher, "tavokel6.exe", 167936, nullptr)},
      {"tavocyzk.tv1", Dictionary("tavocyzk", 1833364)},
      {"tavopyck.tv1", Dictionary("tavopyck", 212992)},
      {"tvszsj43.tvh", SettingsRecord()},
      {"kelv1.bmp", Bitmap("kelv1", 401, 310, 2)},
      {"kelv2.bmp", Bitmap("kelv2", 120, 80)},
      {"kelvlogo.bmp", Bitmap("kelvlogo", 64, 64)},
      {"tvbtn1.bmp", Bitmap("tvbtn1", 100, 25)},
      {"tvbtn2.bmp", Bitmap("tvbtn2", 100, 25)},
      {"tvstat.bmp", Bitmap("tvstat", 200, 20)},
      {"tvabout.jpg", Jpeg("tvabout", 61440)},
      {"tvhome.jpg", Jpeg("tvhome", 45056)},
      {"tvskin1.jpg", Jpeg("tvskin1", 22528)},
      {"tvskin2.jpg", Jpeg("tvskin2", 24576)},
      {"tvkey.wav", Wave("tvkey", 8192)},
      {"tvok.wav", Wave("tvok", 17408)},
      {"tverror.wav", Wave("tverror", 21504)},
      {"tvtip.wav", Wave("tvtip", 12288)},
      {"tvintro.swf", "FWS\x09" + Noise("tvintro", 81916)},
      {"tavoxy.dat", Noise("tavoxy", 16384)},
      {"\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.tvz", Skin("cold")},  // 冷色瓷面
      {"\xC5\xAF\xC9\xAB\xC4\xBE\xCE\xC6.tvz", Skin("warm")},  // 暖色木纹
      {"\xCB\xAE\xC4\xAB\xB5\xA4\xC7\xE0.tvz", Skin("ink")},   // 水墨丹青
  };
  // Dictionaries, tables and text files: the user's files of the backup list among them, so that
  // a reinstall over this payload finds a complete earlier installation.
  const std::pair<const char*, size_t> tables[] = {
      {"cfontset.tvh", 2048},  {"cwbzlcz1.tvh", 24576}, {"tvwbcmxz.tvh", 16384}, {"tvdhzcm.tvh", 12288},
      {"tavodhz.tvh", 8192},   {"tvgbkhz.tvh", 98304},  {"tavodwdw.txt", 6144},  {"tavozdym.tvh", 40960},
      {"tvpyzdym.tvh", 36864}, {"tvwbpy.txt", 61440},   {"tavoynhz.txt", 4096},  {"tavozdfh.tvh", 10240},
      {"tvgbkbh.tvh", 65536},  {"tvszsj05.tvh", 200},   {"tvszsj06.tvh", 200},   {"cwb.ov1", 20480},
      {"tavopymb.ov1", 28672}, {"fttvzdym.txt", 32768}, {"ftpyzdym.txt", 30720}, {"tavowbzg.tvh", 18432},
      {"tavopyzg.tvh", 16384}, {"tvzjm.tvh", 8192},     {"tvbhzg.tvh", 14336},   {"tvjtft.tvh", 22528},
      {"tvfjdz.tvh", 12288},   {"tvwbgj.ov1", 9216},    {"tvpygj.ov1", 9216},    {"tavohelp.txt", 14336},
      {"tavoread.txt", 3072},  {"tavoban.txt", 1024},   {"tvnewsw.txt", 2048},   {"tvcizu1.tvh", 26624},
      {"tvcizu2.tvh", 26624},  {"tvyyzd.tvh", 12288},   {"tvszfh.tvh", 4096},    {"tvbdfh.tvh", 3072},
      {"tvtsfh.tvh", 5120},    {"tvrmzd.tvh", 20480},   {"tvdyzd.tvh", 18432},   {"tvxhzd.tvh", 10240},
      {"tvgbk2.ov1", 8192},    {"tvbig5.ov1", 8192},    {"tvjianf.txt", 7168},   {"tvfanj.txt", 7168},
      {"tvupdat.txt", 512},    {"tvver.txt", 64},
  };
  for (auto [name, size] : tables) files.emplace_back(name, Dictionary(name, size));

  fs::remove_all(out);
  fs::create_directories(out);
  for (const auto& [name, bytes] : files) {
    std::ofstream file(out / name, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
      std::fprintf(stderr, "mkpayload: cannot write %s\n", name.c_str());
      return 1;
    }
  }
  std::printf("mkpayload: %zu files in %s\n", files.size(), out.string().c_str());
  return 0;
}

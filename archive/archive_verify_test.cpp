#include "archive/archive_verify.h"

#include <gtest/gtest.h>

#include "archive/archive_format.h"
#include "tests/support/archive_fixture.h"

namespace {

using testing_support::PackOrDie;
using testing_support::RandomBytes;

bool Verify(const std::string& image, std::string* fault, const archive::UnpackRoom& room = {}) {
  std::vector<archive::EntryReport> entries;
  return archive::VerifyArchive(reinterpret_cast<const uint8_t*>(image.data()), image.size(), room, &entries, fault);
}

archive::UnpackRoom DataArea(size_t bytes) {
  archive::UnpackRoom room;
  room.dataArea = bytes;
  return room;
}

// The packed image with the name of entry `index` replaced by one of the same length, which
// PackArchive itself would refuse.
std::string Renamed(std::string image, size_t index, const std::string& name) {
  size_t at = archive::kArchiveHeaderSize;
  for (size_t i = 0; i < index; ++i) {
    at += archive::kEntryHeaderSize + archive::ReadU32(reinterpret_cast<const uint8_t*>(image.data()) + at + 16);
  }
  EXPECT_EQ(image[at + 2 + name.size()], '\0') << name;
  image.replace(at + 2, name.size(), name);
  return image;
}

TEST(VerifyArchive, AcceptsAWellFormedArchiveAndReportsSizes) {
  std::string skin = PackOrDie({{"tvskin.tvh", std::string(4096, 's')}, {"tvsk1.bmp", "BM"}});
  std::string image = PackOrDie(
      {{"a.txt", "alpha"}, {"b.bin", std::string(5000, 'b')}, {"\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.tvz", skin}});
  std::vector<archive::EntryReport> entries;
  std::string fault;
  ASSERT_TRUE(
      archive::VerifyArchive(reinterpret_cast<const uint8_t*>(image.data()), image.size(), 2097052, &entries, &fault))
      << fault;
  ASSERT_EQ(entries.size(), 3u);  // the skin's own entries are checked, not listed
  EXPECT_EQ(entries[1].name, "b.bin");
  EXPECT_EQ(entries[1].unpackedLength, 5000u);
  EXPECT_EQ(entries[1].zlibResult, 0);
  EXPECT_EQ(entries[2].unpackedLength, skin.size());
}

TEST(VerifyArchive, FindsTheFirstFault) {
  std::string good = PackOrDie({{"a.txt", "alpha"}, {"b.txt", "beta"}});
  auto with = [&](size_t at, char byte) {
    std::string bad = good;
    bad[at] = byte;
    return bad;
  };
  std::string twoNames = PackOrDie({{"a.txt", "alpha"}, {"c.txt", "beta"}});
  struct Case {
    const char* what;
    std::string image;
    const char* fault;
    size_t dataArea;
  };
  const Case cases[] = {
      {"short", good.substr(0, 4), "shorter than", 2097052},
      {"magic", with(0, 'X'), "magic", 2097052},
      {"total length", with(2, '\x01'), "total length", 2097052},
      {"cut short", good.substr(0, good.size() - 1), "total length", 2097052},
      {"trailing bytes",
       [&] {
         std::string t = good + "zz";
         t[2] += 2;
         return t;
       }(),
       "after the last entry", 2097052},
      {"no entries", PackOrDie({}), "no entries", 2097052},
      {"corrupt stream", with(32, '\xFF'), "entry 1 (a.txt): the compressed data are damaged (zlib: data error)",
       2097052},
      {"empty content", PackOrDie({{"e.txt", ""}}), "0 bytes", 2097052},
      {"too large", PackOrDie({{"big", std::string(100, 'x')}}),
       "entry 1 (big): does not fit into the setup's data area of 50 bytes (zlib: buffer error)", 50},
      {"duplicate", Renamed(twoNames, 1, "a.txt"), "entry 2 (a.txt): name given twice", 2097052},
      {"duplicate but for case", Renamed(twoNames, 1, "A.TXT"), "entry 2 (A.TXT): name given twice (as a.txt)",
       2097052},
      {"device name", Renamed(twoNames, 1, "con.t"), "entry 2 (con.t): not a bare file name", 2097052},
      {"trailing dot", Renamed(twoNames, 1, "c.tx."), "not a bare file name", 2097052},
      {"count too high", with(6, '\x03'), "runs past the end", 2097052},
  };
  for (const auto& c : cases) {
    std::string fault;
    EXPECT_FALSE(Verify(c.image, &fault, DataArea(c.dataArea))) << c.what;
    EXPECT_NE(fault.find(c.fault), std::string::npos) << c.what << ": " << fault;
  }
}

// A skin is unpacked twice: as an entry of the payload, and then from the install directory,
// of which the setup loads only the first 131,072 bytes and unpacks them into a data area of
// 1,965,980 bytes. Each fault is named by the payload's entry.
TEST(VerifyArchive, ChecksEachSkinAsTheSetupUnpacksIt) {
  const std::string skinName = "\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.tvz";
  auto payloadWith = [](const std::string& name, const std::string& skin) {
    return PackOrDie({{"kelv1.bmp", "BM"}, {name, skin}, {"tvok.wav", "RIFF"}});
  };
  std::string bitmap = "BM" + std::string(4000, 'p');
  std::string longSkin = PackOrDie({{"tvskin.tvh", RandomBytes(70000, 5)}, {"tvsk1.bmp", RandomBytes(70000, 6)}});
  ASSERT_GT(longSkin.size(), archive::kSkinLoadSize);
  std::string twoNames = PackOrDie({{"tvsk1.bmp", bitmap}, {"tvsk2.bmp", bitmap}});
  std::string deep = PackOrDie({{"tvsk1.bmp", bitmap}});
  for (int i = 0; i < 6; ++i) deep = PackOrDie({{"s.tvz", deep}});
  struct Case {
    const char* what;
    std::string image;
    const char* fault;  // nullptr: accepted
  };
  const Case cases[] = {
      {"default skin", payloadWith(skinName, PackOrDie({{"tvskin.tvh", bitmap}, {"tvsk1.bmp", bitmap}})), nullptr},
      {"longer than the setup loads", payloadWith(skinName, longSkin),
       "entry 2 (\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.tvz): skin of "},
      {"entry fills the skin's data area",
       payloadWith(skinName, PackOrDie({{"tvsk1.bmp", std::string(archive::kSkinDataAreaSize, 'k')}})), nullptr},
      {"entry larger than the skin's data area",
       payloadWith(skinName, PackOrDie({{"tvsk1.bmp", std::string(archive::kSkinDataAreaSize + 1, 'k')}})),
       "entry 2 (\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.tvz): skin: entry 1 (tvsk1.bmp): does not fit into the setup's "
       "data area of 1965980 bytes (zlib: buffer error)"},
      {"not an archive", payloadWith("a.tvz", "not an archive"), "entry 2 (a.tvz): skin: magic is not TV"},
      {"upper-case extension", payloadWith("A.TVZ", "not an archive"), "entry 2 (A.TVZ): skin: magic"},
      {"empty skin", payloadWith("a.tvz", PackOrDie({})), "entry 2 (a.tvz): skin: no entries"},
      {"names differing in case", payloadWith("a.tvz", Renamed(twoNames, 1, "TVSK1.BMP")),
       "entry 2 (a.tvz): skin: entry 2 (TVSK1.BMP): name given twice"},
      {"device name", payloadWith("a.tvz", Renamed(twoNames, 1, "aux.bmp.x")),
       "entry 2 (a.tvz): skin: entry 2 (aux.bmp.x): not a bare file name"},
      {"bad total length", payloadWith("a.tvz", twoNames + "x"), "entry 2 (a.tvz): skin: total length"},
      {"nested without end", deep, "nested more than"},
      {"other extension", payloadWith("a.tvzz", "not an archive"), nullptr},
  };
  for (const auto& c : cases) {
    std::string fault;
    EXPECT_EQ(Verify(c.image, &fault), c.fault == nullptr) << c.what << ": " << fault;
    if (c.fault) {
      EXPECT_NE(fault.find(c.fault), std::string::npos) << c.what << ": " << fault;
    }
  }
}

TEST(VerifyArchive, SkinMayFillExactlyWhatIsLoaded) {
  std::string skin = PackOrDie({{"tvsk1.bmp", RandomBytes(3000, 7)}});
  std::string image = PackOrDie({{"a.tvz", skin}});
  archive::UnpackRoom room;
  room.skinLoad = skin.size();
  std::string fault;
  EXPECT_TRUE(Verify(image, &fault, room)) << fault;
  room.skinLoad = skin.size() - 1;
  EXPECT_FALSE(Verify(image, &fault, room));
  EXPECT_NE(fault.find("skin of " + std::to_string(skin.size()) + " bytes"), std::string::npos) << fault;
}

}  // namespace

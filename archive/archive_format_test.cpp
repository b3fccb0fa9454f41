#include "archive/archive_format.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string_view>
#include <utility>
#include <vector>

#include "archive/archive_writer.h"
#include "tests/support/archive_fixture.h"

using testing_support::RandomBytes;

namespace {

using archive::Entry;
using archive::EntryWalker;
using archive::WalkStep;

std::string Pack(const std::vector<archive::NamedContent>& files) {
  std::string image, error;
  EXPECT_TRUE(archive::PackArchive(files, &image, &error)) << error;
  return image;
}

// Walks a copy of exactly `bytes` (so a sanitizer sees any read past it), kept in `copy` for the
// entries that point into it; the entries found.
std::vector<Entry> Walk(const std::string& bytes, WalkStep* last, std::vector<uint8_t>& copy) {
  copy.assign(bytes.begin(), bytes.end());
  std::vector<Entry> entries;
  uint32_t count = 0;
  if (!archive::ReadEntryCount(copy.data(), copy.size(), &count)) {
    *last = WalkStep::Truncated;
    return entries;
  }
  EntryWalker walker(copy.data(), copy.size(), count);
  Entry entry;
  while ((*last = walker.Next(&entry)) == WalkStep::Entry) {
    EXPECT_LE(entry.data + entry.compressedLength, copy.data() + copy.size());
    entries.push_back(entry);
  }
  return entries;
}

TEST(ArchiveFormat, HeadersAreLaidOutByteForByte) {
  std::string image = Pack({{"kelv1.bmp", "BM"}, {"a", ""}});
  ASSERT_GE(image.size(), 30u);
  EXPECT_EQ(image.substr(0, 2), "TV");
  EXPECT_EQ(archive::ReadU32(reinterpret_cast<const uint8_t*>(image.data()) + 2), image.size());
  EXPECT_EQ(archive::ReadU32(reinterpret_cast<const uint8_t*>(image.data()) + 6), 2u);
  std::string header = image.substr(10, 20);
  EXPECT_EQ(header.substr(0, 12), std::string("CFkelv1.bmp\0", 12));
  EXPECT_EQ(header.substr(12, 4), "\xCC\xCC\xCC\xCC");
  EXPECT_EQ(static_cast<unsigned char>(image[30]), 0x78);  // zlib wrapper, default level
  EXPECT_EQ(static_cast<unsigned char>(image[31]), 0x9C);
  // The longest name leaves exactly one filler byte.
  EXPECT_EQ(archive::EntryHeader("twelve_bytes", 0).substr(2, 14), std::string("twelve_bytes\0\xCC", 14));
}

TEST(ArchiveFormat, RoundTripsAtSeveralSizes) {
  std::vector<archive::NamedContent> files = {
      {"empty.txt", ""},
      {"one.dat", "x"},
      {"random.bin", RandomBytes(100000, 1)},
      {"big.tvh", std::string(1833364, 'k') + RandomBytes(1000, 2)},
      {"\xC0\xE4\xC9\xAB.tvz", RandomBytes(4096, 3)},
  };
  WalkStep last;
  std::vector<uint8_t> storage;
  std::vector<Entry> entries = Walk(Pack(files), &last, storage);
  EXPECT_EQ(last, WalkStep::End);
  ASSERT_EQ(entries.size(), files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(entries[i].name, files[i].name);
    std::string out(files[i].bytes.size() + 1, '\0');
    uLongf length = out.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &length, entries[i].data, entries[i].compressedLength),
              Z_OK);
    EXPECT_EQ(out.substr(0, length), files[i].bytes) << files[i].name;
  }
}

TEST(ArchiveFormat, EveryCutShortImageEndsTheWalkInsideTheBytes) {
  std::string image = Pack({{"a.txt", "alpha"}, {"b.txt", RandomBytes(300, 4)}, {"c.txt", "gamma"}});
  std::vector<uint8_t> storage;
  for (size_t cut = 0; cut < image.size(); ++cut) {
    WalkStep last;
    std::vector<Entry> entries = Walk(image.substr(0, cut), &last, storage);
    EXPECT_NE(last, WalkStep::End) << cut;
    EXPECT_LT(entries.size(), 3u) << cut;
  }
}

TEST(ArchiveFormat, EveryBitFlipIsWalkedSafely) {
  std::string image = Pack({{"a.txt", "alpha"}, {"b.txt", "beta"}});
  std::vector<uint8_t> storage;
  for (size_t i = 0; i < image.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      std::string flipped = image;
      flipped[i] = static_cast<char>(flipped[i] ^ (1 << bit));
      WalkStep last;
      Walk(flipped, &last, storage);  // the walker checks each entry lies inside the copy
    }
  }
}

TEST(ArchiveFormat, MalformedEntriesEndTheWalk) {
  std::string image = Pack({{"a.txt", "alpha"}, {"b.txt", "beta"}});
  struct Case {
    const char* what;
    std::string bytes;
    size_t entries;
    WalkStep last;
  };
  std::string noCf = image;
  noCf[10 + 20 + archive::ReadU32(reinterpret_cast<const uint8_t*>(image.data()) + 26)] = 'X';
  std::string noNul = image;
  for (size_t i = 12; i < 26; ++i) noNul[i] = 'n';
  std::string countTooHigh = image;
  countTooHigh[6] = 3;
  std::string lengthPastEnd = image;
  lengthPastEnd[29] = '\x7F';
  const Case cases[] = {
      {"second entry without CF", noCf, 1, WalkStep::NotAnEntry},
      {"name without NUL", noNul, 0, WalkStep::NameUnended},
      {"count larger than the entries", countTooHigh, 2, WalkStep::Truncated},
      {"compressed length past the end", lengthPastEnd, 0, WalkStep::Truncated},
      {"shorter than its header", image.substr(0, 9), 0, WalkStep::Truncated},
  };
  std::vector<uint8_t> storage;
  for (const auto& c : cases) {
    WalkStep last;
    EXPECT_EQ(Walk(c.bytes, &last, storage).size(), c.entries) << c.what;
    EXPECT_EQ(last, c.last) << c.what;
  }
}

TEST(ArchiveFormat, OnlyNamesThatWindowsWritesAsThemselvesAreBare) {
  using namespace std::string_view_literals;
  const std::pair<std::string_view, bool> cases[] = {
      // Ordinary names, double-byte names (the default skin), look-alikes of devices.
      {"tavohu4.ime", true},
      {"\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.tvz", true},
      {"\x81\x41.txt", true},  // a trail byte that is an ASCII letter
      {"a", true},
      {"a.b.c", true},
      {".profile", true},
      {"a b.txt", true},
      {"console.txt", true},
      {"conx", true},
      {"com10.txt", true},
      {"lpt.txt", true},
      {"x.con", true},
      {"nul_.txt", true},
      {"conout$x", true},
      // Empty, dots, trailing dots and blanks: Windows writes another name.
      {"", false},
      {".", false},
      {"..", false},
      {"...", false},
      {"a.", false},
      {"a ", false},
      {"a. ", false},
      // Directory parts and drives.
      {"..\\x.dll", false},
      {"a\\b", false},
      {"a/b", false},
      {"c:x", false},
      {"\\x", false},
      // Characters Windows refuses in a name, and control bytes.
      {"a<b", false},
      {"a>b", false},
      {"a\"b", false},
      {"a|b", false},
      {"a?b", false},
      {"a*b", false},
      {"a\tb", false},
      {"\x01", false},
      {"a\x1F", false},
      {"a\x7F", false},
      {"a\0b"sv, false},
      // ... also as the second byte of a double-byte character.
      {"\x81\\x", false},
      {"\x81|x", false},
      {"\x81\x7Fx", false},
      // Devices, in any case, with any extension, with blanks before the dot.
      {"CON", false},
      {"con", false},
      {"Con.txt", false},
      {"nul.tar.gz", false},
      {"NUL .txt", false},
      {"AUX", false},
      {"prn.ini", false},
      {"COM1", false},
      {"com9.tvz", false},
      {"COM1.tvz", false},
      {"LPT1", false},
      {"lpt9.txt", false},
      {"CONIN$", false},
      {"conout$.log", false},
      {"COM\xB9", false},
  };
  for (auto [name, bare] : cases) {
    EXPECT_EQ(archive::IsBareFileName(name), bare) << testing::PrintToString(std::string(name));
  }
}

TEST(ArchiveFormat, SameEntryNameFoldsOnlyAsciiLettersOutsideDoubleByteCharacters) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  };
  const Case cases[] = {
      {"kelv1.bmp", "kelv1.bmp", true},
      {"kelv1.bmp", "KELV1.BMP", true},
      {"Tvskin.TVH", "tvskin.tvh", true},
      {"\xC0\xE4\xC9\xAB.TVZ", "\xC0\xE4\xC9\xAB.tvz", true},
      {"a\x81", "A\x81", true},             // a lead byte without its second byte
      {"\x80" "A", "\x80" "a", true},       // 0x80 and 0xFF begin no character
      {"\xFF" "A", "\xFF" "a", true},
      {"\x81\x81" "A", "\x81\x81" "a", true},  // the second byte of a character may look like a lead byte
      {"\x81\x41x", "\x81\x41X", true},
      {"a", "b", false},
      {"a", "ab", false},
      {"a.txt", "a.txt ", false},
      {"\x81\x41", "\x81\x61", false},      // two characters, not one letter in two cases
      {"\xFE" "A", "\xFE" "a", false},
      {"\xC0\xE4", "\xC0\xE5", false},
      {"[", "{", false},                    // 'Z' + 1 and 'z' + 1 are no letters
      {"@", "`", false},
  };
  for (const Case& c : cases) {
    std::string what = testing::PrintToString(std::string(c.a)) + " / " + testing::PrintToString(std::string(c.b));
    EXPECT_EQ(archive::SameEntryName(c.a, c.b), c.same) << what;
    EXPECT_EQ(archive::SameEntryName(c.b, c.a), c.same) << what;
    EXPECT_EQ(archive::EntryNameKey(c.a) == archive::EntryNameKey(c.b), c.same) << what;
  }
}

TEST(ArchiveFormat, PackRefusesBadNames) {
  struct Case {
    std::vector<archive::NamedContent> files;
    const char* error;  // nullptr: packed
  };
  const Case cases[] = {
      {{{"thirteen_byte", "x"}}, "longer than 12 bytes"},
      {{{"a", "x"}, {"a", "y"}}, "name given twice"},
      {{{"a", "x"}, {"A", "y"}}, "name given twice"},
      {{{"kelv1.bmp", "x"}, {"tvok.wav", "y"}, {"KELV1.BMP", "z"}}, "name given twice: KELV1.BMP (as kelv1.bmp)"},
      {{{"\x81\x41", "x"}, {"\x81\x61", "y"}}, nullptr},
      {{{"..\\a", "x"}}, "not a bare file name"},
      {{{"con.txt", "x"}}, "not a bare file name"},
      {{{"COM1.tvz", "x"}}, "not a bare file name"},
      {{{"a?", "x"}}, "not a bare file name"},
      {{{"a.", "x"}}, "not a bare file name"},
  };
  for (const Case& c : cases) {
    std::string image, error;
    std::string what = c.files.back().name;
    EXPECT_EQ(archive::PackArchive(c.files, &image, &error), c.error == nullptr) << what;
    if (c.error) {
      EXPECT_NE(error.find(c.error), std::string::npos) << what << ": " << error;
    }
  }
}

// The one name rule that the writer, the strict check and the backup all apply: each fault in
// the order it is checked, and a repeat judged against the names kept before it.
TEST(ArchiveFormat, EntryNamesApplyTheRuleInOrder) {
  struct Case {
    const char* name;
    archive::NameFault fault;
    const char* first;  // for GivenTwice: the name as first given
  };
  const Case cases[] = {
      {"kelv1.bmp", archive::NameFault::None, ""},
      {"twelve_bytes", archive::NameFault::None, ""},
      {"thirteen_byte", archive::NameFault::TooLong, ""},
      {"..\\thirteen_b", archive::NameFault::NotBare, ""},  // not bare comes before too long
      {"nul.txt", archive::NameFault::NotBare, ""},
      {"KELV1.BMP", archive::NameFault::GivenTwice, "kelv1.bmp"},
      {"kelv1.bmp", archive::NameFault::GivenTwice, "kelv1.bmp"},
      {"thirteen_byte", archive::NameFault::TooLong, ""},  // a refused name was not kept
      {"\x81\x41", archive::NameFault::None, ""},
      {"\x81\x61", archive::NameFault::None, ""},  // the second byte of a character is no letter
  };
  archive::EntryNames names;
  for (const Case& c : cases) {
    std::string first = "unchanged";
    EXPECT_EQ(names.Add(c.name, &first), c.fault) << c.name;
    EXPECT_EQ(first, c.fault == archive::NameFault::GivenTwice ? c.first : "unchanged") << c.name;
    if (c.fault != archive::NameFault::GivenTwice) {
      EXPECT_EQ(archive::CheckEntryName(c.name), c.fault) << c.name;
    }
  }
}

// One parser for an entry header, whether the bytes lie in an image or were read from a file.
TEST(ArchiveFormat, EntryHeaderIsReadFromItsTwentyBytes) {
  std::string good = archive::EntryHeader("twelve_bytes", 0x01020304);
  std::string noCf = good;
  noCf[1] = 'G';
  std::string unended = good;
  unended[14] = 'x';  // the NUL after twelve bytes
  unended[15] = 'y';  // the filler byte
  struct Case {
    const char* what;
    std::string header;
    archive::WalkStep step;
  };
  const Case cases[] = {
      {"whole", good, archive::WalkStep::Entry},
      {"not CF", noCf, archive::WalkStep::NotAnEntry},
      {"no NUL", unended, archive::WalkStep::NameUnended},
  };
  for (const Case& c : cases) {
    archive::Entry entry;
    entry.name = "before";
    EXPECT_EQ(archive::ReadEntryHeader(reinterpret_cast<const uint8_t*>(c.header.data()), &entry), c.step) << c.what;
    if (c.step != archive::WalkStep::Entry) {
      EXPECT_EQ(entry.name, "before") << c.what;
      continue;
    }
    EXPECT_EQ(entry.name, "twelve_bytes");
    EXPECT_EQ(entry.compressedLength, 0x01020304u);
    EXPECT_EQ(entry.data, nullptr);
  }
  // The counts of the archive header lie where the named offsets say.
  std::string header = archive::ArchiveHeader(0x0A0B0C0D, 0x01020304);
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(header.data());
  EXPECT_EQ(archive::ReadU32(bytes + archive::kTotalLengthOffset), 0x0A0B0C0Du);
  EXPECT_EQ(archive::ReadU32(bytes + archive::kEntryCountOffset), 0x01020304u);
}

}  // namespace

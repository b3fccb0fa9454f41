#include "archive/archive_verify.h"

#include <gtest/gtest.h>

#include "archive/archive_format.h"
#include "tests/support/archive_fixture.h"

namespace {

using testing_support::PackOrDie;

bool Verify(const std::string& image, std::string* fault, size_t dataArea = 2097052) {
  std::vector<archive::EntryReport> entries;
  return archive::VerifyArchive(reinterpret_cast<const uint8_t*>(image.data()), image.size(), dataArea, &entries,
                                fault);
}

TEST(VerifyArchive, AcceptsAWellFormedArchiveAndReportsSizes) {
  std::string image = PackOrDie({{"a.txt", "alpha"}, {"b.bin", std::string(5000, 'b')}});
  std::vector<archive::EntryReport> entries;
  std::string fault;
  ASSERT_TRUE(archive::VerifyArchive(reinterpret_cast<const uint8_t*>(image.data()), image.size(), 2097052, &entries,
                                     &fault))
      << fault;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].name, "b.bin");
  EXPECT_EQ(entries[1].unpackedLength, 5000u);
  EXPECT_EQ(entries[1].zlibResult, 0);
}

TEST(VerifyArchive, FindsTheFirstFault) {
  std::string good = PackOrDie({{"a.txt", "alpha"}, {"b.txt", "beta"}});
  auto with = [&](size_t at, char byte) {
    std::string bad = good;
    bad[at] = byte;
    return bad;
  };
  std::string duplicate = PackOrDie({{"a.txt", "alpha"}, {"c.txt", "beta"}});
  duplicate[30 + archive::ReadU32(reinterpret_cast<const uint8_t*>(duplicate.data()) + 26) + 2] = 'a';
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
      {"trailing bytes", [&] { std::string t = good + "zz"; t[2] += 2; return t; }(), "after the last entry", 2097052},
      {"corrupt stream", with(32, '\xFF'), "zlib result", 2097052},
      {"empty content", PackOrDie({{"e.txt", ""}}), "0 bytes", 2097052},
      {"too large", PackOrDie({{"big", std::string(100, 'x')}}), "larger than the data area", 50},
      {"duplicate", duplicate, "name given twice", 2097052},
      {"count too high", with(6, '\x03'), "runs past the end", 2097052},
  };
  for (const auto& c : cases) {
    std::string fault;
    EXPECT_FALSE(Verify(c.image, &fault, c.dataArea)) << c.what;
    EXPECT_NE(fault.find(c.fault), std::string::npos) << c.what << ": " << fault;
  }
}

}  // namespace

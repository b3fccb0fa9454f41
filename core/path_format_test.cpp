#include "core/path_format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "tests/support/encoding.h"

namespace {

using testing_support::Encode;

// Where the backslashes of a path are, read character by character.
TEST(PathFormat, BackslashesInsideDoubleByteCharactersAreNotSeparators) {
  struct Case {
    std::string path;
    uint32_t codePage;
    bool endsWithBackslash;
    std::string withoutTrailing;
    size_t levels;
  };
  const std::string xu = Encode("許", "BIG5");  // B3 5C
  const std::string so = "\x83\x5C";            // Shift JIS ソ
  const Case cases[] = {
      {"d:\\tavohu\\", 936, true, "d:\\tavohu", 3},
      {"d:\\tavohu", 936, false, "d:\\tavohu", 2},
      {"d:\\" + xu, 950, false, "d:\\" + xu, 2},
      {"d:\\" + xu + "\\", 950, true, "d:\\" + xu, 3},
      {"d:\\" + xu + "\\\\", 950, true, "d:\\" + xu, 4},
      {"d:\\" + xu + "\\" + xu, 936, false, "d:\\" + xu + "\\" + xu, 3},
      {"d:\\" + so, 932, false, "d:\\" + so, 2},
      // 0xB3 is a character of its own in Shift JIS and in single-byte code pages.
      {"d:\\\xB3\\", 932, true, "d:\\\xB3", 3},
      {"d:\\caf\xE9\\", 1252, true, "d:\\caf\xE9", 3},
      {"d:\\caf\xE9\\", 936, false, "d:\\caf\xE9\\", 2},
      // A lead byte with nothing after it is a byte of its own.
      {"d:\\a\xB3", 936, false, "d:\\a\xB3", 2},
      {"", 936, false, "", 1},
      {"\\", 936, true, "", 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::EndsWithBackslash(c.path, c.codePage), c.endsWithBackslash) << c.path << " " << c.codePage;
    EXPECT_EQ(core::WithoutTrailingBackslashes(c.path, c.codePage), c.withoutTrailing) << c.path << " " << c.codePage;
    EXPECT_EQ(core::PathLevels(c.path, c.codePage).size(), c.levels) << c.path << " " << c.codePage;
  }
  const std::string twoLevels = "d:\\" + xu + "\\a";
  std::vector<std::string_view> levels = core::PathLevels(twoLevels, 950);
  ASSERT_EQ(levels.size(), 3u);
  EXPECT_EQ(levels[1], xu);
  EXPECT_EQ(levels[2], "a");
}

TEST(PathFormat, ForbiddenCharactersAreWholeCharacters) {
  struct Case {
    std::string path;
    uint32_t codePage;
    bool forbidden;
  };
  const Case cases[] = {
      {"d:\\tavohu", 936, false},
      {"d:\\my dir", 936, false},
      {"e:\\" + Encode("四", "BIG5"), 950, false},  // A5 7C
      {"d:\\" + Encode("會計", "BIG5"), 950, false},
      {"d:\\" + Encode("億", "GBK"), 936, false},  // 83 7C
      {"d:\\\xA5|", 1252, true},                   // a single-byte character and then '|'
      {"d:\\\xA5|", 932, true},                    // 0xA5 is katakana in Shift JIS
      {"d:\\a|b", 936, true},
      {"d:\\a<b", 936, true},
      {"d:\\a>b", 936, true},
      {"d:\\a\"b", 936, true},
      {"d:\\a?b", 936, true},
      {"d:\\a*b", 936, true},
      {"d:\\a/b", 936, true},
      {"d:\\a:b", 936, true},
      {"d:\\a\tb", 936, true},
      {"d:\\ab\xB3", 936, true},  // cut in half
      {"d:\\ab\xB3", 1252, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::HasForbiddenPathCharacters(c.path, c.codePage), c.forbidden) << c.path << " " << c.codePage;
  }
}

// Layout names and the check's trace are built from it: the digits printf's "%x" writes.
TEST(PathFormat, HexTextIsPrintfsLowerCaseHex) {
  for (uint32_t value : {0u, 9u, 0xAu, 0x1400u, 0xE0210804u, 0xFFFFFFFFu}) {
    char expected[16];
    std::snprintf(expected, sizeof expected, "%x", value);
    EXPECT_EQ(core::HexText(value), expected) << value;
  }
}

}  // namespace

#include "platform/text_case.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCase, OnlyAsciiLettersAreFolded) {
  const struct {
    std::string text;
    std::string key;
  } cases[] = {
      {"TavoHu4.IME", "tavohu4.ime"},
      {"E0210804", "e0210804"},
      {"[@`{]", "[@`{]"},  // the neighbours of A-Z and a-z stay
      // GBK \xB0\x41 and Big5 \xA4\x5A: second bytes that look like 'A' and 'Z' stay upper case.
      {"\xB0\x41X.TXT", "\xB0\x41x.txt"},
      {"\xA4\x5A", "\xA4\x5A"},
      // A lead byte at the very end has no second byte to keep.
      {"A\x81", "a\x81"},
      {"\xFF"
       "A",
       "\xFF"
       "a"},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::FoldAsciiCase(c.text), c.key) << c.text;
  EXPECT_EQ(platform::AsciiUpper('e'), 'E');
  EXPECT_EQ(platform::AsciiUpper('{'), '{');
  EXPECT_EQ(platform::AsciiLower('@'), '@');
}

}  // namespace

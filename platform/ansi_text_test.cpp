#include "platform/ansi_text.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using platform::kCodePageAscii;
using platform::kCodePageGbk;

std::string Shown(std::string_view text) { return testing::PrintToString(std::string(text)); }

// Two texts and the code page they are read in, for a failure message.
std::string Shown(std::string_view a, std::string_view b, uint32_t codePage) {
  return Shown(a) + " / " + Shown(b) + " in " + std::to_string(codePage);
}

TEST(AnsiText, LeadBytesOfEachCodePage) {
  struct Case {
    uint32_t codePage;
    std::vector<unsigned char> lead;
    std::vector<unsigned char> notLead;
  };
  const Case cases[] = {
      {936, {0x81, 0xB3, 0xFE}, {0x5C, 0x7C, 0x80, 0xFF, 'a'}},
      {950, {0x81, 0xA5, 0xFE}, {0x5C, 0x7C, 0x80, 0xFF}},
      {949, {0x81, 0xB0, 0xFE}, {0x80, 0xFF}},
      // Shift JIS: 0xA0-0xDF are single-byte katakana.
      {932, {0x81, 0x83, 0x9F, 0xE0, 0xFC}, {0x80, 0xA0, 0xB3, 0xDF, 0xFD}},
      {1252, {}, {0x81, 0xB3, 0xE9, 0xFE}},
      {437, {}, {0x81, 0xFE}},
      {kCodePageAscii, {}, {0x81, 0xB3, 0xFE}},
  };
  for (const auto& c : cases) {
    for (unsigned char b : c.lead) EXPECT_TRUE(platform::IsLeadByte(c.codePage, b)) << c.codePage << " " << int(b);
    for (unsigned char b : c.notLead) EXPECT_FALSE(platform::IsLeadByte(c.codePage, b)) << c.codePage << " " << int(b);
  }
}

TEST(AnsiText, CharLengthTakesTheSecondByteOnlyWhenThereIsOne) {
  const struct {
    std::string text;
    size_t at;
    uint32_t codePage;
    size_t length;
  } cases[] = {
      {"\xB3\x5C", 0, 950, 2},                            // Big5 許: its second byte is '\'
      {"\xB3\x5C", 1, 950, 1},  {"\xB3\x5C", 0, 932, 1},  // a katakana and a backslash
      {"\x83\x5C", 0, 932, 2},  {"a\xB3", 1, 936, 1},     // cut in half
      {"\xB3\x5C", 0, 1252, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::CharLength(c.text, c.at, c.codePage), c.length) << Shown(c.text) << " at " << c.at;
  }
}

TEST(AnsiText, OnlyAsciiLettersOutsideDoubleByteCharactersChangeCase) {
  const struct {
    std::string text;
    uint32_t codePage;
    std::string lower;
    std::string upper;
  } cases[] = {
      {"TavoHu4.IME", kCodePageGbk, "tavohu4.ime", "TAVOHU4.IME"},
      {"E0210804", kCodePageGbk, "e0210804", "E0210804"},
      {"[@`{]", kCodePageGbk, "[@`{]", "[@`{]"},  // the neighbours of A-Z and a-z stay
      // GBK \xB0\x41 and Big5 \xA4\x5A: second bytes that look like 'A' and 'Z' keep their case,
      // and the letter after the character is one again.
      {"\xB0\x41X.TXT", kCodePageGbk, "\xB0\x41x.txt", "\xB0\x41X.TXT"},
      {"\xA4\x5A", 950, "\xA4\x5A", "\xA4\x5A"},
      {"\xB0\x61x", kCodePageGbk, "\xB0\x61x", "\xB0\x61X"},
      // Second bytes '\' and '|' are no separators to step on.
      {"\xB3\x5CX\xA4\x7Cy", 950, "\xB3\x5Cx\xA4\x7Cy", "\xB3\x5CX\xA4\x7CY"},
      // A lead byte at the very end has no second byte to keep.
      {"A\x81", kCodePageGbk, "a\x81", "A\x81"},
      {"\xFFX", kCodePageGbk, "\xFFx", "\xFFX"},
      // Where the code page has no such character, the same bytes are letters.
      {"\xB0\x41X", 1252, "\xB0\x61x", "\xB0\x41X"},
      {"\xB0\x61x", kCodePageAscii, "\xB0\x61x", "\xB0\x41X"},
      {"\xA0X\x83X", 932, "\xA0x\x83X", "\xA0X\x83X"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::FoldAsciiCase(c.text, c.codePage), c.lower) << Shown(c.text) << " in " << c.codePage;
    EXPECT_EQ(platform::UpperAsciiCase(c.text, c.codePage), c.upper) << Shown(c.text) << " in " << c.codePage;
  }
  EXPECT_EQ(platform::AsciiUpper('e'), 'E');
  EXPECT_EQ(platform::AsciiUpper('{'), '{');
  EXPECT_EQ(platform::AsciiLower('@'), '@');
}

TEST(AnsiText, ComparisonsIgnoreTheCaseOfLettersOnly) {
  const struct {
    std::string a;
    std::string b;
    uint32_t codePage;
    size_t shared;  // bytes equal from the start
    bool same;
  } cases[] = {
      {"E0210804", "e0210804", kCodePageAscii, 8, true},
      {"e0210804", "e0210404", kCodePageAscii, 5, false},
      {"e021080", "e0210804", kCodePageAscii, 7, false},
      {"", "", kCodePageAscii, 0, true},
      {"Tvskin.TVH", "tvskin.tvh", kCodePageGbk, 10, true},
      {"[", "{", kCodePageGbk, 0, false},
      // One character in GBK, a byte and a letter elsewhere.
      {"\x81\x41", "\x81\x61", kCodePageGbk, 1, false},
      {"\x81\x41", "\x81\x61", kCodePageAscii, 2, true},
      {"\x81\x41", "\x81\x61", 1252, 2, true},
      // The second byte of a character may look like a lead byte; the letter after it is one.
      {"\x81\x81X", "\x81\x81x", kCodePageGbk, 3, true},
      {"\xA0X", "\xA0x", 932, 2, true},
      {"\xA0X", "\xA0x", kCodePageGbk, 1, false},
  };
  for (const auto& c : cases) {
    // Either way round.
    for (const auto& [a, b] : {std::pair(c.a, c.b), std::pair(c.b, c.a)}) {
      EXPECT_EQ(platform::SameIgnoringCase(a, b, c.codePage), c.same) << Shown(a, b, c.codePage);
      EXPECT_EQ(platform::SharedPrefixIgnoringCase(a, b, c.codePage), c.shared) << Shown(a, b, c.codePage);
    }
  }
}

TEST(AnsiText, KeywordsAreFoundAtCharacterStarts) {
  constexpr size_t kNowhere = std::string_view::npos;
  const struct {
    std::string text;
    std::string keyword;
    uint32_t codePage;
    size_t anywhere;
    size_t atWordStart;
  } cases[] = {
      {"x settvsrf32", "settvsrf32", kCodePageAscii, 2, 2},
      {"/SETTVSRF32", "settvsrf32", kCodePageAscii, 1, kNowhere},
      {"a/LOG=x /Log=y", "/log=", kCodePageAscii, 1, 8},
      {"x\t/log=", "/log=", kCodePageAscii, 2, 2},
      {"settvsrf3", "settvsrf32", kCodePageAscii, kNowhere, kNowhere},
      // Only the text's letters are folded: a capital of the keyword asks for a capital.
      {"/d=c: /D=d:", "/D=", kCodePageAscii, 6, 6},
      {"ABC", "ABC", kCodePageAscii, 0, 0},
      {"abc", "ABC", kCodePageAscii, kNowhere, kNowhere},
      {"\xC1", "\xE1", kCodePageAscii, kNowhere, kNowhere},  // bytes above 0x7F compare exactly
      {std::string("reg\0tv32", 8), "regtv32", kCodePageAscii, kNowhere, kNowhere},
      // An empty keyword is found at the first character there is.
      {"abc", "", kCodePageAscii, 0, 0},
      {"", "", kCodePageAscii, kNowhere, kNowhere},
      // GBK \xB0\x58 (second byte 'X') and Big5 \xB3\x5C (second byte '\'): a keyword is not
      // found in a second byte, unless the text is read byte by byte.
      {"\xB0Xyz", "xyz", kCodePageGbk, kNowhere, kNowhere},
      {"\xB0Xyz", "xyz", kCodePageAscii, 1, kNowhere},
      {"\xB0Xyz xyz", "xyz", kCodePageGbk, 5, 5},
      {"d:\xB3\x5Cx\\y", "\\", 950, 5, kNowhere},
      {"\xC4\xE3regtv32", "regtv32", kCodePageGbk, 2, kNowhere},
  };
  for (const auto& c : cases) {
    const std::string what = Shown(c.text, c.keyword, c.codePage);
    EXPECT_EQ(platform::FindKeyword(c.text, c.keyword, c.codePage), c.anywhere) << what;
    EXPECT_EQ(platform::FindKeywordAtWordStart(c.text, c.keyword, c.codePage), c.atWordStart) << what;
  }
}

}  // namespace

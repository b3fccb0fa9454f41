#include "platform/ansi_text.h"

#include <algorithm>

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Steps character by character, so that a second byte such as 'A' (0x41) stays: it is part of a
// character, not a letter.
template <char (*Convert)(char)>
std::string WithAsciiCase(std::string_view text, uint32_t codePage) {
  std::string converted(text);
  for (size_t i = 0; i < converted.size(); i += CharLength(text, i, codePage)) converted[i] = Convert(converted[i]);
  return converted;
}

// A keyword's byte matches the text's byte as it is or folded; `folded` is the whole text folded,
// so that a second byte of a double-byte character is compared as it is.
bool KeywordAt(std::string_view text, const std::string& folded, size_t at, std::string_view keyword) {
  if (keyword.size() > text.size() - at) return false;
  for (size_t j = 0; j < keyword.size(); ++j) {
    if (text[at + j] != keyword[j] && folded[at + j] != keyword[j]) return false;
  }
  return true;
}

size_t Find(std::string_view text, std::string_view keyword, uint32_t codePage, bool atWordStart) {
  const std::string folded = FoldAsciiCase(text, codePage);
  for (size_t at = 0; at < text.size(); at += CharLength(text, at, codePage)) {
    if (atWordStart && at > 0 && !IsBlank(text[at - 1])) continue;
    if (KeywordAt(text, folded, at, keyword)) return at;
  }
  return std::string_view::npos;
}

}  // namespace

bool IsLeadByte(uint32_t codePage, unsigned char byte) {
  switch (codePage) {
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    case 932:
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    default:
      return false;
  }
}

size_t CharLength(std::string_view text, size_t at, uint32_t codePage) {
  return IsLeadByte(codePage, static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

std::string FoldAsciiCase(std::string_view text, uint32_t codePage) {
  return WithAsciiCase<AsciiLower>(text, codePage);
}

std::string UpperAsciiCase(std::string_view text, uint32_t codePage) {
  return WithAsciiCase<AsciiUpper>(text, codePage);
}

bool SameIgnoringCase(std::string_view a, std::string_view b, uint32_t codePage) {
  return a.size() == b.size() && FoldAsciiCase(a, codePage) == FoldAsciiCase(b, codePage);
}

size_t SharedPrefixIgnoringCase(std::string_view a, std::string_view b, uint32_t codePage) {
  // A lead byte is no letter and is kept, so the two folds step over the same second bytes for as
  // long as they agree.
  const std::string x = FoldAsciiCase(a, codePage);
  const std::string y = FoldAsciiCase(b, codePage);
  const size_t shorter = std::min(x.size(), y.size());
  return static_cast<size_t>(std::mismatch(x.begin(), x.begin() + shorter, y.begin()).first - x.begin());
}

size_t FindKeyword(std::string_view text, std::string_view keyword, uint32_t codePage) {
  return Find(text, keyword, codePage, false);
}

size_t FindKeywordAtWordStart(std::string_view text, std::string_view keyword, uint32_t codePage) {
  return Find(text, keyword, codePage, true);
}

}  // namespace platform

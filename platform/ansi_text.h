// ANSI text read the way Windows reads it: which bytes open a double-byte character in a code page,
// and letter case, which Windows ignores for ASCII letters only (file and registry names, layout
// identifiers, switches). A second byte that looks like 'A', '\' or '|' belongs to its character.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// GBK. Big5 (950) has the same lead bytes, 0x81-0xFE, so a text read in this code page is read the
// same in either Chinese edition, whatever the system's own code page.
constexpr uint32_t kCodePageGbk = 936;
// US-ASCII: no byte opens a double-byte character, so a text read in it is read byte by byte.
constexpr uint32_t kCodePageAscii = 20127;

// Whether `byte` opens a double-byte character in the ANSI code page `codePage`: GBK (936), Big5
// (950) and Korean (949) 0x81-0xFE, Shift JIS (932) 0x81-0x9F and 0xE0-0xFC; none in a
// single-byte code page.
bool IsLeadByte(uint32_t codePage, unsigned char byte);

// Byte length of the character that starts at `at`: 2 for a lead byte with a byte after it, else 1.
size_t CharLength(std::string_view text, size_t at, uint32_t codePage);

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// `text` with its ASCII letters in lower case, the second bytes of double-byte characters kept:
// two names Windows takes for one get the same key.
std::string FoldAsciiCase(std::string_view text, uint32_t codePage);
// `text` with its ASCII letters in upper case, the second bytes of double-byte characters kept.
std::string UpperAsciiCase(std::string_view text, uint32_t codePage);

// `a` and `b` are equal but for the case of their ASCII letters.
bool SameIgnoringCase(std::string_view a, std::string_view b, uint32_t codePage);
// How many bytes `a` and `b` share from their start, ASCII letters compared without case.
size_t SharedPrefixIgnoringCase(std::string_view a, std::string_view b, uint32_t codePage);

// Where `keyword` first starts in `text`, looked for at each character of the text; npos when
// nowhere. A keyword is written the way it may be matched: a lower-case letter of it matches either
// case in the text, any other byte (a capital too) only itself.
size_t FindKeyword(std::string_view text, std::string_view keyword, uint32_t codePage);
// The same, where the keyword opens the text or follows a blank (space or tab).
size_t FindKeywordAtWordStart(std::string_view text, std::string_view keyword, uint32_t codePage);

}  // namespace platform

// Letter case as Windows ignores it in file names, registry names and layout identifiers: ASCII
// letters only. In a name of a double-byte code page (GBK, Big5) a byte 0x81-0xFE opens a
// character whose second byte may look like a letter and is no letter.
#pragma once
#include <string>
#include <string_view>

namespace platform {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// `text` with its ASCII letters in lower case, the second bytes of double-byte characters kept:
// two names Windows takes for one get the same key.
std::string FoldAsciiCase(std::string_view text);

}  // namespace platform

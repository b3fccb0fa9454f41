// Host-side conversions for tests that check the program's byte texts against their Unicode
// spelling.
#pragma once
#include <string>

namespace testing_support {

// UTF-8 text converted to a code page with iconv ("GBK", "BIG5", "UTF-16LE"); throws when the
// text has no form there.
std::string Encode(const std::string& utf8, const char* charset);
std::string Utf8(const std::u16string& text);

}  // namespace testing_support

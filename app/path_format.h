// Building file names into the 200-byte path buffers: a name that would not fit is refused, never
// cut or overflowed.
#pragma once
#include <string>
#include <string_view>

namespace app {

// dir + name; false (and out untouched) when the result would not fit a 200-byte buffer.
bool JoinPath(std::string_view dir, std::string_view name, std::string* out);

// `path` without its trailing backslashes. The second byte of a double-byte character (GBK and
// Big5 lead bytes are 0x81-0xFE) may be 0x5C and is not a backslash.
std::string WithoutTrailingBackslashes(std::string_view path);

// A program's path as the first word of a command line: between double quotes when it holds a
// blank (so that "c:\my dir\x.exe" cannot start "c:\my.exe"), unchanged otherwise.
std::string QuoteProgram(std::string_view path);

// The text up to its first NUL, as a C string would read it.
std::string UpToNul(std::string_view bytes);

}  // namespace app

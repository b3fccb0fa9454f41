// Building file names into the 200-byte path buffers: a name that would not fit is refused, never
// cut or overflowed. Paths are ANSI bytes; in a double-byte code page the second byte of a
// character may be 0x5C or 0x7C, so every scan for a separator steps over whole characters.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// dir + name; false (and out untouched) when the result would not fit a 200-byte buffer.
bool JoinPath(std::string_view dir, std::string_view name, std::string* out);

// The last character is a backslash of its own, not the second byte of a double-byte character.
bool EndsWithBackslash(std::string_view path, uint32_t codePage);

// The install directory as every reader of it joins names to it: with its backslash, which is
// added when it lacks one and the path buffer has room for it.
std::string WithTrailingBackslash(std::string dir, uint32_t codePage);

// `path` without its trailing backslashes.
std::string WithoutTrailingBackslashes(std::string_view path, uint32_t codePage);

// The parts of `path` between its backslashes (empty parts included).
std::vector<std::string_view> PathLevels(std::string_view path, uint32_t codePage);

// A character no install directory may hold: < > " | ? * /, a control character, a ':' after
// the drive, or a lead byte with nothing after it (the character was cut in half, and a backslash
// appended to it would become its second byte).
bool HasForbiddenPathCharacters(std::string_view path, uint32_t codePage);

// A program's path as the first word of a command line: between double quotes when it holds a
// blank (so that "c:\my dir\x.exe" cannot start "c:\my.exe"), unchanged otherwise.
std::string QuoteProgram(std::string_view path);

// `value` in lower-case hexadecimal without leading zeros, as printf's "%x" writes it.
std::string HexText(uint32_t value);

// The text up to its first NUL, as a C string would read it.
std::string UpToNul(std::string_view bytes);

}  // namespace core

// UTF-16 texts of the platform interfaces as the W calls of Win32 take them: char16_t and wchar_t
// are both 16 bits on Windows, so the text is handed over as it is.
#pragma once
#include <windows.h>

#include <string>

namespace platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text is passed to the W calls as it is");

inline const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// Class and resource names are ASCII: each byte is its character.
inline std::wstring WidenAscii(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace platform::win32

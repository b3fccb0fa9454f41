// Building file names into the 200-byte path buffers: a name that would not fit is refused, never
// cut or overflowed.
#pragma once
#include <string>
#include <string_view>

namespace app {

// dir + name; false (and out untouched) when the result would not fit a 200-byte buffer.
bool JoinPath(std::string_view dir, std::string_view name, std::string* out);

// The text up to its first NUL, as a C string would read it.
std::string UpToNul(std::string_view bytes);

}  // namespace app

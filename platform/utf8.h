// UTF-8 of the UTF-16 texts the W calls take, for whatever shows them outside Windows: the install
// log, the fake's records of boxes and registry names.
#pragma once
#include <string>
#include <string_view>

namespace platform {

// An unpaired surrogate becomes U+FFFD.
std::string Utf8(std::u16string_view text);

}  // namespace platform

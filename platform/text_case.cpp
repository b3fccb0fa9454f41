#include "platform/text_case.h"

namespace platform {

std::string FoldAsciiCase(std::string_view text) {
  std::string key(text);
  for (size_t i = 0; i < key.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(key[i]);
    if (c >= 0x81 && c <= 0xFE) {
      ++i;  // a second byte such as 'A' (0x41) is part of a character, not a letter
    } else {
      key[i] = AsciiLower(key[i]);
    }
  }
  return key;
}

}  // namespace platform

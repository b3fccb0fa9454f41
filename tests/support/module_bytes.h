// Module files as the version stamp finds them, for the deployment and stamp tests: the product's
// name in UTF-16LE followed by its version text.
#pragma once
#include <string>

#include "platform/utf8.h"

namespace testing_support {

// UTF-16LE "Tavo输入平台" and five characters of version.
inline std::string Version(const char* version) {
  std::string text = platform::Utf16Bytes(u"Tavo输入平台");
  for (const char* p = version; *p; ++p) text += std::string(1, *p) + std::string(1, '\0');
  return text;
}

// A module: its own name, then the version text twice.
inline std::string Module(const std::string& name, const char* version) {
  return "MZ" + name + "|" + Version(version) + "|pad|" + Version(version) + "|end";
}

inline std::string Stamped(const std::string& name, const char* from) {
  std::string bytes = Module(name, from);
  std::string old = Version(from), now = Version("  7.1");
  for (size_t at = bytes.find(old); at != std::string::npos; at = bytes.find(old, at + 1)) {
    bytes.replace(at, old.size(), now);
  }
  return bytes;
}

}  // namespace testing_support

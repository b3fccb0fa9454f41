#include "platform/command_line.h"

namespace platform {

std::string_view CommandTail(std::string_view commandLine) {
  // As the C runtime cuts it for WinMain: the name runs to the first blank or control character
  // outside double quotes. Bytes are compared unsigned, so that a double-byte character in an
  // unquoted name does not end the name halfway.
  size_t at = 0;
  bool quoted = false;
  for (; at < commandLine.size(); ++at) {
    unsigned char c = static_cast<unsigned char>(commandLine[at]);
    if (c == 0 || (c <= ' ' && !quoted)) break;
    if (c == '"') quoted = !quoted;
  }
  while (at < commandLine.size() && commandLine[at] != '\0' && static_cast<unsigned char>(commandLine[at]) <= ' ') {
    ++at;
  }
  std::string_view tail = commandLine.substr(at);
  return tail.substr(0, tail.find('\0'));
}

}  // namespace platform

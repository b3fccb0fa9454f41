#include "app/path_format.h"

#include "app/setup_state.h"

namespace app {

bool JoinPath(std::string_view dir, std::string_view name, std::string* out) {
  if (dir.size() + name.size() > kMaxPathChars) return false;
  std::string joined;
  joined.reserve(dir.size() + name.size());
  joined.append(dir);
  joined.append(name);
  *out = std::move(joined);
  return true;
}

std::string WithoutTrailingBackslashes(std::string_view path) {
  size_t end = 0;
  for (size_t i = 0; i < path.size();) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    size_t width = (c >= 0x81 && c <= 0xFE && i + 1 < path.size()) ? 2 : 1;
    if (width == 2 || c != '\\') end = i + width;
    i += width;
  }
  return std::string(path.substr(0, end));
}

std::string QuoteProgram(std::string_view path) {
  if (path.find_first_of(" \t") == std::string_view::npos) return std::string(path);
  return "\"" + std::string(path) + "\"";
}

std::string UpToNul(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace app

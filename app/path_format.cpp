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

std::string UpToNul(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace app

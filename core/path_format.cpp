#include "core/path_format.h"

#include "core/setup_state.h"
#include "platform/ansi_text.h"

namespace core {

using platform::CharLength;

bool JoinPath(std::string_view dir, std::string_view name, std::string* out) {
  if (dir.size() + name.size() > kMaxPathChars) return false;
  std::string joined;
  joined.reserve(dir.size() + name.size());
  joined.append(dir);
  joined.append(name);
  *out = std::move(joined);
  return true;
}

bool EndsWithBackslash(std::string_view path, uint32_t codePage) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i += CharLength(path, i, codePage)) last = i;
  return last != std::string_view::npos && last == path.size() - 1 && path[last] == '\\';
}

std::string WithTrailingBackslash(std::string dir, uint32_t codePage) {
  if (!EndsWithBackslash(dir, codePage) && dir.size() < kMaxPathChars) dir.push_back('\\');
  return dir;
}

std::string WithoutTrailingBackslashes(std::string_view path, uint32_t codePage) {
  size_t end = 0;
  for (size_t i = 0; i < path.size();) {
    size_t width = CharLength(path, i, codePage);
    if (width == 2 || path[i] != '\\') end = i + width;
    i += width;
  }
  return std::string(path.substr(0, end));
}

std::vector<std::string_view> PathLevels(std::string_view path, uint32_t codePage) {
  std::vector<std::string_view> levels;
  size_t start = 0;
  for (size_t i = 0; i < path.size();) {
    size_t width = CharLength(path, i, codePage);
    if (width == 1 && path[i] == '\\') {
      levels.push_back(path.substr(start, i - start));
      start = i + 1;
    }
    i += width;
  }
  levels.push_back(path.substr(start));
  return levels;
}

bool HasForbiddenPathCharacters(std::string_view path, uint32_t codePage) {
  for (size_t i = 0; i < path.size();) {
    size_t width = CharLength(path, i, codePage);
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (width == 1) {
      if (platform::IsLeadByte(codePage, c)) return true;
      if (c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*' || c == '/' ||
          (c == ':' && i != 1)) {
        return true;
      }
    }
    i += width;
  }
  return false;
}

std::string QuoteProgram(std::string_view path) {
  if (path.find_first_of(" \t") == std::string_view::npos) return std::string(path);
  return "\"" + std::string(path) + "\"";
}

std::string HexText(uint32_t value) {
  std::string text;
  do {
    text.insert(text.begin(), "0123456789abcdef"[value & 0xF]);
    value >>= 4;
  } while (value);
  return text;
}

std::string UpToNul(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

}  // namespace core

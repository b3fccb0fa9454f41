#include "core/system_folders.h"

#include <string>
#include <vector>

#include "core/path_format.h"
#include "platform/ansi_text.h"

namespace core {
namespace {

// The folder right below the drive root that holds `path`: "C:\Windows" of "C:\Windows\system32".
// Empty for a root and for a path without a drive (a network path).
std::string TopFolder(std::string_view path, uint32_t codePage) {
  if (path.size() < 4 || platform::CharLength(path, 0, codePage) != 1 || path[1] != ':' || path[2] != '\\') return {};
  std::string_view first = PathLevels(path.substr(3), codePage)[0];
  if (first.empty()) return {};
  return std::string(path.substr(0, 3)) + std::string(first);
}

}  // namespace

bool IsSystemFolder(platform::Files& files, std::string_view dir, uint32_t codePage) {
  const std::string folder = WithoutTrailingBackslashes(dir, codePage);
  // Spellings are folded by the lead bytes GBK and Big5 share, whatever `codePage` is; where the
  // spelling differs, SameDirectory below still asks the system.
  const std::string key = platform::FoldAsciiCase(folder, platform::kCodePageGbk);
  // Installable directories are one level deep, so a system folder further down (the system
  // directory, XP's common application data) is judged by the folder at the root that holds it,
  // which is the system's as well.
  std::vector<std::string> judged;
  for (const std::string& systemFolder : files.SystemFolders()) {
    std::string top = TopFolder(systemFolder, codePage);
    if (top.empty()) continue;
    std::string topKey = platform::FoldAsciiCase(top, platform::kCodePageGbk);
    if (topKey == key) return true;
    bool seen = false;
    for (const std::string& earlier : judged) seen = seen || earlier == topKey;
    if (seen) continue;
    judged.push_back(topKey);
    // The spelling alone misses a short name ("C:\PROGRA~1") or a junction; where the system
    // cannot open a folder (Windows 9x opens none), the spelling is all there is.
    if (files.SameDirectory(folder, top)) return true;
  }
  return false;
}

}  // namespace core

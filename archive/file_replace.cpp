#include "archive/file_replace.h"

#include "app/setup_state.h"
#include "platform/constants.h"

namespace archive {

int DeleteIfPresent(platform::Files& files, const std::string& path) {
  files.SetAttributes(path, platform::kAttrArchive);
  if (!files.Open(path, platform::OpenMode::Read)) return 0;
  return files.Delete(path) ? 0 : -1;
}

int MoveFileAside(platform::Files& files, const std::string& path) {
  // The character before a three-letter extension becomes 2, then 1.
  if (path.size() < 5 || path.size() > app::kMaxPathChars) return -1;
  std::string aside = path;
  size_t mark = path.size() - 5;
  for (char digit : {'2', '1'}) {
    aside[mark] = digit;
    if (aside == path) continue;
    DeleteIfPresent(files, aside);
    if (files.Move(path, aside)) return 0;
  }
  return -1;
}

}  // namespace archive

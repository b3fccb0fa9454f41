#include "archive/file_replace.h"

#include "core/setup_state.h"
#include "platform/constants.h"

namespace archive {

int DeleteIfPresent(platform::Files& files, const std::string& path) {
  files.SetAttributes(path, platform::kAttrArchive);
  if (!files.Open(path, platform::OpenMode::Read)) return 0;
  return files.Delete(path) ? 0 : -1;
}

int MoveFileAside(platform::Files& files, const std::string& path, std::string* asideOut) {
  // The character before a three-letter extension becomes 2, then 1. It must lie inside the
  // file name: otherwise the leftover deleted below would be some other file of a directory
  // above. Any separator byte counts here, also one that is the second byte of a double-byte
  // character, which only makes the check stricter.
  if (path.size() < 5 || path.size() > core::kMaxPathChars) return -1;
  size_t mark = path.size() - 5;
  size_t separator = path.find_last_of("\\/:");
  if (path[mark + 1] != '.' || (separator != std::string::npos && separator >= mark)) return -1;
  std::string aside = path;
  for (char digit : {'2', '1'}) {
    aside[mark] = digit;
    if (aside == path) continue;
    DeleteIfPresent(files, aside);
    if (files.Move(path, aside)) {
      if (asideOut) *asideOut = aside;
      return 0;
    }
  }
  return -1;
}

}  // namespace archive

#include "archive/file_replace.h"

#include "core/setup_state.h"
#include "platform/constants.h"
#include "platform/unchecked.h"

namespace archive {

bool MoveFileAside(platform::Files& files, const std::string& path, std::string* asideOut) {
  // The character before a three-letter extension becomes 2, then 1. It must lie inside the
  // file name: otherwise the leftover deleted below would be some other file of a directory
  // above. Any separator byte counts here, also one that is the second byte of a double-byte
  // character, which only makes the check stricter.
  if (path.size() < 5 || path.size() > core::kMaxPathChars) return false;
  size_t mark = path.size() - 5;
  size_t separator = path.find_last_of("\\/:");
  if (path[mark + 1] != '.' || (separator != std::string::npos && separator >= mark)) return false;
  // Only a file is moved aside: a folder of that name stays where the user has it.
  uint32_t attributes = files.GetAttributes(path);
  if (attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory)) return false;
  std::string aside = path;
  for (char digit : {'2', '1'}) {
    aside[mark] = digit;
    if (aside == path) continue;
    // A leftover that stays makes the move below fail, which says so.
    platform::Unchecked(platform::DeleteIfPresent(files, aside));
    if (files.Move(path, aside)) {
      if (asideOut) *asideOut = aside;
      return true;
    }
  }
  return false;
}

}  // namespace archive

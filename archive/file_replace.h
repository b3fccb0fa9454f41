// Making room for a new copy of a file: delete it whatever its attributes, or, when it is in use
// (a loaded module), rename it to an aside name so the new copy can take its name.
#pragma once
#include <string>

#include "platform/files.h"

namespace archive {

// 0 when nothing readable was there or it was deleted; -1 when it is there and stays.
int DeleteIfPresent(platform::Files& files, const std::string& path);
// Renames tavohu4.ime to tavohu2.ime (or tavohu1.ime), removing a leftover of that name first.
// 0 when moved, -1 when it stays.
int MoveFileAside(platform::Files& files, const std::string& path);

}  // namespace archive

// Making room for a new copy of a file that is in use (a loaded module), which can be neither
// deleted nor replaced: it is renamed to an aside name so the new copy can take its name.
#pragma once
#include <string>

#include "platform/files.h"

namespace archive {

// Renames tavohu4.ime to tavohu2.ime (or tavohu1.ime), removing a leftover of that name first.
// True when moved (`aside`, when given, receives the new name), false when it stays. Only a name with
// a three-letter extension and at least one character before it is moved: for anything shorter
// the changed character would fall into the directory part.
[[nodiscard]] bool MoveFileAside(platform::Files& files, const std::string& path, std::string* aside = nullptr);

}  // namespace archive

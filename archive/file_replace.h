// Making room for a new copy of a file: delete it whatever its attributes, or, when it is in use
// (a loaded module), rename it to an aside name so the new copy can take its name.
#pragma once
#include <string>

#include "platform/files.h"

namespace archive {

// Whether a file is there: only "not found" says it is not (a file that cannot be opened for
// another reason is there, and its data must not be taken for absent).
[[nodiscard]] bool Exists(platform::Files& files, const std::string& path);
// True when the file is gone: it was not there, or it was deleted (a link: the link removed). False
// when something stays under the name: a file that cannot be deleted, a folder.
[[nodiscard]] bool DeleteIfPresent(platform::Files& files, const std::string& path);
// Renames tavohu4.ime to tavohu2.ime (or tavohu1.ime), removing a leftover of that name first.
// True when moved (`aside`, when given, receives the new name), false when it stays. Only a name with
// a three-letter extension and at least one character before it is moved: for anything shorter
// the changed character would fall into the directory part.
[[nodiscard]] bool MoveFileAside(platform::Files& files, const std::string& path, std::string* aside = nullptr);

}  // namespace archive

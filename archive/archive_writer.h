// Building a whole archive in memory from named contents: what the packaging tool writes and
// what the tests feed the readers.
#pragma once
#include <string>
#include <vector>

namespace archive {

struct NamedContent {
  std::string name;
  std::string bytes;
};

// Each content as one zlib stream at the default level, in the given order. False (with a
// reason) for a name that is not a bare file name, longer than 12 bytes, or given twice (letter
// case aside, see SameEntryName).
bool PackArchive(const std::vector<NamedContent>& files, std::string* archive, std::string* error);

}  // namespace archive

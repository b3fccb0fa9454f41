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

// Writes `bytes` as one zlib stream (RFC 1950); false when it cannot.
using StreamPacker = bool (*)(const std::string& bytes, std::string* stream);
// zlib's own one-call compress at the default level.
bool ZlibPack(const std::string& bytes, std::string* stream);

// Each content as one zlib stream, in the given order. False (with a reason) for a name that is
// not a bare file name, longer than 12 bytes, or given twice (letter case aside, see
// SameEntryName), and for a stream that zlib's uncompress would not give back as the content.
// Every stream carries the header 0x78 0x9C the format has always had, whichever packer wrote
// it (its level bits are informative only).
bool PackArchive(const std::vector<NamedContent>& files, std::string* archive, std::string* error,
                 StreamPacker pack = ZlibPack);

}  // namespace archive

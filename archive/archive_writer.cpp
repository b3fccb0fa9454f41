#include "archive/archive_writer.h"

#include <zlib.h>

#include <map>

#include "archive/archive_format.h"

namespace archive {

bool PackArchive(const std::vector<NamedContent>& files, std::string* archive, std::string* error) {
  std::map<std::string, std::string> names;  // by EntryNameKey, the name first given
  std::string body;
  for (const NamedContent& file : files) {
    if (!IsBareFileName(file.name)) {
      *error = "not a bare file name: " + file.name;
      return false;
    }
    if (file.name.size() > kMaxEntryName) {
      *error = "name longer than 12 bytes: " + file.name;
      return false;
    }
    // Windows would write both to one file, and the later one would silently win.
    auto [first, isNew] = names.emplace(EntryNameKey(file.name), file.name);
    if (!isNew) {
      *error = "name given twice: " + file.name + (first->second == file.name ? "" : " (as " + first->second + ")");
      return false;
    }
    uLongf length = compressBound(static_cast<uLong>(file.bytes.size()));
    std::string packed(length, '\0');
    if (compress(reinterpret_cast<Bytef*>(packed.data()), &length, reinterpret_cast<const Bytef*>(file.bytes.data()),
                 static_cast<uLong>(file.bytes.size())) != Z_OK) {
      *error = "cannot compress: " + file.name;
      return false;
    }
    packed.resize(length);
    body += EntryHeader(file.name, static_cast<uint32_t>(length));
    body += packed;
  }
  *archive = ArchiveHeader(static_cast<uint32_t>(kArchiveHeaderSize + body.size()), static_cast<uint32_t>(files.size()));
  *archive += body;
  return true;
}

}  // namespace archive

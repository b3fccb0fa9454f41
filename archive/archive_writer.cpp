#include "archive/archive_writer.h"

#include <zlib.h>

#include "archive/archive_format.h"

namespace archive {
namespace {

// The stream as the setup will read it: zlib's uncompress must give back exactly the content.
bool UnpacksTo(const std::string& stream, const std::string& bytes) {
  std::string out(bytes.size() + 1, '\0');
  uLongf length = static_cast<uLongf>(out.size());
  return uncompress(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(stream.data()),
                    static_cast<uLong>(stream.size())) == Z_OK &&
         length == bytes.size() && out.compare(0, length, bytes) == 0;
}

}  // namespace

bool ZlibPack(const std::string& bytes, std::string* stream) {
  uLongf length = compressBound(static_cast<uLong>(bytes.size()));
  std::string packed(length, '\0');
  if (compress(reinterpret_cast<Bytef*>(packed.data()), &length, reinterpret_cast<const Bytef*>(bytes.data()),
               static_cast<uLong>(bytes.size())) != Z_OK) {
    return false;
  }
  packed.resize(length);
  *stream = std::move(packed);
  return true;
}

bool PackArchive(const std::vector<NamedContent>& files, std::string* archive, std::string* error, StreamPacker pack) {
  EntryNames names;
  std::string body;
  for (const NamedContent& file : files) {
    std::string first;
    if (NameFault named = names.Add(file.name, &first); named != NameFault::None) {
      *error = std::string(NameFaultText(named)) + ": " + file.name + FirstGivenAs(named, file.name, first);
      return false;
    }
    std::string packed;
    // Deflate with a 32 KiB window (0x78) is all the header may say; 0x78 0x9C is a valid
    // header for it whatever the level.
    if (!pack(file.bytes, &packed) || packed.size() < 6 || static_cast<uint8_t>(packed[0]) != 0x78) {
      *error = "cannot compress: " + file.name;
      return false;
    }
    packed[1] = static_cast<char>(0x9C);
    if (!UnpacksTo(packed, file.bytes)) {
      *error = "stream does not unpack to the file: " + file.name;
      return false;
    }
    body += EntryHeader(file.name, static_cast<uint32_t>(packed.size()));
    body += packed;
  }
  *archive =
      ArchiveHeader(static_cast<uint32_t>(kArchiveHeaderSize + body.size()), static_cast<uint32_t>(files.size()));
  *archive += body;
  return true;
}

}  // namespace archive

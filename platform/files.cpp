#include "platform/files.h"

#include "platform/constants.h"
#include "platform/unchecked.h"

namespace platform {

long FileSize(File& file) {
  long size = file.Seek(0, SeekFrom::End);
  if (size < 0 || file.Seek(0, SeekFrom::Begin) != 0) return -1;
  return size;
}

bool ReadSmallFile(Files& files, const std::string& path, unsigned long maxBytes, std::string* out) {
  auto file = files.Open(path, OpenMode::Read);
  if (!file) return false;
  std::string bytes(maxBytes, '\0');
  long n = maxBytes ? file->Read(bytes.data(), maxBytes) : 0;
  bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
  *out = std::move(bytes);
  return true;
}

bool IsLink(Files& files, const std::string& path) {
  uint32_t attributes = files.GetAttributes(path);
  if (attributes == kInvalidAttributes) return false;
  if (attributes & kAttrReparsePoint) return true;
  return !(attributes & kAttrDirectory) && files.LinkCount(path) > 1;
}

bool RemoveLink(Files& files, const std::string& path) {
  if (!IsLink(files, path)) return true;
  // Never through SetAttributes: a hard link shares its attributes with the file it names. A
  // directory link is left to the caller to refuse.
  return !(files.GetAttributes(path) & kAttrDirectory) && files.Delete(path);
}

bool WriteSmallFile(Files& files, const std::string& path, const std::string& bytes) {
  if (!RemoveLink(files, path)) return false;
  auto file = files.Create(path);
  if (!file) return false;
  if (bytes.empty()) return true;
  if (file->Write(bytes.data(), bytes.size()) == static_cast<long>(bytes.size())) return true;
  // What a full disk cut short is taken away: a reader would take the piece for the whole.
  file.reset();
  Unchecked(files.Delete(path));
  return false;
}

}  // namespace platform

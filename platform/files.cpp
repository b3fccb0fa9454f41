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

bool Exists(Files& files, const std::string& path) {
  if (files.CanOpenForReading(path)) return true;
  long error = files.LastError();
  return error != kErrorFileNotFound && error != kErrorPathNotFound;
}

bool DeleteIfPresent(Files& files, const std::string& path) {
  // A link goes as it is: its attributes are those of the file it names, which are not ours.
  if (IsLink(files, path)) return RemoveLink(files, path);
  if (!Exists(files, path)) return true;
  // A directory of that name is not a file to replace: it stays, and the name is not free.
  uint32_t attributes = files.GetAttributes(path);
  if (attributes != kInvalidAttributes && (attributes & kAttrDirectory)) return false;
  Unchecked(files.SetAttributes(path, kAttrArchive));
  return files.Delete(path);
}

bool WriteSmallFile(Files& files, const std::string& path, const std::string& bytes) {
  if (!RemoveLink(files, path)) return false;
  auto file = files.Create(path);
  if (!file) return false;
  const bool written = bytes.empty() || file->Write(bytes.data(), bytes.size()) == static_cast<long>(bytes.size());
  // Only bytes on the disk may take the place of a file: after a power cut the cache is gone.
  if (written && file->Flush()) return true;
  // What a full disk cut short is taken away: a reader would take the piece for the whole.
  file.reset();
  Unchecked(files.Delete(path));
  return false;
}

std::string BesideName(const std::string& path, const char* extension) {
  size_t dot = path.find_last_of('.');
  size_t separator = path.find_last_of('\\');
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) dot = path.size();
  return path.substr(0, dot) + "." + extension;
}

std::string FreshName(const std::string& path) { return BesideName(path, "new"); }

bool WriteFreshFile(Files& files, const std::string& path, const std::string& bytes) {
  const std::string fresh = FreshName(path);
  // A piece a cut-off run left is never taken for a file; one that cannot go makes the write fail.
  Unchecked(DeleteIfPresent(files, fresh));
  return WriteSmallFile(files, fresh, bytes);
}

bool WriteWholeFile(Files& files, const std::string& path, const std::string& bytes) {
  if (!WriteFreshFile(files, path, bytes)) return false;
  const std::string fresh = FreshName(path);
  if (files.MoveReplacing(fresh, path)) return true;
  Unchecked(DeleteIfPresent(files, fresh));
  return false;
}

}  // namespace platform

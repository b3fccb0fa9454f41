#include "tools/payload_source.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>

#include "archive/archive_format.h"
#include "archive/archive_verify.h"

namespace tools {
namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

}  // namespace

bool ReadWholeFile(const std::filesystem::path& path, std::string* bytes, std::string* why) {
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (error) {
    *why = error.message();
    return false;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *why = errno ? std::strerror(errno) : "cannot be opened";
    return false;
  }
  bytes->resize(static_cast<size_t>(size));
  in.read(bytes->data(), static_cast<std::streamsize>(size));
  if (static_cast<uintmax_t>(in.gcount()) != size || in.peek() != std::char_traits<char>::eof()) {
    *why = in.bad() ? "a read error" : "it changed while it was read";
    return false;
  }
  return true;
}

flow::PayloadView PayloadInArchive(std::shared_ptr<const std::string> image) {
  flow::PayloadView view;
  std::vector<archive::EntryReport> entries;
  std::string fault;
  archive::VerifyArchive(Bytes(*image), image->size(), archive::UnpackRoom(), &entries, &fault);
  for (const archive::EntryReport& entry : entries) view.files.push_back({entry.name, entry.unpackedLength});
  view.read = [image](const std::string& name, std::string* bytes) {
    uint32_t count = 0;
    if (!archive::ReadEntryCount(Bytes(*image), image->size(), &count)) return false;
    archive::EntryWalker walker(Bytes(*image), image->size(), count);
    archive::Entry entry;
    while (walker.Next(&entry) == archive::WalkStep::Entry) {
      if (entry.name != name) continue;
      std::vector<uint8_t> out(archive::kDataAreaSize);
      unsigned long produced = static_cast<unsigned long>(out.size());
      if (archive::Uncompress(entry, out.data(), &produced) != 0) return false;
      bytes->assign(out.begin(), out.begin() + static_cast<long>(produced));
      return true;
    }
    return false;
  };
  return view;
}

flow::PayloadView PayloadInFiles(const std::vector<std::pair<std::string, std::filesystem::path>>& files) {
  flow::PayloadView view;
  auto paths = std::make_shared<std::vector<std::pair<std::string, std::filesystem::path>>>(files);
  for (const auto& [name, path] : files) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    // A file that cannot be measured is not taken for an empty one: reading it tells.
    view.files.push_back({name, error ? UINT64_MAX : static_cast<uint64_t>(size)});
  }
  view.read = [paths](const std::string& name, std::string* bytes) {
    for (const auto& [entry, path] : *paths) {
      if (entry == name) {
        std::string why;
        return ReadWholeFile(path, bytes, &why);
      }
    }
    return false;
  };
  return view;
}

}  // namespace tools

// A payload as the payload check reads it, from an archive image or from the files of a
// directory, reading only the files whose contents the check looks into; and the one way the
// tools read a file whole.
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "flow/payload_needs.h"

namespace tools {

// The whole file in one read, sized from the file system. False with the reason in words.
bool ReadWholeFile(const std::filesystem::path& path, std::string* bytes, std::string* why);

// The entries of an archive image the caller has verified: names, unpacked sizes, and each
// entry's bytes unpacked on request.
flow::PayloadView PayloadInArchive(std::shared_ptr<const std::string> image);

// Files by the names their entries will have, with where they lie: sizes from the file system,
// bytes read on request.
flow::PayloadView PayloadInFiles(const std::vector<std::pair<std::string, std::filesystem::path>>& files);

}  // namespace tools

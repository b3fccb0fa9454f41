// A payload as the payload check reads it, from an archive image or from the files of a
// directory, reading only the files whose contents the check looks into.
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "flow/payload_needs.h"

namespace tools {

// The entries of an archive image the caller has verified: names, unpacked sizes, and each
// entry's bytes unpacked on request.
flow::PayloadView PayloadInArchive(std::shared_ptr<const std::string> image);

// Files by the names their entries will have, with where they lie: sizes from the file system,
// bytes read on request.
flow::PayloadView PayloadInFiles(const std::vector<std::pair<std::string, std::filesystem::path>>& files);

}  // namespace tools

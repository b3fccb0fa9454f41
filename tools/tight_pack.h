// The packaging side's tightest zlib streams: libdeflate at its highest level writes the same
// format as zlib's compress, only smaller, and zlib's uncompress in the setup reads it as ever.
// Built on the build machine only (the setup itself never packs a payload).
#pragma once
#include <string>

namespace tools {

// `bytes` as one zlib stream at libdeflate's level 12; false when it cannot.
bool TightPack(const std::string& bytes, std::string* stream);

}  // namespace tools

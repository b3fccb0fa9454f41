#include "tools/tight_pack.h"

#include <libdeflate.h>

#include <memory>

namespace tools {

bool TightPack(const std::string& bytes, std::string* stream) {
  std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
      libdeflate_alloc_compressor(12), &libdeflate_free_compressor);
  if (!compressor) return false;
  std::string packed(libdeflate_zlib_compress_bound(compressor.get(), bytes.size()), '\0');
  size_t length = libdeflate_zlib_compress(compressor.get(), bytes.data(), bytes.size(), packed.data(), packed.size());
  if (length == 0) return false;
  packed.resize(length);
  *stream = std::move(packed);
  return true;
}

}  // namespace tools

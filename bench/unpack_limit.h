// What the unpack benchmarks on the host and in Wine share: the limit the setup's unpack is held
// against (each entry decompressed by one zlib call into memory and written by one write, through
// the same file layer), and how the two series are printed.
#pragma once
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "platform/files.h"

namespace bench {

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

inline double Min(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

// Every entry of the archive image into DIR (ending with its separator); out holds the largest entry.
inline bool UnpackAtLimit(platform::Files& files, const std::string& image, const std::string& dir,
                          std::vector<uint8_t>& out) {
  auto bytes = reinterpret_cast<const uint8_t*>(image.data());
  uint32_t count = 0;
  archive::ReadEntryCount(bytes, image.size(), &count);
  archive::EntryWalker walker(bytes, image.size(), count);
  archive::Entry entry;
  while (walker.Next(&entry) == archive::WalkStep::Entry) {
    uLongf produced = out.size();
    if (uncompress(out.data(), &produced, entry.data, entry.compressedLength) != Z_OK) return false;
    auto file = files.Create(dir + entry.name);
    if (!file || file->Write(out.data(), produced) != static_cast<long>(produced)) return false;
  }
  return true;
}

// Times in seconds.
inline void PrintUnpackFigures(const std::string& payload, size_t bytes, int runs, const std::vector<double>& unpack,
                               const std::vector<double>& limit) {
  std::printf("payload %s: %zu bytes, %d runs each\n", payload.c_str(), bytes, runs);
  std::printf("%-28s %10s %10s\n", "", "min ms", "median ms");
  std::printf("%-28s %10.1f %10.1f\n", "UnpackArchive", 1000 * Min(unpack), 1000 * Median(unpack));
  std::printf("%-28s %10.1f %10.1f\n", "limit (uncompress + write)", 1000 * Min(limit), 1000 * Median(limit));
  std::printf("ratio limit/unpack (median): %.3f (goal >= 0.85)\n", Median(limit) / Median(unpack));
}

}  // namespace bench

// A strict check of a whole archive image, for packagers: everything the setup will rely on when
// it unpacks the image, reported at the first fault.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace archive {

struct EntryReport {
  std::string name;
  uint32_t compressedLength = 0;
  unsigned long unpackedLength = 0;
  int zlibResult = 0;  // of uncompress into the setup's data area
};

// Walks the image with every bounds check and decompresses each entry into a data area of
// `dataArea` bytes. False with `fault` set at the first problem; `entries` gets what was read.
bool VerifyArchive(const uint8_t* image, size_t size, size_t dataArea, std::vector<EntryReport>* entries,
                   std::string* fault);

}  // namespace archive

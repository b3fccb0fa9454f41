// A strict check of a whole archive image, for packagers: everything the setup will rely on when
// it unpacks the image, reported at the first fault.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_format.h"

namespace archive {

struct EntryReport {
  std::string name;
  uint32_t compressedLength = 0;
  unsigned long unpackedLength = 0;
  int zlibResult = 0;  // of uncompress into the setup's data area
};

// The room the setup gives an archive: the data area its entries are unpacked into and, for an
// entry named *.tvz (a skin, which is unpacked once more from the install directory), how much
// of the skin file is loaded and the data area behind it.
struct UnpackRoom {
  size_t dataArea = kDataAreaSize;
  size_t skinLoad = kSkinLoadSize;
  size_t skinDataArea = kSkinDataAreaSize;
};

// Walks the image with every bounds check and decompresses each entry into the data area; a
// skin entry must fit into what is loaded of it and pass the same checks as an archive of its
// own in the skin's data area. False with `fault` set at the first problem; `entries` gets what
// was read of the image itself.
bool VerifyArchive(const uint8_t* image, size_t size, const UnpackRoom& room, std::vector<EntryReport>* entries,
                   std::string* fault);

// The same with a data area of `dataArea` bytes and the setup's own room for skins.
bool VerifyArchive(const uint8_t* image, size_t size, size_t dataArea, std::vector<EntryReport>* entries,
                   std::string* fault);

// What an unpack result other than 0 means for an entry unpacked into `dataArea` bytes, in words,
// with zlib's name for it: "the compressed data are damaged (zlib: data error)".
std::string UnpackFaultText(int zlibResult, size_t dataArea);

}  // namespace archive

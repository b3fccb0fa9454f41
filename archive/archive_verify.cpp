#include "archive/archive_verify.h"

#include <zlib.h>

namespace archive {

namespace {

// Skins hold bitmaps and settings, not further skins; a deeper nest is a fault rather than a
// reason to recurse without end (a zlib stream can unpack to an archive that holds itself).
constexpr int kMaxSkinNesting = 4;

bool IsSkinName(std::string_view name) {
  return name.size() >= 4 && SameEntryName(name.substr(name.size() - 4), ".tvz");
}

bool Verify(const uint8_t* image, size_t size, size_t dataArea, const UnpackRoom& room, int nesting,
            std::vector<EntryReport>* entries, std::string* fault) {
  uint32_t count = 0;
  if (!ReadEntryCount(image, size, &count)) {
    *fault = "shorter than the 10-byte header";
    return false;
  }
  if (image[0] != 'T' || image[1] != 'V') {
    *fault = "magic is not TV";
    return false;
  }
  if (ReadU32(image + kTotalLengthOffset) != size) {
    *fault = "total length " + std::to_string(ReadU32(image + kTotalLengthOffset)) + " but the archive has " +
             std::to_string(size) + " bytes";
    return false;
  }
  if (count == 0) {
    *fault = "no entries";
    return false;
  }
  std::vector<uint8_t> out(dataArea);
  EntryNames names;
  EntryWalker walker(image, size, count);
  Entry entry;
  size_t end = kArchiveHeaderSize;
  for (;;) {
    WalkStep step = walker.Next(&entry);
    std::string where = "entry " + std::to_string(walker.index() + (step == WalkStep::Entry ? 0 : 1));
    switch (step) {
      case WalkStep::End:
        if (end != size) {
          *fault = std::to_string(size - end) + " bytes after the last entry";
          return false;
        }
        return true;
      case WalkStep::NotAnEntry:
        *fault = where + ": name field does not begin with CF";
        return false;
      case WalkStep::Truncated:
        *fault = where + ": runs past the end of the archive";
        return false;
      case WalkStep::NameUnended:
        *fault = where + ": name without NUL";
        return false;
      case WalkStep::Entry:
        break;
    }
    EntryReport report;
    report.name = entry.name;
    report.compressedLength = entry.compressedLength;
    unsigned long produced = static_cast<unsigned long>(out.size());
    report.zlibResult = Uncompress(entry, out.data(), &produced);
    report.unpackedLength = report.zlibResult == Z_OK ? produced : 0;
    entries->push_back(report);
    end = static_cast<size_t>(entry.data - image) + entry.compressedLength;
    where += " (" + entry.name + ")";
    std::string first;
    // A name given twice: Windows writes both to one file, the later entry silently replacing the
    // earlier.
    if (NameFault named = names.Add(entry.name, &first); named != NameFault::None) {
      *fault = where + ": " + NameFaultText(named) + FirstGivenAs(named, entry.name, first);
      return false;
    }
    if (report.zlibResult != Z_OK) {
      *fault = where + ": " + UnpackFaultText(report.zlibResult, dataArea);
      return false;
    }
    if (produced == 0) {
      *fault = where + ": unpacks to 0 bytes, which the setup treats as a failure";
      return false;
    }
    if (!IsSkinName(entry.name)) continue;
    // The setup reads a skin file only up to its load size and unpacks what it read: a longer
    // skin loses its later entries without a word.
    if (produced > room.skinLoad) {
      *fault = where + ": skin of " + std::to_string(produced) + " bytes, but only the first " +
               std::to_string(room.skinLoad) + " bytes of a skin are loaded";
      return false;
    }
    if (nesting >= kMaxSkinNesting) {
      *fault = where + ": skins nested more than " + std::to_string(kMaxSkinNesting) + " deep";
      return false;
    }
    std::vector<EntryReport> skinEntries;
    std::string skinFault;
    if (!Verify(out.data(), produced, room.skinDataArea, room, nesting + 1, &skinEntries, &skinFault)) {
      *fault = where + ": skin: " + skinFault;
      return false;
    }
  }
}

}  // namespace

bool VerifyArchive(const uint8_t* image, size_t size, const UnpackRoom& room, std::vector<EntryReport>* entries,
                   std::string* fault) {
  return Verify(image, size, room.dataArea, room, 0, entries, fault);
}

bool VerifyArchive(const uint8_t* image, size_t size, size_t dataArea, std::vector<EntryReport>* entries,
                   std::string* fault) {
  UnpackRoom room;
  room.dataArea = dataArea;
  return VerifyArchive(image, size, room, entries, fault);
}

std::string UnpackFaultText(int zlibResult, size_t dataArea) {
  switch (zlibResult) {
    case Z_DATA_ERROR:
      return "the compressed data are damaged (zlib: data error)";
    // uncompress says so only when the room ran out before the stream ended.
    case Z_BUF_ERROR:
      return "does not fit into the setup's data area of " + std::to_string(dataArea) + " bytes (zlib: buffer error)";
    case Z_MEM_ERROR:
      return "out of memory (zlib: memory error)";
    default:
      return "zlib failed with result " + std::to_string(zlibResult);
  }
}

}  // namespace archive

#include "archive/archive_verify.h"

#include <zlib.h>

#include <set>

#include "archive/archive_format.h"

namespace archive {

bool VerifyArchive(const uint8_t* image, size_t size, size_t dataArea, std::vector<EntryReport>* entries,
                   std::string* fault) {
  uint32_t count = 0;
  if (!ReadEntryCount(image, size, &count)) {
    *fault = "shorter than the 10-byte header";
    return false;
  }
  if (image[0] != 'T' || image[1] != 'V') {
    *fault = "magic is not TV";
    return false;
  }
  if (ReadU32(image + 2) != size) {
    *fault = "total length " + std::to_string(ReadU32(image + 2)) + " but the archive has " + std::to_string(size) +
             " bytes";
    return false;
  }
  std::vector<uint8_t> out(dataArea);
  std::set<std::string> names;
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
    if (!IsBareFileName(entry.name)) {
      *fault = where + ": not a bare file name";
      return false;
    }
    if (entry.name.size() > kMaxEntryName) {
      *fault = where + ": name longer than 12 bytes";
      return false;
    }
    if (!names.insert(entry.name).second) {
      *fault = where + ": name given twice";
      return false;
    }
    if (report.zlibResult != Z_OK) {
      *fault = where + ": zlib result " + std::to_string(report.zlibResult) +
               (report.zlibResult == Z_BUF_ERROR ? " (larger than the data area)" : "");
      return false;
    }
    if (produced == 0) {
      *fault = where + ": unpacks to 0 bytes, which the setup treats as a failure";
      return false;
    }
  }
}

}  // namespace archive

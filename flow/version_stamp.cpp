#include "flow/version_stamp.h"

#include <cstring>

#include "platform/files.h"
#include "platform/unchecked.h"

namespace flow {
namespace {

// "Tavo输入平台" in UTF-16LE, the name the version text follows.
constexpr uint8_t kProductName[16] = {'T', 0, 'a', 0, 'v', 0, 'o', 0, 0x93, 0x8F, 0x65, 0x51, 0x73, 0x5E, 0xF0, 0x53};
// Byte offsets after the name of the version text's characters: blank, blank, major, dot, minor.
constexpr size_t kBlankAt = 0;
constexpr size_t kMajorAt = 4;
constexpr size_t kDotAt = 6;
constexpr size_t kMinorAt = 8;

}  // namespace

bool StampVersion(uint8_t* buffer, size_t length) {
  bool changed = false;
  for (size_t p = 0; p + sizeof kProductName <= length;) {
    if (std::memcmp(buffer + p, kProductName, sizeof kProductName) != 0) {
      ++p;
      continue;
    }
    // The version follows in UTF-16LE: "  6.3" (or 6.7), a character every two bytes.
    size_t q = p + sizeof kProductName;
    if (q + kMinorAt < length && buffer[q + kBlankAt] == ' ' && buffer[q + kMajorAt] == '6' &&
        buffer[q + kDotAt] == '.' && (buffer[q + kMinorAt] == '3' || buffer[q + kMinorAt] == '7')) {
      changed = true;
      buffer[q + kMajorAt] = '7';
      buffer[q + kMinorAt] = '1';
    }
    p = q + 1;
  }
  return changed;
}

void StampModuleVersion(core::SetupState& s, const std::string& path) {
  if (!s.WorkBuffer || s.WorkBuffer->Size() < kStampLimit || path.empty()) return;
  auto file = s.os.files.Open(path, platform::OpenMode::Read);
  if (!file) return;
  // Only a whole file is written back: a larger one (or one that cannot be measured or read)
  // stays as it is rather than being cut to the buffer.
  long size = platform::FileSize(*file);
  if (size < 0 || size > static_cast<long>(kStampLimit)) return;
  uint8_t* buffer = s.WorkBuffer->Data();
  long n = size ? file->Read(buffer, kStampLimit) : 0;
  file.reset();
  if (n != size) return;
  size_t length = static_cast<size_t>(n);
  // A file without a stamp to change is left alone: rewriting it could only lose it (a failed
  // write after the truncation leaves nothing of the module).
  if (!StampVersion(buffer, length) || !platform::RemoveLink(s.os.files, path)) return;
  auto out = s.os.files.Create(path);
  bool written =
      out && (!length || out->Write(buffer, static_cast<unsigned long>(length)) == static_cast<long>(length));
  s.Log.Step("stamp version 7.1 into", path, written);
}

}  // namespace flow

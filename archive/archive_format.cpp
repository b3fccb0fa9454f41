#include "archive/archive_format.h"

#include <zlib.h>

#include <cstring>

#include "platform/ansi_text.h"

namespace archive {

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

void PutU32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool ReadEntryCount(const uint8_t* image, size_t size, uint32_t* count) {
  if (!image || size < kArchiveHeaderSize) return false;
  *count = ReadU32(image + kEntryCountOffset);
  return true;
}

WalkStep ReadEntryHeader(const uint8_t* header, Entry* entry) {
  if (header[0] != 'C' || header[1] != 'F') return WalkStep::NotAnEntry;
  const void* nul = std::memchr(header + 2, 0, kNameFieldSize - 2);
  if (!nul) return WalkStep::NameUnended;
  entry->name.assign(reinterpret_cast<const char*>(header + 2), static_cast<const uint8_t*>(nul) - (header + 2));
  entry->compressedLength = ReadU32(header + kCompressedLengthOffset);
  return WalkStep::Entry;
}

WalkStep EntryWalker::Next(Entry* entry) {
  if (ended_ || index_ >= count_) return WalkStep::End;
  ended_ = true;  // until this entry proves whole
  *entry = Entry();
  if (size_ - offset_ < kEntryHeaderSize) {
    if (size_ - offset_ >= 2 && (image_[offset_] != 'C' || image_[offset_ + 1] != 'F')) return WalkStep::NotAnEntry;
    return WalkStep::Truncated;
  }
  WalkStep header = ReadEntryHeader(image_ + offset_, entry);
  if (header != WalkStep::Entry) return header;
  size_t dataOffset = offset_ + kEntryHeaderSize;
  if (entry->compressedLength > size_ - dataOffset) return WalkStep::Truncated;
  entry->data = image_ + dataOffset;
  offset_ = dataOffset + entry->compressedLength;
  ++index_;
  ended_ = false;
  return WalkStep::Entry;
}

int Uncompress(const Entry& entry, uint8_t* out, unsigned long* length) {
  uLongf produced = *length;
  int rc = uncompress(out, &produced, entry.data, entry.compressedLength);
  *length = produced;
  return rc;
}

namespace {

bool IsRefusedByte(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
}

// Windows opens the device for such a name whatever extension follows it and whatever blanks
// stand before the dot.
bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  const std::string key = EntryNameKey(stem);
  for (std::string_view device : {"con", "prn", "aux", "nul", "conin$", "conout$"}) {
    if (key == device) return true;
  }
  if (key.size() != 4 || (key.compare(0, 3, "com") != 0 && key.compare(0, 3, "lpt") != 0)) return false;
  // Digits, and the superscripts one to three as the Western code pages spell them (in GBK and
  // Big5 a lead byte without its second byte, no name either).
  unsigned char n = static_cast<unsigned char>(key[3]);
  return (n >= '1' && n <= '9') || n == 0xB9 || n == 0xB2 || n == 0xB3;
}

}  // namespace

bool IsBareFileName(std::string_view name) {
  if (name.empty()) return false;
  // Refused in any byte position, also where a code page would read the byte as the second byte
  // of a double-byte character: no legitimate name needs that, and not every reader of the name
  // knows its code page.
  for (char c : name) {
    if (IsRefusedByte(c)) return false;
  }
  // Also refuses "." and "..".
  if (name.back() == '.' || name.back() == ' ') return false;
  return !IsDeviceName(name);
}

const char* NameFaultText(NameFault fault) {
  switch (fault) {
    case NameFault::None:
      break;
    case NameFault::NotBare:
      return "not a bare file name";
    case NameFault::TooLong:
      return "name longer than 12 bytes";
    case NameFault::GivenTwice:
      return "name given twice";
  }
  return "";
}

std::string FirstGivenAs(NameFault fault, std::string_view name, const std::string& first) {
  return fault == NameFault::GivenTwice && first != name ? " (as " + first + ")" : std::string();
}

NameFault CheckEntryName(std::string_view name) {
  if (!IsBareFileName(name)) return NameFault::NotBare;
  if (name.size() > kMaxEntryName) return NameFault::TooLong;
  return NameFault::None;
}

NameFault EntryNames::Add(std::string_view name, std::string* first) {
  if (NameFault fault = CheckEntryName(name); fault != NameFault::None) return fault;
  // Windows would write both to one file, and the later one would silently win.
  auto [earlier, isNew] = byKey_.emplace(EntryNameKey(name), std::string(name));
  if (isNew) return NameFault::None;
  if (first) *first = earlier->second;
  return NameFault::GivenTwice;
}

// The names are the archive's, not the reading system's: one rule for every edition, under which
// the second byte of a GBK or Big5 character is never a letter.
std::string EntryNameKey(std::string_view name) { return platform::FoldAsciiCase(name, platform::kCodePageGbk); }

bool SameEntryName(std::string_view a, std::string_view b) { return EntryNameKey(a) == EntryNameKey(b); }

std::string EntryHeader(std::string_view name, uint32_t compressedLength) {
  std::string header(kEntryHeaderSize, static_cast<char>(kNameFiller));
  header[0] = 'C';
  header[1] = 'F';
  size_t n = name.size() < kMaxEntryName ? name.size() : kMaxEntryName;
  std::memcpy(header.data() + 2, name.data(), n);
  header[2 + n] = '\0';
  PutU32(reinterpret_cast<uint8_t*>(header.data() + kCompressedLengthOffset), compressedLength);
  return header;
}

std::string ArchiveHeader(uint32_t totalLength, uint32_t count) {
  std::string header(kArchiveHeaderSize, '\0');
  header[0] = 'T';
  header[1] = 'V';
  PutU32(reinterpret_cast<uint8_t*>(header.data() + kTotalLengthOffset), totalLength);
  PutU32(reinterpret_cast<uint8_t*>(header.data() + kEntryCountOffset), count);
  return header;
}

}  // namespace archive

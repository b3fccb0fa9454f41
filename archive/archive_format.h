// The container format shared by the payload, the skins and the user-data backup:
//   "TV", total length (u32 LE), entry count (u32 LE), then per entry
//   "CF" + file name + NUL in a 16-byte field, compressed length (u32 LE), one zlib stream.
// The walk below checks every offset against the bytes present before it reads them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace archive {

constexpr size_t kArchiveHeaderSize = 10;
// Where the archive header keeps its two counts; the backup updates them in place.
constexpr size_t kTotalLengthOffset = 2;
constexpr size_t kEntryCountOffset = 6;
constexpr size_t kEntryHeaderSize = 20;
constexpr size_t kNameFieldSize = 16;
// The compressed length follows the name field.
constexpr size_t kCompressedLengthOffset = kNameFieldSize;
constexpr size_t kMaxEntryName = 12;  // "CF" + 12 bytes + NUL leaves one byte of the field over
constexpr uint8_t kNameFiller = 0xCC;
// The work area: a 100-byte name area, then the data area to the end of the work buffer.
constexpr size_t kWorkBufferSize = 2 * 1024 * 1024;
constexpr size_t kNameAreaSize = 100;
constexpr size_t kSkinLoadSize = 128 * 1024;
// The data area of the payload and the backup, and the smaller one behind a loaded skin file.
constexpr size_t kDataAreaSize = kWorkBufferSize - kNameAreaSize;
constexpr size_t kSkinDataAreaSize = kWorkBufferSize - kSkinLoadSize - kNameAreaSize;

uint32_t ReadU32(const uint8_t* p);
void PutU32(uint8_t* p, uint32_t value);

// The entry count of an image, or false when the image is shorter than its header.
bool ReadEntryCount(const uint8_t* image, size_t size, uint32_t* count);

struct Entry {
  std::string name;  // without "CF", up to the NUL
  const uint8_t* data = nullptr;
  uint32_t compressedLength = 0;
};

enum class WalkStep {
  Entry,        // entry is complete and lies inside the image
  End,          // all entries of the count were walked
  NotAnEntry,   // the name field does not begin with "CF": the walk ends (as the format wants)
  Truncated,    // the entry header or its stream runs past the image: the walk ends
  NameUnended,  // no NUL within the name field: the walk ends
};

// zlib's one-call decompression of an entry into `*length` bytes of room; `*length` becomes the
// length produced. The zlib result (0 on success).
int Uncompress(const Entry& entry, uint8_t* out, unsigned long* length);

// Reads one entry header of kEntryHeaderSize bytes, wherever they came from (an image in memory,
// a file read piece by piece): Entry with the name and compressed length set (`data` left
// null), NotAnEntry or NameUnended.
WalkStep ReadEntryHeader(const uint8_t* header, Entry* entry);

// Walks the entries of an image, at most `count` of them.
class EntryWalker {
 public:
  EntryWalker(const uint8_t* image, size_t size, uint32_t count) : image_(image), size_(size), count_(count) {}
  // The next entry; on Truncated, `entry` still carries the name when the header was whole.
  WalkStep Next(Entry* entry);
  uint32_t index() const { return index_; }

 private:
  const uint8_t* image_;
  size_t size_;
  uint32_t count_;
  uint32_t index_ = 0;
  size_t offset_ = kArchiveHeaderSize;
  bool ended_ = false;
};

// The one rule for a name that may become a file of the install directory, for every reader and
// writer of archives: a name Windows takes as it stands for a file of that directory. Not empty,
// no directory part or drive, no character Windows refuses or reads as a wildcard, no control
// byte, no trailing dot or blank (Windows drops them, so another name would be written), and no
// DOS device name ("COM1" or "nul.txt" opens a device instead of a file).
bool IsBareFileName(std::string_view name);

// Why a name may not be an entry's, in the order the rule is checked.
enum class NameFault {
  None,
  NotBare,    // not IsBareFileName
  TooLong,    // over kMaxEntryName bytes: the name field cannot hold it
  GivenTwice  // the same file on Windows as a name before it (see SameEntryName)
};

// The entry-name rule for one name on its own: bare, and short enough for the name field.
NameFault CheckEntryName(std::string_view name);
// What is wrong with a name ("name given twice"), and, for GivenTwice, how it was first given
// when that differs (" (as kelv1.bmp)"; otherwise empty): for the writer's and verifier's messages.
const char* NameFaultText(NameFault fault);
std::string FirstGivenAs(NameFault fault, std::string_view name, const std::string& first);

// The rule over the names of one archive: each passes CheckEntryName and names a file of its
// own. Add checks a name against the names added before and keeps it when it passes.
class EntryNames {
 public:
  // `first` (optional) receives, for GivenTwice, the name as it was first given.
  NameFault Add(std::string_view name, std::string* first = nullptr);

 private:
  std::map<std::string, std::string> byKey_;  // by EntryNameKey, the name first given
};

// Whether two entry names would be one file on Windows, as far as ASCII letters go: equal but
// for their case. A byte 0x81-0xFE begins a double-byte character, whose second byte is compared
// as it is: there it is part of a character, not a letter.
bool SameEntryName(std::string_view a, std::string_view b);

// A key that two names share exactly when SameEntryName holds for them: for sets of names.
std::string EntryNameKey(std::string_view name);

// The 20-byte entry header for name and compressed length (filler after the NUL).
std::string EntryHeader(std::string_view name, uint32_t compressedLength);
std::string ArchiveHeader(uint32_t totalLength, uint32_t count);

}  // namespace archive

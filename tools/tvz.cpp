// tvz: the packaging tool for the setup's archive format (payload, skins, user-data backups).
//   tvz list ARCHIVE              name, compressed and unpacked size and unpack result of each
//                                 entry; of a damaged archive the entries before the damage, and
//                                 where it starts
//   tvz pack ARCHIVE DIR|FILES... one entry per file, by file name (a directory: its files in
//                                 byte order of their names), each as the tightest zlib stream
//   tvz pack-zlib ARCHIVE DIR|... the same with zlib's own compressor (for comparison)
//   tvz extract ARCHIVE DIR       every entry as a file of DIR (a link of that name is replaced,
//                                 not written through)
//   tvz verify ARCHIVE            every check the setup relies on; exit code 1 at the first fault
//   tvz check-payload DIR|ARCHIVE whether the setup can install that payload whole; every fault
//                                 named, one a line
//   tvz help                      what each command does, with an example
// Sizes are judged against the setup's data area (2,097,052 bytes); an entry named *.tvz is a
// skin, which must fit into the 131,072 bytes the setup loads of it and pass the same checks in
// the skin's data area (1,965,980 bytes).
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_verify.h"
#include "archive/archive_writer.h"
#include "flow/payload_needs.h"
#include "tools/payload_source.h"
#ifdef TAVO_TIGHT_PACK
#include "tools/tight_pack.h"
#endif

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// The build machine's tool writes the tightest streams; the Windows build of the tool has zlib's.
#ifdef TAVO_TIGHT_PACK
constexpr archive::StreamPacker kPacker = tools::TightPack;
#else
constexpr archive::StreamPacker kPacker = archive::ZlibPack;
#endif

// The archive header counts its length in 32 bits.
constexpr uintmax_t kMaxArchiveSize = UINT32_MAX;

// ---- Names: which bytes a name may have, and how tvz shows it

bool IsGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsGbkTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE); }

// Whether a GBK double-byte character starts at `at`.
bool GbkPairAt(std::string_view text, size_t at) {
  return at + 1 < text.size() && IsGbkLead(static_cast<unsigned char>(text[at])) &&
         IsGbkTrail(static_cast<unsigned char>(text[at + 1]));
}

// `text` readable on a terminal: a GBK character as it stands (its second byte may be '\' or '|',
// which belongs to the character), any other byte outside printable ASCII as \xNN. On the build
// machine a backslash is a byte of a name and is shown as \\, so that \xNN stays unambiguous; on
// Windows it separates the directories of a path.
std::string Escape(std::string_view text, bool quoted = false) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (GbkPairAt(text, i)) {
      shown.append(text.substr(i++, 2));
    } else if (c < 0x20 || c >= 0x7F || (quoted && c == '"')) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += hex;
#ifndef _WIN32
    } else if (c == '\\') {
      shown += "\\\\";
#endif
    } else {
      shown += static_cast<char>(c);
    }
  }
  return shown;
}

// A name or path as tvz prints it, everywhere: escaped, and in quotes when a blank at either end
// or a dot at its end (both dropped by Windows from a file name) would otherwise go unseen.
std::string ShowName(std::string_view name) {
  const bool quoted = name.empty() || name.front() == ' ' || name.back() == ' ' || name.back() == '.';
  return quoted ? "\"" + Escape(name, true) + "\"" : Escape(name);
}

// Whether `text` has bytes beyond ASCII and reads as well-formed UTF-8 throughout (shortest
// forms, no surrogates, nothing above U+10FFFF).
bool IsUtf8BeyondAscii(std::string_view text) {
  bool beyond = false;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    beyond = true;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (size_t k = 1; k < length; ++k) {
      const unsigned char t = static_cast<unsigned char>(text[i + k]);
      if (t < (k == 1 ? low : 0x80) || t > (k == 1 ? high : 0xBF)) return false;
    }
    i += length;
  }
  return beyond;
}

// Why name bytes would not reach a Chinese Windows as the characters meant, in words; empty when
// they would. The setup writes entry names through the ANSI code page, GBK (936) there, so a name
// must be GBK. UTF-8 and GBK share many byte sequences, but a name beyond ASCII that reads as
// well-formed UTF-8 is almost surely UTF-8: 说明.txt in UTF-8 would be installed as 璇存槑.txt.
std::string AnsiBytesFault(std::string_view name) {
  if (IsUtf8BeyondAscii(name)) {
    return "a UTF-8 name, which a Chinese Windows reads as GBK and so shows as other characters; rename it in "
           "GBK (e.g. convmv -f utf8 -t gbk --notest FILE)";
  }
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (GbkPairAt(name, i)) {
      ++i;
    } else if (c >= 0x80) {
      char fault[96];
      std::snprintf(fault, sizeof fault, "byte 0x%02X at offset %zu of the name is no character of GBK (code page 936)",
                    c, i);
      return fault;
    }
  }
  return {};
}

// Entry names are ANSI bytes (code page 936 on the target systems). On Windows the file names
// go through the ANSI code page, as the setup's own ANSI calls do; elsewhere bytes are names.
#ifdef _WIN32
fs::path FromAnsi(const std::string& bytes) {
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  return fs::path(wide);
}
// `exact` (optional) tells whether every character had a form in the code page. Without best fit
// a missing character becomes the default character and says so, instead of a look-alike; a UTF-8
// code page takes neither the flag nor the question.
std::string ToAnsi(const fs::path& path, bool* exact = nullptr) {
  const std::wstring& wide = path.native();
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* askDefault = utf8 ? nullptr : &usedDefault;
  int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, askDefault);
  if (exact) *exact = !usedDefault && (n > 0 || wide.empty());
  return bytes;
}
std::string AnsiNameFault(const fs::path& name) {
  bool exact = false;
  std::string bytes = ToAnsi(name, &exact);
  if (!exact) return "a character of the name has no form in this system's ANSI code page; rename it";
  // A system whose ANSI code page is UTF-8 would write the names in UTF-8.
  return GetACP() == CP_UTF8 ? AnsiBytesFault(bytes) : std::string();
}
std::error_code LastError() { return std::error_code(static_cast<int>(GetLastError()), std::system_category()); }
#else
fs::path FromAnsi(const std::string& bytes) { return fs::path(bytes); }
std::string ToAnsi(const fs::path& path) { return path.string(); }
std::string AnsiNameFault(const fs::path& name) { return AnsiBytesFault(name.native()); }
std::error_code LastError() { return std::error_code(errno, std::generic_category()); }
#endif

// ---- Files

bool WriteFile(const fs::path& path, const std::string& bytes, std::string* why) {
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (out.flush()) return true;
  *why = errno ? std::strerror(errno) : "a write error";
  return false;
}

// Creates a file of that name that did not exist: an existing file, or a link even to nowhere,
// makes it fail with `taken` set.
#ifdef _WIN32
bool WriteNewFile(const fs::path& path, const std::string& bytes, bool* taken) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    *taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    return false;
  }
  DWORD written = 0;
  bool ok =
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  DWORD error = GetLastError();
  bool closed = CloseHandle(file);
  if (!ok) SetLastError(error);
  return closed && ok;
}
bool RenameOver(const fs::path& from, const fs::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
#else
bool WriteNewFile(const fs::path& path, const std::string& bytes, bool* taken) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    *taken = errno == EEXIST;
    return false;
  }
  bool ok = true;
  for (size_t done = 0; ok && done < bytes.size();) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  int error = errno;
  bool closed = close(fd) == 0;
  if (!ok) errno = error;
  return closed && ok;
}
bool RenameOver(const fs::path& from, const fs::path& to) { return std::rename(from.c_str(), to.c_str()) == 0; }
#endif

// Writes the bytes under a fresh name in the directory and renames that over `path`: whatever
// stood at `path` (a link to a file elsewhere, another name of a file) is replaced, never
// written through, and a failed write leaves it as it was. The system's error when it fails.
std::error_code ReplaceFile(const fs::path& path, const std::string& bytes) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path temporary = path.parent_path() / ("~tvz" + std::to_string(attempt) + ".tmp");
    bool taken = false;
    bool written = WriteNewFile(temporary, bytes, &taken);
    if (taken) continue;  // a leftover of an earlier run, or an entry of that name
    if (written && RenameOver(temporary, path)) return {};
    std::error_code failed = LastError();
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return failed;
  }
  return std::make_error_code(std::errc::file_exists);
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "tvz: %s\n", message.c_str());
  return 1;
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// ---- Reading archives

// Reads an archive file; 0, or the exit code after the message.
int LoadImage(const std::string& archivePath, std::string* image) {
  std::error_code error;
  uintmax_t size = fs::file_size(FromAnsi(archivePath), error);
  if (!error && size > kMaxArchiveSize) {
    return Fail(ShowName(archivePath) + ": " + std::to_string(size) + " bytes, more than an archive can have (" +
                std::to_string(kMaxArchiveSize) + ")");
  }
  std::string why;
  if (!tools::ReadWholeFile(FromAnsi(archivePath), image, &why))
    return Fail(ShowName(archivePath) + ": cannot read it: " + why);
  return 0;
}

struct Listed {
  std::string name;
  uint32_t compressedLength = 0;
  unsigned long unpackedLength = 0;
  int zlibResult = 0;
};

// Where the entries of an archive stop being readable: the first entry cut short, without a
// header, or whose stream is damaged.
struct Damage {
  uint32_t index = 0;  // counted from 1; 0: every entry reads whole
  size_t offset = 0;   // of the entry's header in the file
  std::string name;    // when its header was whole
  std::string reason;
};

// Walks the entries as the setup does and unpacks each into the data area, up to the first
// damaged one. `listed` gets the entries before it. The verify stops at the first fault of any
// kind, and before the walk when the header's total length is not the file's; this tells the
// packager how much of the file is still good.
Damage Walk(const std::string& image, std::vector<Listed>* listed) {
  uint32_t count = 0;
  if (!archive::ReadEntryCount(Bytes(image), image.size(), &count) || image[0] != 'T' || image[1] != 'V') {
    return {};  // no archive at all; the verify says so
  }
  const uint32_t totalLength = archive::ReadU32(Bytes(image) + archive::kTotalLengthOffset);
  archive::EntryWalker walker(Bytes(image), image.size(), count);
  archive::Entry entry;
  std::vector<uint8_t> out(archive::kDataAreaSize);
  size_t offset = archive::kArchiveHeaderSize;
  for (;;) {
    const archive::WalkStep step = walker.Next(&entry);
    auto damaged = [&](std::string reason) {
      return Damage{static_cast<uint32_t>(listed->size() + 1), offset, entry.name, std::move(reason)};
    };
    switch (step) {
      case archive::WalkStep::End:
        return {};
      case archive::WalkStep::NotAnEntry:
        return damaged("no entry begins there (its first bytes are not CF)");
      case archive::WalkStep::NameUnended:
        return damaged("the name field has no end (no NUL in its 16 bytes)");
      case archive::WalkStep::Truncated:
        if (totalLength > image.size()) {
          return damaged("the file is cut short there (its header gives " + std::to_string(totalLength) +
                         " bytes, the file has " + std::to_string(image.size()) + ")");
        }
        if (offset == image.size()) {
          return damaged("the file ends there, but its header counts " + std::to_string(count) + " entries");
        }
        return damaged("the entry runs past the end of the file");
      case archive::WalkStep::Entry:
        break;
    }
    Listed item{entry.name, entry.compressedLength, 0, 0};
    unsigned long produced = static_cast<unsigned long>(out.size());
    item.zlibResult = archive::Uncompress(entry, out.data(), &produced);
    item.unpackedLength = item.zlibResult == Z_OK ? produced : 0;
    // A stream too large for the data area is whole and the walk goes on; a damaged one ends it,
    // as what follows may have been hit too.
    if (item.zlibResult == Z_DATA_ERROR) {
      return damaged(archive::UnpackFaultText(item.zlibResult, archive::kDataAreaSize));
    }
    listed->push_back(item);
    offset = static_cast<size_t>(entry.data - Bytes(image)) + entry.compressedLength;
  }
}

// The one line for an archive that failed the verify: where the damage starts when an entry is
// damaged, else the verify's own fault.
std::string FaultText(const std::string& archivePath, const Damage& damage, const std::string& fault) {
  if (damage.index == 0) return ShowName(archivePath) + ": " + Escape(fault);
  std::string where = "entry " + std::to_string(damage.index);
  if (!damage.name.empty()) where += " (" + ShowName(damage.name) + ")";
  return ShowName(archivePath) + ": the damage starts at " + where + ", byte " + std::to_string(damage.offset) + ": " +
         damage.reason;
}

// Reads and verifies an archive; 0, or the exit code after the message.
int LoadVerified(const std::string& archivePath, std::string* image) {
  if (int rc = LoadImage(archivePath, image)) return rc;
  std::vector<archive::EntryReport> entries;
  std::string fault;
  if (!archive::VerifyArchive(Bytes(*image), image->size(), archive::UnpackRoom(), &entries, &fault)) {
    std::vector<Listed> listed;
    return Fail(FaultText(archivePath, Walk(*image, &listed), fault));
  }
  return 0;
}

// The unpack result of a listed entry in a word or two.
const char* ResultWords(int zlibResult) {
  switch (zlibResult) {
    case Z_OK:
      return "ok";
    case Z_BUF_ERROR:
      return "too large";
    case Z_MEM_ERROR:
      return "out of memory";
    default:
      return "failed";
  }
}

int List(const std::string& archivePath) {
  std::string image;
  if (int rc = LoadImage(archivePath, &image)) return rc;
  std::vector<Listed> listed;
  const Damage damage = Walk(image, &listed);
  std::printf("%-14s %10s %10s %5s  %s\n", "name", "packed", "unpacked", "zlib", "result");
  for (const auto& e : listed) {
    std::printf("%-14s %10u %10lu %5d  %s\n", ShowName(e.name).c_str(), e.compressedLength, e.unpackedLength,
                e.zlibResult, ResultWords(e.zlibResult));
  }
  std::printf("%zu entries%s, %zu bytes\n", listed.size(), damage.index ? " before the damage" : "", image.size());
  std::vector<archive::EntryReport> entries;
  std::string fault;
  if (archive::VerifyArchive(Bytes(image), image.size(), archive::UnpackRoom(), &entries, &fault)) return 0;
  return Fail(FaultText(archivePath, damage, fault));
}

// ---- Packing

bool IsSkinName(const std::string& name) {
  return name.size() >= 4 && archive::SameEntryName(std::string_view(name).substr(name.size() - 4), ".tvz");
}

// Why the setup could not unpack a file of `size` bytes as the entry `name`, in words; empty
// when it can. The limits are the verify's.
std::string SizeFault(const std::string& name, uintmax_t size) {
  if (size == 0) return "0 bytes, and the setup takes an entry that unpacks to nothing for a failed unpack";
  if (IsSkinName(name) && size > archive::kSkinLoadSize) {
    return std::to_string(size) + " bytes, but the setup loads only the first " +
           std::to_string(archive::kSkinLoadSize) + " bytes of a skin (*.tvz)";
  }
  if (size > archive::kDataAreaSize) {
    return std::to_string(size) + " bytes, more than the setup's data area of " +
           std::to_string(archive::kDataAreaSize) + " bytes";
  }
  return {};
}

// What a directory entry is, for saying why pack leaves it out.
const char* KindWords(const fs::directory_entry& item) {
  std::error_code error;
  const fs::file_status status = item.status(error);
  if (fs::is_directory(status)) return "a directory";
  if (status.type() == fs::file_type::not_found && item.is_symlink(error)) return "a link to nothing";
  return "not a plain file";
}

// The files to pack: the plain files of one directory in byte order of their names (what else it
// holds is named on standard output and left out), or the files given. 0, or the exit code after
// the message.
int CollectFiles(const std::vector<std::string>& inputs, std::vector<fs::path>* files) {
  std::error_code error;
  if (inputs.size() == 1 && fs::is_directory(FromAnsi(inputs[0]), error)) {
    std::vector<std::pair<std::string, const char*>> leftOut;
    for (fs::directory_iterator item(FromAnsi(inputs[0]), error), end; !error && item != end; item.increment(error)) {
      std::error_code kind;
      if (item->is_regular_file(kind)) {
        files->push_back(item->path());
      } else {
        leftOut.emplace_back(ToAnsi(item->path().filename()), KindWords(*item));
      }
    }
    if (error) return Fail(ShowName(inputs[0]) + ": cannot list it: " + error.message());
    std::sort(files->begin(), files->end(),
              [](const fs::path& a, const fs::path& b) { return ToAnsi(a.filename()) < ToAnsi(b.filename()); });
    std::sort(leftOut.begin(), leftOut.end());
    for (const auto& [name, kind] : leftOut) std::printf("left out (%s): %s\n", kind, ShowName(name).c_str());
    if (files->empty()) return Fail(ShowName(inputs[0]) + ": no plain files to pack");
    return 0;
  }
  for (const auto& input : inputs) {
    if (fs::is_directory(FromAnsi(input), error)) {
      return Fail(ShowName(input) + ": a directory; pack takes one directory, or files");
    }
    files->push_back(FromAnsi(input));
  }
  return 0;
}

int Pack(const std::string& archivePath, const std::vector<std::string>& inputs, archive::StreamPacker packer) {
  std::vector<fs::path> files;
  if (int rc = CollectFiles(inputs, &files)) return rc;
  // Every name and size is checked before any file is read: a mistake costs no time.
  archive::EntryNames names;
  std::vector<std::string> entryNames;
  for (const auto& file : files) {
    const std::string shown = ShowName(ToAnsi(file));
    if (std::string fault = AnsiNameFault(file.filename()); !fault.empty()) return Fail(shown + ": " + fault);
    const std::string name = ToAnsi(file.filename());
    std::string first;
    if (archive::NameFault named = names.Add(name, &first); named != archive::NameFault::None) {
      const bool other = named == archive::NameFault::GivenTwice && first != name;
      return Fail(shown + ": " + archive::NameFaultText(named) + (other ? " (as " + ShowName(first) + ")" : ""));
    }
    std::error_code error;
    const uintmax_t size = fs::file_size(file, error);
    if (error) return Fail(shown + ": cannot read it: " + error.message());
    if (std::string fault = SizeFault(name, size); !fault.empty()) return Fail(shown + ": " + fault);
    entryNames.push_back(name);
  }
  // One file at a time is read and packed as an archive of its own, whose entry is kept: the
  // names were checked together above, and only the packed streams stay in memory, behind room
  // for the header.
  std::string image(archive::kArchiveHeaderSize, '\0');
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string shown = ShowName(ToAnsi(files[i]));
    std::vector<archive::NamedContent> one(1);
    one[0].name = entryNames[i];
    std::string why, packed;
    if (!tools::ReadWholeFile(files[i], &one[0].bytes, &why)) return Fail(shown + ": cannot read it: " + why);
    if (!archive::PackArchive(one, &packed, &why, packer)) return Fail(shown + ": " + Escape(why));
    image.append(packed, archive::kArchiveHeaderSize, std::string::npos);
  }
  if (image.size() > kMaxArchiveSize) {
    return Fail(ShowName(archivePath) + ": the files pack to more than an archive can have (" +
                std::to_string(kMaxArchiveSize) + " bytes)");
  }
  image.replace(0, archive::kArchiveHeaderSize,
                archive::ArchiveHeader(static_cast<uint32_t>(image.size()), static_cast<uint32_t>(files.size())));
  // An archive that already holds these bytes keeps its time, for make.
  std::error_code error;
  std::string existing, why;
  bool unchanged = fs::file_size(FromAnsi(archivePath), error) == image.size() && !error &&
                   tools::ReadWholeFile(FromAnsi(archivePath), &existing, &why) && existing == image;
  if (!unchanged && !WriteFile(FromAnsi(archivePath), image, &why)) {
    return Fail(ShowName(archivePath) + ": cannot write it: " + why);
  }
  std::printf("%s: %zu entries, %zu bytes%s\n", ShowName(archivePath).c_str(), files.size(), image.size(),
              unchanged ? " (unchanged)" : "");
  return 0;
}

// ---- Extracting and verifying

int Extract(const std::string& archivePath, const std::string& dir) {
  std::string image;
  if (int rc = LoadVerified(archivePath, &image)) return rc;
  std::error_code error;
  fs::create_directories(FromAnsi(dir), error);
  if (error) return Fail(ShowName(dir) + ": cannot make the directory: " + error.message());
  uint32_t count = 0;
  archive::ReadEntryCount(Bytes(image), image.size(), &count);
  archive::EntryWalker walker(Bytes(image), image.size(), count);
  archive::Entry entry;
  std::vector<uint8_t> out(archive::kDataAreaSize);
  uint32_t written = 0;
  while (walker.Next(&entry) == archive::WalkStep::Entry) {
    unsigned long produced = static_cast<unsigned long>(out.size());
    // The image was verified: every entry decompresses into the data area.
    archive::Uncompress(entry, out.data(), &produced);
    const fs::path target = FromAnsi(dir) / FromAnsi(entry.name);
    if (std::error_code failed = ReplaceFile(target, std::string(out.begin(), out.begin() + produced))) {
      return Fail(ShowName(ToAnsi(target)) + ": cannot write it: " + failed.message());
    }
    ++written;
  }
  std::printf("%s: %u files written\n", ShowName(dir).c_str(), written);
  return 0;
}

int Verify(const std::string& archivePath) {
  std::string image;
  if (int rc = LoadVerified(archivePath, &image)) return rc;
  uint32_t count = 0;
  archive::ReadEntryCount(Bytes(image), image.size(), &count);
  std::printf("%s: %u entries, %zu bytes, all good\n", ShowName(archivePath).c_str(), count, image.size());
  return 0;
}

// Whether the setup can install the payload in a directory or an archive as a whole product:
// every fault is named, one line each, and the answer is exit 1.
int CheckPayload(const std::string& source) {
  flow::PayloadView view;
  std::error_code kind;
  if (fs::is_directory(FromAnsi(source), kind)) {
    std::vector<std::pair<std::string, fs::path>> files;
    std::error_code listed;
    for (fs::directory_iterator item(FromAnsi(source), listed), end; !listed && item != end; item.increment(listed)) {
      std::error_code regular;
      if (item->is_regular_file(regular)) files.emplace_back(ToAnsi(item->path().filename()), item->path());
    }
    if (listed) return Fail(ShowName(source) + ": cannot list it: " + listed.message());
    view = tools::PayloadInFiles(files);
  } else {
    auto image = std::make_shared<std::string>();
    if (int rc = LoadVerified(source, image.get())) return rc;
    view = tools::PayloadInArchive(image);
  }
  const std::vector<std::string> faults = flow::PayloadFaults(view);
  for (const std::string& fault : faults)
    std::fprintf(stderr, "tvz: %s: %s\n", ShowName(source).c_str(), fault.c_str());
  if (!faults.empty()) {
    return Fail(ShowName(source) + ": " + std::to_string(faults.size()) + (faults.size() == 1 ? " fault" : " faults") +
                ": the setup cannot install this payload as a whole product");
  }
  std::printf(
      "%s: %zu files; every file the setup needs is there; a first install leaves %d files in the install "
      "directory (the check wants %d): all good\n",
      ShowName(source).c_str(), view.files.size(), flow::InstalledFileCount(view), flow::kInstalledFilesAtLeast);
  return 0;
}

constexpr char kUsage[] =
    "usage: tvz list|verify ARCHIVE | tvz pack|pack-zlib ARCHIVE DIR|FILES... | tvz extract ARCHIVE DIR |\n"
    "       tvz check-payload DIR|ARCHIVE\n";

constexpr char kHelp[] =
    "tvz: the packaging tool for the setup's archives (the payload, skins, user-data backups).\n"
    "\n"
    "  tvz pack ARCHIVE DIR|FILES...\n"
    "      Packs the files of DIR (its plain files, in byte order of their names; anything else\n"
    "      in it is named and left out), or the FILES given, one entry each, named by file name,\n"
    "      as the tightest zlib streams. Refused before any file is read: a name that is not\n"
    "      GBK (a UTF-8 name among them), not a bare file name, over 12 bytes or given twice, and\n"
    "      a file of 0 bytes or larger than the setup unpacks (2097052 bytes; a skin *.tvz 131072).\n"
    "      Example: tvz pack payload.tvz payload/\n"
    "  tvz pack-zlib ARCHIVE DIR|FILES...\n"
    "      The same with zlib's own compressor (as tvz.exe packs), for comparison.\n"
    "      Example: tvz pack-zlib payload-zlib.tvz payload/\n"
    "  tvz list ARCHIVE\n"
    "      Each entry's name, compressed and unpacked size and unpack result (zlib's number and\n"
    "      in words); of a damaged archive the entries before the damage, and where it starts.\n"
    "      Example: tvz list payload.tvz\n"
    "  tvz verify ARCHIVE\n"
    "      Every check the setup relies on (names, sizes, streams, skins); exit code 1 at the\n"
    "      first fault, with the fault named.\n"
    "      Example: tvz verify payload.tvz\n"
    "  tvz check-payload DIR|ARCHIVE\n"
    "      Whether the setup can install this payload as a whole product: every file it places,\n"
    "      starts, stamps, copies or checks is there and usable, skins hold no programs, no name is\n"
    "      one the install keeps for itself, and the install directory gets the files the\n"
    "      installation check wants. Every fault is named; exit code 1 when there is one.\n"
    "      Example: tvz check-payload payload/\n"
    "  tvz extract ARCHIVE DIR\n"
    "      Writes every entry of a verified archive as a file of DIR (made when missing); a link\n"
    "      under an entry's name is replaced, never written through.\n"
    "      Example: tvz extract tavoback.tvz restored/\n"
    "  tvz help, tvz --help, tvz -h\n"
    "      This text.\n"
    "\n"
    "Names are shown with control bytes as \\xNN, and in quotes when they end in a blank or dot.\n"
    "\n"
    "A release is packed with the build machine's tvz (build/host/tools/tvz): it writes the\n"
    "tightest streams (libdeflate), the same bytes the build packs, every time. tvz.exe has\n"
    "zlib's compressor only; its archives are as valid for the setup, but larger (the sample\n"
    "payload by 4.5 %).\n"
    "\n"
    "Exit codes: 0 done, 1 a fault (one line on standard error names the file and the reason),\n"
    "2 a command tvz does not know.\n";

int Run(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "help" || args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (args.size() == 2 && args[0] == "list") return List(args[1]);
  if (args.size() >= 3 && args[0] == "pack") return Pack(args[1], {args.begin() + 2, args.end()}, kPacker);
  if (args.size() >= 3 && args[0] == "pack-zlib") {
    return Pack(args[1], {args.begin() + 2, args.end()}, archive::ZlibPack);
  }
  if (args.size() == 3 && args[0] == "extract") return Extract(args[1], args[2]);
  if (args.size() == 2 && args[0] == "verify") return Verify(args[1]);
  if (args.size() == 2 && args[0] == "check-payload") return CheckPayload(args[1]);
  std::fputs(kUsage, stderr);
  std::fputs("tvz --help tells what each command does.\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // A mistake of the user's (a directory where a file was meant, a place that cannot be written)
  // gets one line with the file and the reason, never an abort: the file-system calls take an
  // error code, and where exceptions exist anything else that throws is caught here too.
#if defined(__cpp_exceptions)
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
#else
  return Run(std::vector<std::string>(argv + 1, argv + argc));
#endif
}

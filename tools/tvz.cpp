// tvz: the packaging tool for the setup's archive format (payload, skins, user-data backups).
//   tvz list ARCHIVE              name, compressed and unpacked size, zlib result of each entry
//   tvz pack ARCHIVE DIR|FILES... one entry per file, by file name (a directory: its files in
//                                 byte order of their names), each as the tightest zlib stream
//   tvz pack-zlib ARCHIVE DIR|... the same with zlib's own compressor (for comparison)
//   tvz extract ARCHIVE DIR       every entry as a file of DIR (a link of that name is replaced,
//                                 not written through)
//   tvz verify ARCHIVE            every check the setup relies on; exit code 1 at the first fault
//   tvz check-payload DIR|ARCHIVE whether the setup can install that payload whole; every fault
//   tvz help                      what each command does, with an example
// Sizes are judged against the setup's data area (2,097,052 bytes); an entry named *.tvz is a
// skin, which must fit into the 131,072 bytes the setup loads of it and pass the same checks in
// the skin's data area (1,965,980 bytes).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
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

#include <cerrno>
#endif

namespace fs = std::filesystem;

namespace {

// The build machine's tool writes the tightest streams; the Windows build of the tool has zlib's.
#ifdef TAVO_TIGHT_PACK
constexpr archive::StreamPacker kPacker = tools::TightPack;
#else
constexpr archive::StreamPacker kPacker = archive::ZlibPack;
#endif

// Entry names are ANSI bytes (code page 936 on the target systems). On Windows the file names
// go through the ANSI code page, as the setup's own ANSI calls do; elsewhere bytes are names.
#ifdef _WIN32
fs::path FromAnsi(const std::string& bytes) {
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  return fs::path(wide);
}
std::string ToAnsi(const fs::path& path) {
  const std::wstring& wide = path.native();
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}
#else
fs::path FromAnsi(const std::string& bytes) { return fs::path(bytes); }
std::string ToAnsi(const fs::path& path) { return path.string(); }
#endif

bool ReadFile(const fs::path& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
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
  return CloseHandle(file) && ok;
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
  return close(fd) == 0 && ok;
}
bool RenameOver(const fs::path& from, const fs::path& to) { return std::rename(from.c_str(), to.c_str()) == 0; }
#endif

// Writes the bytes under a fresh name in the directory and renames that over `path`: whatever
// stood at `path` (a link to a file elsewhere, another name of a file) is replaced, never
// written through, and a failed write leaves it as it was.
bool ReplaceFile(const fs::path& path, const std::string& bytes) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path temporary = path.parent_path() / ("~tvz" + std::to_string(attempt) + ".tmp");
    bool taken = false;
    bool written = WriteNewFile(temporary, bytes, &taken);
    if (taken) continue;  // a leftover of an earlier run, or an entry of that name
    if (written && RenameOver(temporary, path)) return true;
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return false;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "tvz: %s\n", message.c_str());
  return 1;
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

int List(const std::string& archivePath) {
  std::string image;
  if (!ReadFile(FromAnsi(archivePath), &image)) return Fail("cannot read " + archivePath);
  std::vector<archive::EntryReport> entries;
  std::string fault;
  bool ok = archive::VerifyArchive(Bytes(image), image.size(), archive::UnpackRoom(), &entries, &fault);
  std::printf("%-14s %10s %10s %5s\n", "name", "packed", "unpacked", "zlib");
  for (const auto& e : entries) {
    std::printf("%-14s %10u %10lu %5d\n", e.name.c_str(), e.compressedLength, e.unpackedLength, e.zlibResult);
  }
  std::printf("%zu entries, %zu bytes\n", entries.size(), image.size());
  return ok ? 0 : Fail(archivePath + ": " + fault);
}

int Pack(const std::string& archivePath, const std::vector<std::string>& inputs, archive::StreamPacker packer) {
  std::vector<fs::path> files;
  std::error_code listed;
  if (inputs.size() == 1 && fs::is_directory(FromAnsi(inputs[0]), listed)) {
    for (fs::directory_iterator item(FromAnsi(inputs[0]), listed), end; !listed && item != end;
         item.increment(listed)) {
      std::error_code kind;
      if (item->is_regular_file(kind)) files.push_back(item->path());
    }
    if (listed) return Fail(inputs[0] + ": " + listed.message());
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return ToAnsi(a.filename()) < ToAnsi(b.filename()); });
  } else {
    for (const auto& input : inputs) files.push_back(FromAnsi(input));
  }
  std::vector<archive::NamedContent> contents;
  for (const auto& file : files) {
    archive::NamedContent content{ToAnsi(file.filename()), {}};
    if (!ReadFile(file, &content.bytes)) return Fail("cannot read " + ToAnsi(file));
    contents.push_back(std::move(content));
  }
  std::string image, error;
  if (!archive::PackArchive(contents, &image, &error, packer)) return Fail(error);
  std::string existing;
  bool unchanged = ReadFile(FromAnsi(archivePath), &existing) && existing == image;  // keeps its time for make
  if (!unchanged && !WriteFile(FromAnsi(archivePath), image)) return Fail("cannot write " + archivePath);
  std::printf("%s: %zu entries, %zu bytes%s\n", archivePath.c_str(), contents.size(), image.size(),
              unchanged ? " (unchanged)" : "");
  return 0;
}

// Reads and verifies an archive; 0, or the exit code after the message.
int LoadVerified(const std::string& archivePath, std::string* image, std::vector<archive::EntryReport>* entries) {
  if (!ReadFile(FromAnsi(archivePath), image)) return Fail("cannot read " + archivePath);
  std::string fault;
  if (!archive::VerifyArchive(Bytes(*image), image->size(), archive::UnpackRoom(), entries, &fault)) {
    return Fail(archivePath + ": " + fault);
  }
  return 0;
}

int Extract(const std::string& archivePath, const std::string& dir) {
  std::string image;
  std::vector<archive::EntryReport> entries;
  if (int rc = LoadVerified(archivePath, &image, &entries)) return rc;
  std::error_code error;
  fs::create_directories(FromAnsi(dir), error);
  if (error) return Fail(dir + ": " + error.message());
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
    if (!ReplaceFile(FromAnsi(dir) / FromAnsi(entry.name), std::string(out.begin(), out.begin() + produced))) {
      return Fail("cannot write " + entry.name);
    }
    ++written;
  }
  std::printf("%s: %u files written\n", dir.c_str(), written);
  return 0;
}

int Verify(const std::string& archivePath) {
  std::string image;
  std::vector<archive::EntryReport> entries;
  if (int rc = LoadVerified(archivePath, &image, &entries)) return rc;
  std::printf("%s: %zu entries, %zu bytes, all good\n", archivePath.c_str(), entries.size(), image.size());
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
    if (listed) return Fail(source + ": " + listed.message());
    view = tools::PayloadInFiles(files);
  } else {
    auto image = std::make_shared<std::string>();
    std::vector<archive::EntryReport> entries;
    if (int rc = LoadVerified(source, image.get(), &entries)) return rc;
    view = tools::PayloadInArchive(image);
  }
  const std::vector<std::string> faults = flow::PayloadFaults(view);
  for (const std::string& fault : faults) std::fprintf(stderr, "tvz: %s: %s\n", source.c_str(), fault.c_str());
  if (!faults.empty()) {
    return Fail(source + ": " + std::to_string(faults.size()) + (faults.size() == 1 ? " fault" : " faults") +
                ": the setup cannot install this payload as a whole product");
  }
  std::printf(
      "%s: %zu files; every file the setup needs is there; a first install leaves %d files in the install "
      "directory (the check wants %d): all good\n",
      source.c_str(), view.files.size(), flow::InstalledFileCount(view), flow::kInstalledFilesAtLeast);
  return 0;
}

constexpr char kUsage[] =
    "usage: tvz list|verify ARCHIVE | tvz pack|pack-zlib ARCHIVE DIR|FILES... | tvz extract ARCHIVE DIR |\n"
    "       tvz check-payload DIR|ARCHIVE\n";

constexpr char kHelp[] =
    "tvz: the packaging tool for the setup's archives (the payload, skins, user-data backups).\n"
    "\n"
    "  tvz pack ARCHIVE DIR|FILES...\n"
    "      Packs the files of DIR (its plain files, in byte order of their names), or the FILES\n"
    "      given, one entry each, named by file name, as the tightest zlib streams.\n"
    "      Example: tvz pack payload.tvz payload/\n"
    "  tvz pack-zlib ARCHIVE DIR|FILES...\n"
    "      The same with zlib's own compressor, for comparison.\n"
    "      Example: tvz pack-zlib payload-zlib.tvz payload/\n"
    "  tvz list ARCHIVE\n"
    "      Each entry's name, compressed and unpacked size and zlib result.\n"
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

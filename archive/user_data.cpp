#include "archive/user_data.h"

#include <zlib.h>

#include <cstring>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/texts.h"
#include "core/install_location.h"
#include "core/path_format.h"
#include "platform/constants.h"
#include "platform/files.h"
#include "platform/unchecked.h"

namespace archive {
namespace {

struct BackupItem {
  const char* copiedFrom;  // the live .tvh file copied to the entry's .tv1 name first, or null
  const char* entry;
  bool required;
};

constexpr BackupItem kBackupList[] = {
    {"tavocyzk.tvh", "tavocyzk.tv1", true},
    {"cfontset.tvh", "cfontset.tv1", true},
    {"cwbzlcz1.tvh", "cwbzlcz1.tv1", true},
    {"tvwbcmxz.tvh", "tvwbcmxz.tv1", true},
    {"tvdhzcm.tvh", "tvdhzcm.tv1", true},
    {"tavodhz.tvh", "tavodhz.tv1", true},
    {"tvgbkhz.tvh", "tvgbkhz.tv1", true},
    {nullptr, "tvszsj43.tvh", true},
    {nullptr, "tavodwdw.txt", true},
    {nullptr, "tavozdym.tvh", true},
    {nullptr, "tvpyzdym.tvh", true},
    {nullptr, "tvwbpy.txt", true},
    {nullptr, "tavoynhz.txt", true},
    {nullptr, "tavozdfh.tvh", true},
    {nullptr, "userck.txt", false},
    {nullptr, "delck.txt", false},
    {nullptr, "fttvzdym.txt", false},
    {nullptr, "ftpyzdym.txt", false},
    {nullptr, "cwb.ov1", false},
    {nullptr, "tavopymb.ov1", false},
    {nullptr, "tvgbkbh.tvh", false},
    {nullptr, "tvszsj05.tvh", false},
    {nullptr, "tvszsj06.tvh", false},
};

// FNV-1a over the archive's bytes.
uint64_t Digest(const uint8_t* data, size_t size) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 0x100000001b3ull;
  return hash;
}

bool WriteAll(platform::File& file, const void* data, size_t size) {
  return file.Write(data, static_cast<unsigned long>(size)) == static_cast<long>(size);
}

// Opens the archive for appending: its header read (or a fresh one written) and the file
// position at the end of the last entry. False when the archive is unusable or holds `name`.
bool OpenForAppend(core::SetupState& s, const std::string& archivePath, const std::string& name,
                   std::unique_ptr<platform::File>* out, uint8_t header[kArchiveHeaderSize]) {
  // Another name of some other file planted under the archive's name gets none of its bytes.
  if (!platform::RemoveLink(s.os.files, archivePath)) return false;
  auto archiveFile = s.os.files.Open(archivePath, platform::OpenMode::ReadWrite);
  if (!archiveFile) {
    // Only a missing archive is begun afresh: one that is there but cannot be opened now holds
    // the entries added before, which a new one would cut away.
    if (s.os.files.LastError() != platform::kErrorFileNotFound) return false;
    archiveFile = s.os.files.Create(archivePath);
    if (!archiveFile) return false;
    std::string fresh = ArchiveHeader(kArchiveHeaderSize, 0);
    if (!WriteAll(*archiveFile, fresh.data(), fresh.size())) {
      // Begun here, so nothing of the user's is in it: no empty archive stays behind.
      archiveFile.reset();
      platform::Unchecked(platform::DeleteIfPresent(s.os.files, archivePath));
      return false;
    }
    std::memcpy(header, fresh.data(), kArchiveHeaderSize);
    *out = std::move(archiveFile);
    return true;
  }
  long size = platform::FileSize(*archiveFile);
  if (size < static_cast<long>(kArchiveHeaderSize) ||
      archiveFile->Read(header, kArchiveHeaderSize) != static_cast<long>(kArchiveHeaderSize)) {
    return false;
  }
  uint32_t count = ReadU32(header + kEntryCountOffset);
  long position = kArchiveHeaderSize;
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t bytes[kEntryHeaderSize];
    if (archiveFile->Read(bytes, kEntryHeaderSize) != static_cast<long>(kEntryHeaderSize)) return false;
    Entry existing;
    if (ReadEntryHeader(bytes, &existing) != WalkStep::Entry) return false;
    // Windows takes names that differ only in letter case for one file.
    if (SameEntryName(existing.name, name)) return false;
    uint32_t length = existing.compressedLength;
    position += static_cast<long>(kEntryHeaderSize);
    if (length > static_cast<unsigned long>(size - position)) return false;  // runs past the file
    position += static_cast<long>(length);
    if (archiveFile->Seek(position, platform::SeekFrom::Begin) != position) return false;
  }
  *out = std::move(archiveFile);
  return true;
}

// One entry of an archive: the header naming `name` and the file's compressed bytes. False for a
// missing file, one larger than a restore could unpack, no memory or a failed read.
bool PackEntry(core::SetupState& s, const std::string& filePath, const std::string& name, std::string* entry) {
  auto file = s.os.files.Open(filePath, platform::OpenMode::Read);
  if (!file) return false;
  long size = platform::FileSize(*file);
  // A file the restore's data area could not take is useless in the backup; refusing it also
  // keeps the block size below (file and compressed form) far from wrapping round.
  if (size < 0 || static_cast<unsigned long>(size) > kWorkBufferSize - kNameAreaSize) return false;
  uLong bound = compressBound(static_cast<uLong>(size));
  auto block = s.os.resources.AllocZeroed(static_cast<size_t>(size) + bound);
  if (!block) return false;
  long n = size ? file->Read(block->Data(), static_cast<unsigned long>(size)) : 0;
  file.reset();
  if (n < 0) return false;

  uint8_t* packed = block->Data() + size;
  uLongf packedLength = compressBound(static_cast<uLong>(n));
  if (compress(packed, &packedLength, block->Data(), static_cast<uLong>(n)) != Z_OK || packedLength == 0) {
    return false;
  }
  *entry = EntryHeader(name, static_cast<uint32_t>(packedLength));
  entry->append(reinterpret_cast<const char*>(packed), packedLength);
  return true;
}

}  // namespace

bool AddFileToArchive(core::SetupState& s, const std::string& archivePath, const std::string& filePath,
                      std::string* appended) {
  size_t slash = filePath.find_last_of('\\');
  std::string name = (slash == std::string::npos || slash == 0) ? filePath : filePath.substr(slash + 1);
  if (CheckEntryName(name) != NameFault::None) return false;

  std::unique_ptr<platform::File> archiveFile;
  uint8_t header[kArchiveHeaderSize];
  if (!OpenForAppend(s, archivePath, name, &archiveFile, header)) return false;

  std::string entry;
  if (!PackEntry(s, filePath, name, &entry) || !WriteAll(*archiveFile, entry.data(), entry.size())) return false;
  uint8_t* totalLength = header + kTotalLengthOffset;
  uint8_t* entryCount = header + kEntryCountOffset;
  PutU32(totalLength, ReadU32(totalLength) + static_cast<uint32_t>(entry.size()));
  PutU32(entryCount, ReadU32(entryCount) + 1);
  if (archiveFile->Seek(0, platform::SeekFrom::Begin) != 0 || !WriteAll(*archiveFile, header, kArchiveHeaderSize)) {
    return false;
  }
  if (appended) appended->append(entry);
  return true;
}

core::Backup BackupUserData(core::SetupState& s) {
  const std::string& dir = s.InstallDir;
  std::string archivePath;
  if (!core::JoinPath(dir, text::kBackupArchive, &archivePath)) return core::Backup::None;
  bool anyThere = false, missingRequired = false, failed = false;
  // The archive is made whole before it is written: the earlier one stays under its name until
  // the new one takes its place in one step, and no run cut off in between leaves a piece of it.
  std::string entries;
  uint32_t count = 0;
  for (const BackupItem& item : kBackupList) {
    std::string entry, live, packed;
    if (!core::JoinPath(dir, item.entry, &entry)) {
      failed = true;
      continue;
    }
    const bool hasLive =
        item.copiedFrom && core::JoinPath(dir, item.copiedFrom, &live) && platform::Exists(s.os.files, live);
    // Its changes would be lost; and the copy never lands in the file a link under the name points to.
    if (hasLive && (!platform::RemoveLink(s.os.files, entry) || !s.os.files.Copy(live, entry, false))) failed = true;
    if (!hasLive && !platform::Exists(s.os.files, entry)) {
      missingRequired = missingRequired || item.required;
      continue;
    }
    anyThere = true;
    if (PackEntry(s, entry, item.entry, &packed)) {
      entries += packed;
      ++count;
    } else {
      failed = true;
    }
  }
  if (!anyThere) {
    // Nothing of an earlier install: an archive lying there is nobody's backup.
    platform::Unchecked(platform::DeleteIfPresent(s.os.files, archivePath));
    return core::Backup::None;
  }
  const std::string written =
      ArchiveHeader(static_cast<uint32_t>(kArchiveHeaderSize + entries.size()), count) + entries;
  if (!platform::WriteWholeFile(s.os.files, archivePath, written)) return core::Backup::Failed;
  if (missingRequired || failed || !RememberBackup(s, archivePath, &written)) return core::Backup::Failed;
  return core::Backup::Made;
}

bool IsUserDataName(std::string_view name) {
  for (const BackupItem& item : kBackupList) {
    if (SameEntryName(name, item.entry) || (item.copiedFrom && SameEntryName(name, item.copiedFrom))) return true;
  }
  return false;
}

std::vector<RequiredUserFile> RequiredUserFiles() {
  std::vector<RequiredUserFile> files;
  for (const BackupItem& item : kBackupList) {
    if (item.required) files.push_back({item.entry, item.copiedFrom});
  }
  return files;
}

bool IsBackupEntryName(std::string_view name) {
  for (const BackupItem& item : kBackupList) {
    if (SameEntryName(name, item.entry)) return true;
  }
  return false;
}

namespace {

// The archive's bytes in a zero-filled block with 200 bytes to spare; null when unreadable.
std::unique_ptr<platform::MemoryBlock> LoadArchive(core::SetupState& s, const std::string& path, size_t* n) {
  auto file = s.os.files.Open(path, platform::OpenMode::Read);
  if (!file) return nullptr;
  long size = platform::FileSize(*file);
  if (size < 0) return nullptr;
  auto block = s.os.resources.AllocZeroed(static_cast<size_t>(size) + 200);
  if (!block) return nullptr;
  long read = size ? file->Read(block->Data(), static_cast<unsigned long>(size)) : 0;
  if (read < 0) return nullptr;
  *n = static_cast<size_t>(read);
  return block;
}

}  // namespace

bool RememberBackup(core::SetupState& s, const std::string& path, const std::string* written) {
  s.BackupArchive.clear();
  size_t n = 0;
  auto block = LoadArchive(s, path, &n);
  if (!block) return false;
  if (written && (n != written->size() || std::memcmp(block->Data(), written->data(), n) != 0)) return false;
  s.BackupArchive = path;
  s.BackupSize = n;
  s.BackupDigest = Digest(block->Data(), n);
  return true;
}

namespace {

// The remembered backup's bytes, when the archive still holds exactly those; null otherwise.
std::unique_ptr<platform::MemoryBlock> LoadRememberedBackup(core::SetupState& s, size_t* n) {
  if (s.BackupArchive.empty()) return nullptr;
  auto block = LoadArchive(s, s.BackupArchive, n);
  if (!block || *n < 100 || *n != s.BackupSize || Digest(block->Data(), *n) != s.BackupDigest) return nullptr;
  return block;
}

}  // namespace

bool BackupIsIntact(core::SetupState& s) {
  size_t n = 0;
  return LoadRememberedBackup(s, &n) != nullptr;
}

uint32_t RestoreUserData(core::SetupState& s, bool* whole) {
  if (whole) *whole = false;
  // Only the archive this run's backup wrote, read from where it was written: any other
  // tavoback.tvz (left in another directory, or planted where users can write) is never used.
  if (!s.WorkBuffer) return 0;
  size_t n = 0;
  auto block = LoadRememberedBackup(s, &n);
  if (!block) return 0;
  uint32_t written = 0;
  // An empty file of the user's comes back empty, as it was packed.
  bool all = UnpackArchive(s, block->Data(), n, s.WorkBuffer->Data(), s.WorkBuffer->Size(), &written, IsBackupEntryName,
                           nullptr, true);
  if (whole) *whole = all;
  return written;
}

}  // namespace archive

#include "archive/restore_record.h"

#include <memory>

#include "archive/user_data.h"
#include "core/install_location.h"
#include "platform/constants.h"
#include "platform/registry.h"
#include "platform/unchecked.h"

namespace archive {
namespace {

// One value, so that a record is never half written: digest (8 bytes) and size (4 bytes), little
// endian, then the archive's path, a NUL and the directory the files go back to.
constexpr char kRestoreValue[] = "restore";
constexpr uint32_t kMaxRecordBytes = 8 + 4 + 2 * core::kPathBufferSize;

struct Record {
  uint64_t digest = 0;
  uint32_t size = 0;
  std::string archive;
  std::string directory;
};

std::string Encode(const Record& r) {
  std::string bytes;
  for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<char>(r.digest >> (8 * i)));
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(r.size >> (8 * i)));
  return bytes + r.archive + '\0' + r.directory;
}

bool Decode(const std::string& bytes, Record* r) {
  if (bytes.size() < 12) return false;
  for (int i = 7; i >= 0; --i) r->digest = (r->digest << 8) | static_cast<uint8_t>(bytes[static_cast<size_t>(i)]);
  for (int i = 11; i >= 8; --i) r->size = (r->size << 8) | static_cast<uint8_t>(bytes[static_cast<size_t>(i)]);
  size_t nul = bytes.find('\0', 12);
  if (nul == std::string::npos) return false;
  r->archive = bytes.substr(12, nul - 12);
  r->directory = bytes.substr(nul + 1);
  return !r->archive.empty() && !r->directory.empty();
}

}  // namespace

bool RecordRestore(core::SetupState& s) {
  auto key = core::OpenProductKey(s, true);
  bool written =
      key && !s.BackupArchive.empty() &&
      key->SetValue(kRestoreValue, platform::kRegBinary,
                    Encode({s.BackupDigest, static_cast<uint32_t>(s.BackupSize), s.BackupArchive, s.InstallDir})) ==
          platform::kErrorSuccess;
  s.Log.Step("record the restore of the user's data under way", s.BackupArchive, written);
  return written;
}

bool ClearRestoreRecord(core::SetupState& s) {
  auto key = core::OpenProductKey(s, false);
  if (!key) return true;  // no product key: no record
  long result = key->DeleteValue(kRestoreValue);
  bool cleared = result == platform::kErrorSuccess || result == platform::kErrorFileNotFound;
  s.Log.Step("remove the record of the restore", "", cleared);
  return cleared;
}

CutOffRestore FinishCutOffRestore(core::SetupState& s) {
  auto key = core::OpenProductKey(s, false);
  uint32_t type = 0;
  std::string bytes;
  if (!key || key->QueryValue(kRestoreValue, kMaxRecordBytes, &type, &bytes) != platform::kErrorSuccess) {
    return CutOffRestore::None;
  }
  Record record;
  const bool readable = type == platform::kRegBinary && Decode(bytes, &record);
  // The backup that run wrote, put back where that run's files went; this run's own backup values
  // and directory are left as they were.
  const std::string ownArchive = s.BackupArchive, ownDir = s.InstallDir;
  const size_t ownSize = s.BackupSize;
  const uint64_t ownDigest = s.BackupDigest;
  s.BackupArchive = record.archive;
  s.BackupSize = record.size;
  s.BackupDigest = record.digest;
  s.InstallDir = record.directory;
  const bool intact = readable && BackupIsIntact(s);
  uint32_t restored = 0;
  bool whole = false;
  if (intact) {
    restored = RestoreUserData(s, &whole);
    // A file another program had open a moment is tried once more.
    if (!whole) restored = RestoreUserData(s, &whole);
  }
  s.BackupArchive = ownArchive;
  s.BackupSize = ownSize;
  s.BackupDigest = ownDigest;
  s.InstallDir = ownDir;
  s.Log.Step("restore the user's data of a run that was cut off (" + std::to_string(restored) + " files)",
             record.archive, intact && whole);
  if (intact && !whole) return CutOffRestore::Unfinished;
  // Done, or nothing that may be restored: an archive that is not the recorded one is never used.
  platform::Unchecked(ClearRestoreRecord(s));
  return intact ? CutOffRestore::Finished : CutOffRestore::Refused;
}

}  // namespace archive

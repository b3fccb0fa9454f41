#include "archive/archive_reader.h"

#include <zlib.h>

#include <cstring>

#include "archive/archive_format.h"
#include "archive/file_replace.h"
#include "archive/texts.h"
#include "archive/user_data.h"
#include "core/path_format.h"
#include "platform/constants.h"
#include "platform/files.h"
#include "platform/unchecked.h"

namespace archive {
namespace {

void ReportEntry(core::SetupState& s, const std::string& name) {
  s.os.dialogs.MessageA(std::string(text::kUnpackFailedBefore) + name + text::kUnpackFailedAfter, text::kCaptionInstall,
                        platform::kMbOk);
}

// The produced length, or -1 on any zlib error.
long Unpack(const Entry& entry, uint8_t* out, size_t room) {
  unsigned long produced = static_cast<unsigned long>(room);
  return Uncompress(entry, out, &produced) == Z_OK ? static_cast<long>(produced) : -1;
}

// Writes one decompressed entry over whatever is at the target; true when all bytes landed.
bool WriteEntry(core::SetupState& s, const std::string& name, const std::string& target, const uint8_t* data,
                size_t length) {
  platform::Files& files = s.os.files;
  // A name of the user's own data goes in whole or not at all: a piece of it, left by a run cut
  // off there, would be packed by the next run as theirs and put back over the fresh file.
  if (IsUserDataName(name)) {
    return platform::WriteWholeFile(files, target, std::string(reinterpret_cast<const char*>(data), length));
  }
  // A module or program in use is moved aside so that the new one can take its name. A data file
  // is not: its aside name may be another file of the product ("t2.tvh" would become "t1.tvh"),
  // which the move would take away. A file that stays where it is makes the creation below fail,
  // and that is reported.
  if (!platform::DeleteIfPresent(files, target) && !IsDataFileName(name)) {
    platform::Unchecked(MoveFileAside(files, target));
  }
  // Never written through a link that could not be removed.
  if (platform::IsLink(files, target)) return false;
  auto file = files.Create(target);
  if (!file) return false;
  if (file->Write(data, static_cast<unsigned long>(length)) == static_cast<long>(length)) return true;
  // A piece of a file (the disk filled up) must not stay under its name: a piece of a module
  // would be copied into the system directory over the working one, a piece of a dictionary
  // taken for the user's own by the next install's backup.
  file.reset();
  platform::Unchecked(platform::DeleteIfPresent(files, target));
  return false;
}

}  // namespace

size_t LoadArchiveEntry(core::SetupState& s, const std::string& name) {
  if (!s.PayloadImage || !s.WorkBuffer || s.WorkBuffer->Size() <= kNameAreaSize + 2) return 0;
  uint8_t* data = DataArea(s.WorkBuffer->Data());
  size_t room = s.WorkBuffer->Size() - kNameAreaSize;
  data[0] = data[1] = 0;
  uint32_t count = 0;
  if (!ReadEntryCount(s.PayloadImage->Data(), s.PayloadImage->Size(), &count) || count == 0) return 0;
  EntryWalker walker(s.PayloadImage->Data(), s.PayloadImage->Size(), count);
  Entry entry;
  while (walker.Next(&entry) == WalkStep::Entry) {
    if (entry.name != name) continue;
    if (entry.compressedLength == 0) return 0;
    long produced = Unpack(entry, data, room);
    return produced > 0 ? static_cast<size_t>(produced) : 0;
  }
  return 0;
}

std::vector<std::string> PayloadEntryNames(core::SetupState& s) {
  std::vector<std::string> names;
  uint32_t count = 0;
  if (!s.PayloadImage || !ReadEntryCount(s.PayloadImage->Data(), s.PayloadImage->Size(), &count)) return names;
  EntryWalker walker(s.PayloadImage->Data(), s.PayloadImage->Size(), count);
  Entry entry;
  while (walker.Next(&entry) == WalkStep::Entry) names.push_back(entry.name);
  return names;
}

bool IsDataFileName(std::string_view name) {
  static constexpr std::string_view kExecutable[] = {"ime", "exe", "dll", "com", "bat", "cmd", "scr", "pif",
                                                     "sys", "drv", "ocx", "cpl", "msi", "lnk", "vbs", "js"};
  size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return true;
  for (std::string_view executable : kExecutable) {
    if (SameEntryName(name.substr(dot + 1), executable)) return false;
  }
  return true;
}

bool UnpackArchive(core::SetupState& s, const uint8_t* image, size_t imageSize, uint8_t* workArea, size_t workAreaSize,
                   uint32_t* writtenOut, EntryFilter mayWrite, uint32_t* failedOut, bool emptyFiles) {
  if (writtenOut) *writtenOut = 0;
  if (failedOut) *failedOut = 0;
  uint32_t count = 0;
  if (!workArea || workAreaSize <= kNameAreaSize || !ReadEntryCount(image, imageSize, &count)) return false;
  char* nameArea = reinterpret_cast<char*>(workArea);
  uint8_t* data = DataArea(workArea);
  size_t room = workAreaSize - kNameAreaSize;
  uint32_t written = 0;
  uint32_t skipped = 0;  // passed over by the filter: not for this archive to write
  uint32_t failed = 0;
  // One box per archive: a damaged or crafted archive of many entries (or a directory that
  // cannot be written) must not raise a box for each, least of all where nobody answers.
  auto fail = [&](const std::string& name) {
    if (failed++ == 0) ReportEntry(s, name);
  };
  EntryWalker walker(image, imageSize, count);
  Entry entry;
  for (;;) {
    WalkStep step = walker.Next(&entry);
    if (step == WalkStep::Truncated && !entry.name.empty()) fail(entry.name);
    if (step != WalkStep::Entry) break;
    if (mayWrite && !mayWrite(entry.name)) {
      ++skipped;
      continue;
    }
    std::memset(nameArea, 0, kNameAreaSize);
    std::memcpy(nameArea, entry.name.data(), std::min(entry.name.size(), kNameAreaSize - 1));

    std::string target;
    long produced = -1;
    // A name with a directory part must never reach the file system: the archive may come
    // from the install directory itself (skins, the backup), which is open to other programs.
    if (IsBareFileName(entry.name) && core::JoinPath(s.InstallDir, entry.name, &target)) {
      produced = Unpack(entry, data, room);
    }
    if ((produced > 0 || (produced == 0 && emptyFiles)) &&
        WriteEntry(s, entry.name, target, data, static_cast<size_t>(produced))) {
      ++written;
    } else {
      fail(entry.name);
    }
  }
  if (writtenOut) *writtenOut = written;
  if (failedOut) *failedOut = failed;
  return written + skipped == count;
}

void UnpackDefaultSkin(core::SetupState& s) {
  if (s.BackupState == core::Backup::DataKept || !s.WorkBuffer || s.WorkBuffer->Size() <= kSkinLoadSize) return;
  std::string path;
  if (!core::JoinPath(s.InstallDir, text::kDefaultSkin, &path)) return;
  auto file = s.os.files.Open(path, platform::OpenMode::Read);
  if (!file) return;
  uint8_t* buffer = s.WorkBuffer->Data();
  long n = file->Read(buffer, kSkinLoadSize);
  file.reset();
  if (n <= 0) return;
  // The skin file lies in the install directory, where ordinary users can write: it brings
  // pictures and settings, never a module or a program.
  UnpackArchive(s, buffer, static_cast<size_t>(n), buffer + kSkinLoadSize, s.WorkBuffer->Size() - kSkinLoadSize,
                nullptr, IsDataFileName);
}

}  // namespace archive

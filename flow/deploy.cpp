#include "flow/deploy.h"

#include <cstring>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/file_replace.h"
#include "archive/texts.h"
#include "archive/user_data.h"
#include "core/install_location.h"
#include "core/path_format.h"
#include "core/system_facts.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "platform/files.h"
#include "platform/unchecked.h"
#include "system/integration.h"

namespace flow {
namespace {

constexpr size_t kStampLimit = 128 * 1024;

std::string InInstallDir(core::SetupState& s, const char* name) {
  std::string path;
  return core::JoinPath(s.InstallDir, name, &path) ? path : std::string();
}

// "<dir>\name", or empty when it does not fit a path buffer.
std::string InDirectory(const std::string& dir, const char* name) {
  std::string path;
  return !dir.empty() && core::JoinPath(dir, std::string("\\") + name, &path) ? path : std::string();
}

// The message names the target as the user finds it: in the system directory, not through the
// alias this 32-bit program writes to the 64-bit system directory with.
void CopyFailed(core::SetupState& s, core::InstallReport& report, const std::string& target) {
  ++report.copyFailures;
  std::string shown = target;
  const std::string native = s.os.files.NativeSystemDirectory();
  const std::string system = s.os.files.SystemDirectory();
  if (native != system && target.compare(0, native.size(), native) == 0) {
    shown = system + target.substr(native.size());
  }
  s.os.dialogs.MessageA(archive::text::kCopyFailedBefore + shown + archive::text::kCopyFailedAfter,
                        archive::text::kCaptionTavoKelvoInstall, platform::kMbOk);
}

// `diskFull` (optional): whether the copy failed because the target's disk is full.
bool Copy(core::SetupState& s, const std::string& from, const std::string& to, bool* diskFull = nullptr) {
  bool copied = !from.empty() && !to.empty() && s.os.files.Copy(from, to, false);
  if (diskFull) {
    long error = copied ? platform::kErrorSuccess : s.os.files.LastError();
    *diskFull = error == platform::kErrorDiskFull || error == platform::kErrorHandleDiskFull;
  }
  s.Log.Step("copy", from + " -> " + to, copied);
  return copied;
}

bool IsFile(core::SetupState& s, const std::string& path) {
  uint32_t attributes = path.empty() ? platform::kInvalidAttributes : s.os.files.GetAttributes(path);
  return attributes != platform::kInvalidAttributes && !(attributes & platform::kAttrDirectory);
}

void ResetAttributes(core::SetupState& s, const std::string& path) {
  if (!path.empty()) platform::Unchecked(s.os.files.SetAttributes(path, platform::kAttrArchive));
}

// The size of a file, -1 when it cannot be read.
long SizeOf(core::SetupState& s, const std::string& path) {
  auto file = path.empty() ? nullptr : s.os.files.Open(path, platform::OpenMode::Read);
  return file ? platform::FileSize(*file) : -1;
}

// No message for these, but a copy that fails leaves the install incomplete all the same.
void PlainCopy(core::SetupState& s, core::InstallReport& report, const std::string& from, const std::string& to,
               bool resetAttributes) {
  if (resetAttributes) ResetAttributes(s, to);
  bool diskFull = false;
  if (Copy(s, from, to, &diskFull)) return;
  ++report.copyFailures;
  // A full disk may leave a piece of the copy under its name, and the module copied on from there
  // into the system directory would be a piece too. A whole file stays.
  if (diskFull && SizeOf(s, to) != SizeOf(s, from)) platform::Unchecked(archive::DeleteIfPresent(s.os.files, to));
}

void CopyWithMessage(core::SetupState& s, core::InstallReport& report, const std::string& from, const std::string& to) {
  if (!Copy(s, from, to)) CopyFailed(s, report, to);
}

void GuardedCopy(core::SetupState& s, core::InstallReport& report, const std::string& from, const std::string& to) {
  ResetAttributes(s, to);
  if (!Copy(s, from, to)) CopyFailed(s, report, to);
}

// A module in use at the target is moved aside and the copy tried once more. Only a copy that
// has something to copy over an existing file may move it, and when the second copy fails too
// the old module goes back under its name: the machine keeps a working module either way.
void GuardedCopyWithMoveAside(core::SetupState& s, core::InstallReport& report, const std::string& from,
                              const std::string& to) {
  ResetAttributes(s, to);
  if (Copy(s, from, to)) return;
  std::string aside;
  if (IsFile(s, from) && IsFile(s, to) && archive::MoveFileAside(s.os.files, to, &aside)) {
    s.Log.Step("move aside", to + " -> " + aside, true);
    if (Copy(s, from, to)) return;
    platform::Unchecked(archive::DeleteIfPresent(s.os.files, to));  // whatever a failed copy left there
    s.Log.Step("move back", aside + " -> " + to, s.os.files.Move(aside, to));
  }
  CopyFailed(s, report, to);
}

const char* Stub32(core::SetupState& s) { return s.UsesBig5() ? "tavo321.ime" : "tavo320.ime"; }
const char* Stub64(core::SetupState& s) { return s.UsesBig5() ? "tavo641.ime" : "tavo640.ime"; }

// The first pass puts the version-stamped stub where the module goes, for the registration; the
// second pass the module itself. Without the module in the install directory to follow it (an
// unpack that broke off), the stub would stay there in place of the working module the machine
// has: the earlier module is then left as it is.
void PlaceModule(core::SetupState& s, core::InstallReport& report, int pass, const std::string& stub,
                 const std::string& module, const std::string& target) {
  if (pass != 0) {
    GuardedCopyWithMoveAside(s, report, module, target);
    return;
  }
  if (!IsFile(s, module)) {
    s.Log.Step("copy the stub (no module in the install directory to follow it)", target, false);
    return;
  }
  StampModuleVersion(s, stub);
  GuardedCopyWithMoveAside(s, report, stub, target);
}

void UnpackPayload(core::SetupState& s, core::InstallReport& report) {
  archive::EntryFilter filter;
  if (s.BackupState == core::Backup::Failed) {
    // The user's data of an earlier install that could not be packed stay as they are: the
    // payload's files of those names are not written over them. A name the earlier install does
    // not have (it broke off before placing it) is written, or the install could never be made
    // whole again.
    filter = [&s](std::string_view name) {
      return !archive::IsUserDataName(name) ||
             !archive::IsThere(s.os.files, InInstallDir(s, std::string(name).c_str()));
    };
  }
  bool complete = s.PayloadImage && s.WorkBuffer &&
                  archive::UnpackArchive(s, s.PayloadImage->Data(), s.PayloadImage->Size(), s.WorkBuffer->Data(),
                                         s.WorkBuffer->Size(), nullptr, filter);
  s.Log.Step("unpack the payload into", s.InstallDir, complete);
  if (!complete) {
    report.unpackComplete = false;
    s.os.dialogs.MessageA(std::string(archive::text::kUnpackIncompleteBefore) + archive::text::kHomePage +
                              archive::text::kUnpackIncompleteAfter,
                          archive::text::kCaptionTavoKelvoInstall, platform::kMbOk);
  }
  // Nobody is there to answer on the silent road: the user's own data are kept, as a Yes would
  // keep them; after an unpack that broke off they are kept without asking too, since what was
  // unpacked may already lie over them. They count as kept only when the restore put files back;
  // otherwise the fresh files are set up as usual.
  if (s.BackupState == core::Backup::Made &&
      (!complete || s.InstallMode == core::kSilent ||
       s.os.dialogs.MessageW(archive::text::kKeepDataQuestion, flow::text::kCaptionInstall, platform::kMbYesNo) ==
           platform::kIdYes)) {
    // A file that could not be written back the first time (another program had it open a
    // moment) is tried once more: the fresh file must not stay over the user's.
    bool whole = false;
    uint32_t restored = archive::RestoreUserData(s, &whole);
    if (!whole) restored = archive::RestoreUserData(s);
    s.Log.Line("restore the user's data: " + std::to_string(restored) + " files");
    if (restored > 0) s.BackupState = core::Backup::DataKept;
  }
  archive::UnpackDefaultSkin(s);
}

}  // namespace

void DeployFiles(core::SetupState& s, int pass, core::InstallObserver& observer, core::InstallReport& report) {
  platform::Unchecked(s.os.files.MakeDirectory(s.InstallDir));
  if (s.WindowsMajor >= 6) sys::LowerIntegrityLevel(s);
  // The pauses let the directory page and the empty bar show before the work goes on.
  observer.RedrawDirectoryPage();
  observer.Pause();
  if (pass == 0) UnpackPayload(s, report);
  observer.RedrawDirectoryPage();

  PlainCopy(s, report, InInstallDir(s, "tavohu4.ime"), InInstallDir(s, "tavohu32.ime"), true);
  PlainCopy(s, report, InInstallDir(s, "tavocyzk.tv1"), InInstallDir(s, "tavocyzk.tvu"), false);
  PlainCopy(s, report, InInstallDir(s, "tavopyck.tv1"), InInstallDir(s, "tavopyck.tvu"), false);
  observer.Pause();
  observer.ShowProgress(0, 64);

  if (s.Is64Bit) {
    // This program is 32-bit: the 32-bit modules go to SysWOW64 by name, the 64-bit ones to the
    // real system directory through its alias (system32 would be redirected to SysWOW64).
    std::string wow = core::GetSysWow64Dir(s);
    std::string native = s.os.files.NativeSystemDirectory();
    PlaceModule(s, report, pass, InInstallDir(s, Stub32(s)), InInstallDir(s, "tavohu32.ime"),
                InDirectory(wow, "tavohu4.ime"));
    PlaceModule(s, report, pass, InInstallDir(s, Stub64(s)), InInstallDir(s, "tavohu64.ime"),
                InDirectory(native, "tavohu4.ime"));
    if (pass == 0) {
      GuardedCopy(s, report, InInstallDir(s, "tvqdel64.exe"), InDirectory(native, "tavodel.exe"));
      GuardedCopy(s, report, InInstallDir(s, "tavokel6.exe"), InInstallDir(s, "tavokelv.exe"));
    }
  } else {
    std::string system = s.os.files.SystemDirectory();
    if (system.size() >= core::kPathBufferSize) system.clear();
    if (s.WindowsMajor >= 6)
      CopyWithMessage(s, report, InInstallDir(s, "tavokel6.exe"), InInstallDir(s, "tavokelv.exe"));
    PlaceModule(s, report, pass, InInstallDir(s, Stub32(s)),
                InInstallDir(s, s.WindowsMajor <= 5 ? "tavohu4.ime" : "tavohu32.ime"),
                InDirectory(system, "tavohu4.ime"));
    if (pass == 0) GuardedCopy(s, report, InInstallDir(s, "tavodel.exe"), InDirectory(system, "tavodel.exe"));
  }

  if (pass == 0) {
    StampModuleVersion(s, InInstallDir(s, "setupw64.exe"));
    if (!sys::WriteUninstallEntry(s)) ++report.entriesFailed;
  } else {
    for (const char* stub : {"tavo320.ime", "tavo321.ime", "tavo640.ime", "tavo641.ime"}) {
      std::string path = InInstallDir(s, stub);
      if (path.empty()) continue;
      bool present = IsFile(s, path);
      bool deleted = archive::DeleteIfPresent(s.os.files, path);
      if (present) s.Log.Step("delete", path, deleted);
    }
  }
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

  static const uint8_t kName[16] = {'T', 0, 'a', 0, 'v', 0, 'o', 0, 0x93, 0x8F, 0x65, 0x51, 0x73, 0x5E, 0xF0, 0x53};
  size_t length = static_cast<size_t>(n);
  bool changed = false;
  for (size_t p = 0; p + sizeof kName <= length;) {
    if (std::memcmp(buffer + p, kName, sizeof kName) != 0) {
      ++p;
      continue;
    }
    size_t q = p + sizeof kName;
    if (q + 8 < length && buffer[q] == ' ' && buffer[q + 4] == '6' && buffer[q + 6] == '.' &&
        (buffer[q + 8] == '3' || buffer[q + 8] == '7')) {
      changed = true;
      buffer[q + 4] = '7';
      buffer[q + 8] = '1';
    }
    p = q + 1;
  }
  // A file without a stamp to change is left alone: rewriting it could only lose it (a failed
  // write after the truncation leaves nothing of the module).
  if (!changed) return;
  auto out = s.os.files.Create(path);
  bool written =
      out && (!length || out->Write(buffer, static_cast<unsigned long>(length)) == static_cast<long>(length));
  s.Log.Step("stamp version 7.1 into", path, written);
}

namespace {

// Bytes of every file below `dir` ("x:\\folder\\"), subfolders included.
// The bytes of the files below `dir`; `measured` turns false when a file or folder could not be.
uint64_t BytesBelow(core::SetupState& s, const std::string& dir, int depth, bool* measured) {
  uint64_t total = 0;
  std::string pattern;
  if (depth > 8 || !core::JoinPath(dir, "*.*", &pattern)) return 0;
  std::vector<std::string> names = s.os.files.List(pattern);
  if (names.empty()) *measured = false;  // not even "." and "..": the listing failed
  for (const std::string& name : names) {
    if (name == "." || name == "..") continue;
    std::string path;
    if (!core::JoinPath(dir, name, &path)) continue;
    uint32_t attributes = s.os.files.GetAttributes(path);
    if (attributes == platform::kInvalidAttributes) {
      *measured = false;
      continue;
    }
    if (attributes & platform::kAttrDirectory) {
      total += BytesBelow(s, path + "\\", depth + 1, measured);
    } else {
      auto file = s.os.files.Open(path, platform::OpenMode::Read);
      long size = file ? platform::FileSize(*file) : -1;
      if (size < 0) *measured = false;
      if (size > 0) total += static_cast<uint64_t>(size);
    }
  }
  return total;
}

uint64_t FileBytes(core::SetupState& s, const std::string& path, bool* measured) {
  auto file = path.empty() ? nullptr : s.os.files.Open(path, platform::OpenMode::Read);
  long size = file ? platform::FileSize(*file) : -1;
  if (size < 0) *measured = false;
  return size > 0 ? static_cast<uint64_t>(size) : 0;
}

}  // namespace

uint32_t InstalledKiB(core::SetupState& s, bool* measured) {
  *measured = true;
  uint64_t bytes = BytesBelow(s, s.InstallDir, 0, measured);
  if (s.Is64Bit) {
    std::string native = s.os.files.NativeSystemDirectory();
    bytes += FileBytes(s, InDirectory(core::GetSysWow64Dir(s), "tavohu4.ime"), measured);
    bytes += FileBytes(s, InDirectory(native, "tavohu4.ime"), measured);
    bytes += FileBytes(s, InDirectory(native, "tavodel.exe"), measured);
  } else {
    std::string system = s.os.files.SystemDirectory();
    bytes += FileBytes(s, InDirectory(system, "tavohu4.ime"), measured);
    bytes += FileBytes(s, InDirectory(system, "tavodel.exe"), measured);
  }
  uint64_t kib = (bytes + 1023) / 1024;
  return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kib);
}

bool AdjustSettingsRecord(core::SetupState& s) {
  // The record is the user's when the earlier data were kept or left as they are.
  if (s.BackupState == core::Backup::DataKept || s.BackupState == core::Backup::Failed) return true;
  std::string path = InInstallDir(s, "tvszsj43.tvh");
  if (path.empty()) return false;
  if (auto file = s.os.files.Open(path, platform::OpenMode::Read)) {
    // A record that is there but does not read is left alone: the built-in one would replace it.
    if (file->Read(s.SettingsRecord.data(), static_cast<unsigned long>(s.SettingsRecord.size())) < 0) return false;
  } else if (s.os.files.LastError() != platform::kErrorFileNotFound) {
    return false;
  }
  if (s.UsesBig5()) s.SettingsRecord[38] = 1;
  s.SettingsRecord[62] = 0;
  s.SettingsRecord[63] = 0;
  return platform::WriteSmallFile(s.os.files, path, std::string(s.SettingsRecord.begin(), s.SettingsRecord.end()));
}

}  // namespace flow

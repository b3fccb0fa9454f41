#include "flow/deploy.h"

#include <algorithm>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/restore_record.h"
#include "archive/texts.h"
#include "archive/user_data.h"
#include "core/path_format.h"
#include "core/system_facts.h"
#include "flow/payload_files.h"
#include "flow/placed_programs.h"
#include "flow/texts.h"
#include "flow/version_stamp.h"
#include "platform/constants.h"
#include "platform/files.h"
#include "platform/unchecked.h"
#include "system/integration.h"

namespace flow {
namespace {

void PlaceFileWithMessage(core::SetupState& s, core::InstallReport& report, const Source& source,
                          const std::string& to) {
  if (PlaceFile(s, report, source, to, false) != Placed::Yes) ShowCopyFailed(s, to);
}

// The install directory's own copies of data files: the user may have made them their own.
void PlainCopy(core::SetupState& s, core::InstallReport& report, const std::string& from, const std::string& to) {
  bool copied =
      !from.empty() && !to.empty() && platform::RemoveLink(s.os.files, to) && s.os.files.Copy(from, to, false);
  s.Log.Step("copy", from + " -> " + to, copied);
  if (copied) return;
  ++report.copyFailures;
  // A full disk may leave a piece of the copy under its name. A whole file stays.
  long error = s.os.files.LastError();
  if (error == platform::kErrorDiskFull || error == platform::kErrorHandleDiskFull) {
    platform::Unchecked(platform::DeleteIfPresent(s.os.files, to));
  }
}

const char* Stub32(core::SetupState& s) { return s.UsesBig5() ? text::kStubs[1] : text::kStubs[0]; }
const char* Stub64(core::SetupState& s) { return s.UsesBig5() ? text::kStubs[3] : text::kStubs[2]; }
// The first pass puts the version-stamped stub where the module goes, for the registration; the
// second pass the module itself. After an unpack that broke off, the machine keeps the module it
// has: the install is not whole, and the earlier one still works with the earlier directory.
// An earlier module of ours in the preload list that cannot be moved to an aside name stops the
// install, and stays the machine's module.
void PlaceModule(core::SetupState& s, core::InstallReport& report, Pass pass, const Source& source,
                 const std::string& target) {
  if (!report.unpackComplete) {
    s.Log.Step("place the module (the unpack broke off: the earlier module stays)", target, false);
    return;
  }
  Placed placed = PlaceFile(s, report, source, target, true);
  if (placed == Placed::InTheWay && pass == Pass::Stubs && s.ImeInPreload) {
    report.outcome = core::InstallOutcome::OldImeLocked;
    s.os.dialogs.MessageW(text::kOldImeLocked, text::kCaptionInstall, platform::kMbOk);
  } else if (placed != Placed::Yes) {
    ShowCopyFailed(s, target);
  }
}

// Where a placed file goes.
enum class Folder { Install, System, SysWow64, NativeSystem };

// One file of the product that a pass puts in its place from the payload.
struct Placement {
  Source source;
  Folder folder;
  const char* name;
  bool module;  // an IME module: see PlaceModule; anything else is told when it fails
};

// The files each pass places outside the install directory's own copies, in the order it places
// them. This program is 32-bit: on 64-bit Windows the 32-bit module goes to SysWOW64 by name, the
// 64-bit files to the real system directory through its alias (system32 would be redirected).
std::vector<Placement> Placements(core::SetupState& s, Pass pass) {
  const bool stubs = pass == Pass::Stubs;
  const Source module32 = stubs ? Source{Stub32(s), true} : Source{text::kModuleName};
  std::vector<Placement> placements;
  if (s.Is64Bit) {
    const Source module64 = stubs ? Source{Stub64(s), true} : Source{text::kModule64};
    placements.push_back({module32, Folder::SysWow64, text::kModuleName, true});
    placements.push_back({module64, Folder::NativeSystem, text::kModuleName, true});
    if (stubs) {
      placements.push_back({Source{text::kUninstaller64}, Folder::NativeSystem, text::kUninstallerName, false});
      placements.push_back({Source{MainProgramEntry(s)}, Folder::Install, text::kMainProgramName, false});
    }
  } else {
    if (s.WindowsMajor >= 6) {
      placements.push_back({Source{MainProgramEntry(s)}, Folder::Install, text::kMainProgramName, false});
    }
    placements.push_back({module32, Folder::System, text::kModuleName, true});
    if (stubs) placements.push_back({Source{text::kUninstallerName}, Folder::System, text::kUninstallerName, false});
  }
  return placements;
}

std::string PathOf(core::SetupState& s, const Placement& placement) {
  switch (placement.folder) {
    case Folder::Install:
      return InInstallDir(s, placement.name);
    case Folder::System: {
      std::string system = s.os.files.SystemDirectory();
      return system.size() < core::kPathBufferSize ? InDirectory(system, placement.name) : std::string();
    }
    case Folder::SysWow64:
      return InDirectory(core::GetSysWow64Dir(s), placement.name);
    case Folder::NativeSystem:
      return InDirectory(s.os.files.NativeSystemDirectory(), placement.name);
  }
  return std::string();
}

void UnpackPayload(core::SetupState& s, core::InstallObserver& observer, core::InstallReport& report) {
  archive::EntryFilter filter;
  if (s.BackupState == core::Backup::Failed) {
    // The user's data of an earlier install that could not be packed stay as they are: the
    // payload's files of those names are not written over them. A name the earlier install does
    // not have (it broke off before placing it) is written, or the install could never be made
    // whole again.
    filter = [&s](std::string_view name) {
      return !archive::IsUserDataName(name) ||
             !platform::Exists(s.os.files, InInstallDir(s, std::string(name).c_str()));
    };
  }
  // Until the user's files are back, a run cut off must leave the next one what it needs to put
  // them back.
  const bool recorded = s.BackupState == core::Backup::Made && archive::RecordRestore(s);
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
  // After an unpack that broke off the user's own data are kept without asking, since what was
  // unpacked may already lie over them. They count as kept only when the restore put files back;
  // otherwise the fresh files are set up as usual.
  if (s.BackupState == core::Backup::Made && (!complete || observer.KeepEarlierData())) {
    // A file that could not be written back the first time (another program had it open a
    // moment) is tried once more: the fresh file must not stay over the user's.
    bool whole = false;
    uint32_t restored = archive::RestoreUserData(s, &whole);
    if (!whole) restored = archive::RestoreUserData(s, &whole);
    s.Log.Line("restore the user's data: " + std::to_string(restored) + " files");
    if (restored > 0) s.BackupState = core::Backup::DataKept;
    // A file that is still not back is put back by the next run.
    if (recorded && whole && !archive::ClearRestoreRecord(s)) ++report.entriesFailed;
  } else if (recorded && !archive::ClearRestoreRecord(s)) {
    // The user chose the fresh files: a record left would put back the old ones on the next run.
    ++report.entriesFailed;
  }
  archive::UnpackDefaultSkin(s);
}

}  // namespace

void DeployFiles(core::SetupState& s, Pass pass, core::InstallObserver& observer, core::InstallReport& report) {
  platform::Unchecked(s.os.files.MakeDirectory(s.InstallDir));
  if (s.WindowsMajor >= 6) sys::LowerIntegrityLevel(s);
  // The pauses let the directory page and the empty bar show before the work goes on.
  observer.RedrawDirectoryPage();
  observer.Pause();
  if (pass == Pass::Stubs) UnpackPayload(s, observer, report);
  observer.RedrawDirectoryPage();

  PlaceFile(s, report, Source{text::kModuleName}, InInstallDir(s, text::kModuleCopy), false);
  for (const text::Library& library : {text::kWubiLibrary, text::kPinyinLibrary}) {
    PlainCopy(s, report, InInstallDir(s, library.shipped), InInstallDir(s, library.usersCopy));
  }
  observer.Pause();
  observer.ShowProgress(0, 64);

  for (const Placement& placement : Placements(s, pass)) {
    const std::string target = PathOf(s, placement);
    if (!placement.module) {
      PlaceFileWithMessage(s, report, placement.source, target);
      continue;
    }
    PlaceModule(s, report, pass, placement.source, target);
    if (report.outcome != core::InstallOutcome::Done) return;
  }

  if (pass == Pass::Stubs) {
    StampModuleVersion(s, InInstallDir(s, text::kCompanionName));
    if (!sys::WriteUninstallEntry(s)) ++report.entriesFailed;
  } else {
    for (const char* stub : text::kStubs) {
      std::string path = InInstallDir(s, stub);
      if (path.empty()) continue;
      bool present = IsFile(s, path);
      bool deleted = platform::DeleteIfPresent(s.os.files, path);
      if (present) s.Log.Step("delete", path, deleted);
    }
    // After an unpack that broke off, what is there is not all the setup's: nothing is checked.
    if (report.unpackComplete) ProtectPlacedPrograms(s, report);
  }
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
  // What the passes placed outside the install directory, each file once.
  std::vector<std::string> outside;
  for (Pass pass : {Pass::Stubs, Pass::Modules}) {
    for (const Placement& placement : Placements(s, pass)) {
      if (placement.folder == Folder::Install) continue;
      std::string path = PathOf(s, placement);
      if (std::find(outside.begin(), outside.end(), path) == outside.end()) outside.push_back(path);
    }
  }
  for (const std::string& path : outside) bytes += FileBytes(s, path, measured);
  uint64_t kib = (bytes + 1023) / 1024;
  return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kib);
}

}  // namespace flow

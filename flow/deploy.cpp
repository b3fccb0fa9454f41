#include "flow/deploy.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/file_replace.h"
#include "archive/texts.h"
#include "archive/user_data.h"
#include "core/install_location.h"
#include "core/path_format.h"
#include "core/system_facts.h"
#include "flow/texts.h"
#include "flow/version_stamp.h"
#include "platform/constants.h"
#include "platform/files.h"
#include "platform/unchecked.h"
#include "system/integration.h"

namespace flow {
namespace {

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
void ShowCopyFailed(core::SetupState& s, const std::string& target) {
  std::string shown = target;
  const std::string native = s.os.files.NativeSystemDirectory();
  const std::string system = s.os.files.SystemDirectory();
  if (native != system && target.compare(0, native.size(), native) == 0) {
    shown = system + target.substr(native.size());
  }
  s.os.dialogs.MessageA(archive::text::kCopyFailedBefore + shown + archive::text::kCopyFailedAfter,
                        archive::text::kCaptionTavoKelvoInstall, platform::kMbOk);
}

bool IsFile(core::SetupState& s, const std::string& path) {
  uint32_t attributes = path.empty() ? platform::kInvalidAttributes : s.os.files.GetAttributes(path);
  return attributes != platform::kInvalidAttributes && !(attributes & platform::kAttrDirectory);
}

void ResetAttributes(core::SetupState& s, const std::string& path) {
  if (!path.empty()) platform::Unchecked(s.os.files.SetAttributes(path, platform::kAttrArchive));
}

// Where a file the setup places comes from: an entry of the payload it carries, never the copy
// in the install directory, which every user can change between the unpack and the copy.
struct Source {
  const char* entry;
  bool stamp = false;  // the version stamp applied, as the install directory's copy has it
};

// The bytes of the payload's entry; false when the payload has no such entry.
bool PayloadBytes(core::SetupState& s, const Source& source, std::string* bytes) {
  size_t length = archive::LoadArchiveEntry(s, source.entry);
  if (length == 0) return false;
  bytes->assign(reinterpret_cast<const char*>(archive::DataArea(s.WorkBuffer->Data())), length);
  if (source.stamp) platform::Unchecked(StampVersion(reinterpret_cast<uint8_t*>(bytes->data()), bytes->size()));
  return true;
}

// "x:\dir\tavohu4.new" beside "x:\dir\tavohu4.ime" (`extension` "new"): the replacement is written
// whole there before the file it replaces makes way, under the "old" name.
std::string BesideName(const std::string& path, const char* extension) {
  size_t dot = path.find_last_of('.');
  size_t separator = path.find_last_of('\\');
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) dot = path.size();
  return path.substr(0, dot) + "." + extension;
}

enum class Placed { Yes, NotWritten, InTheWay };

// Puts the bytes in place as `to`. They are written whole under a fresh name first; only then does
// the file there make way, by a rename, and it comes back when the new file cannot follow: until
// the last rename the machine keeps what it had. A module (`moveAside`) takes its aside name,
// where one the system still has loaded stays until it lets go; anything else the "old" name.
Placed ReplaceFile(core::SetupState& s, const std::string& bytes, const std::string& to, bool moveAside) {
  platform::Files& files = s.os.files;
  // A link under the name goes first: the attributes reset below are the file's it names.
  if (!platform::RemoveLink(files, to)) {
    s.Log.Step("remove the link", to, false);
    return Placed::InTheWay;
  }
  const std::string fresh = BesideName(to, "new");
  platform::Unchecked(archive::DeleteIfPresent(files, fresh));  // a leftover of a run cut off
  if (!platform::WriteSmallFile(files, fresh, bytes)) {
    platform::Unchecked(archive::DeleteIfPresent(files, fresh));
    s.Log.Step("write", fresh, false);
    return Placed::NotWritten;
  }
  ResetAttributes(s, to);
  std::string aside;
  if (archive::IsThere(files, to)) {
    bool moved = false;
    if (moveAside) {
      moved = archive::MoveFileAside(files, to, &aside);
    } else {
      aside = BesideName(to, "old");
      platform::Unchecked(archive::DeleteIfPresent(files, aside));
      moved = files.Move(to, aside);
    }
    s.Log.Step("move aside", to + " -> " + aside, moved);
    if (!moved) {
      platform::Unchecked(archive::DeleteIfPresent(files, fresh));
      return Placed::InTheWay;
    }
  }
  if (!files.Move(fresh, to)) {
    s.Log.Step("rename", fresh + " -> " + to, false);
    platform::Unchecked(archive::DeleteIfPresent(files, fresh));
    if (!aside.empty()) s.Log.Step("move back", aside + " -> " + to, files.Move(aside, to));
    return Placed::NotWritten;
  }
  // An old module still loaded stays under its aside name until the system lets it go.
  if (!aside.empty()) platform::Unchecked(archive::DeleteIfPresent(files, aside));
  return Placed::Yes;
}

// The payload's entry written as `to`; a file that could not be placed is counted.
Placed PlaceFile(core::SetupState& s, core::InstallReport& report, const Source& source, const std::string& to,
                 bool moveAside) {
  std::string bytes;
  Placed placed = Placed::NotWritten;
  if (to.empty()) {
    s.Log.Step("place (no room for the path)", source.entry, false);
    ++report.copyFailures;
    return placed;
  }
  if (PayloadBytes(s, source, &bytes)) {
    // Tried once more when it could not be written (a scanner had the new file open a moment):
    // in the system directory the stub would otherwise stay where the module goes.
    placed = ReplaceFile(s, bytes, to, moveAside);
    if (placed == Placed::NotWritten) placed = ReplaceFile(s, bytes, to, moveAside);
  } else {
    s.Log.Step("find in the payload", source.entry, false);
  }
  s.Log.Step(std::string("place the payload's ") + source.entry + (source.stamp ? " (stamped)" : "") + " ->", to,
             placed == Placed::Yes);
  if (placed != Placed::Yes) ++report.copyFailures;
  return placed;
}

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
    platform::Unchecked(archive::DeleteIfPresent(s.os.files, to));
  }
}

const char* Stub32(core::SetupState& s) { return s.UsesBig5() ? text::kStubs[1] : text::kStubs[0]; }
const char* Stub64(core::SetupState& s) { return s.UsesBig5() ? text::kStubs[3] : text::kStubs[2]; }
// The main program as Windows of this kind runs it: the payload's own "tavokelv.exe" is for the
// 32-bit Windows before Vista; everywhere else "tavokel6.exe" takes its name.
const char* MainProgramEntry(core::SetupState& s) {
  return s.Is64Bit || s.WindowsMajor >= 6 ? text::kMainProgram6 : text::kMainProgramName;
}

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

// Where the install directory's file of this name comes from.
Source SourceOf(core::SetupState& s, const std::string& name) {
  if (name == text::kCompanionName) return Source{text::kCompanionName, true};
  if (name == text::kMainProgramName) return Source{MainProgramEntry(s)};
  if (name == text::kModuleCopy) return Source{text::kModuleName};
  return Source{nullptr};
}

// Whether the open file holds exactly the bytes the setup placed under `name`.
bool HoldsPlacedBytes(core::SetupState& s, platform::File& file, const std::string& name) {
  Source source = SourceOf(s, name);
  if (!source.entry) source.entry = name.c_str();
  std::string expected, found;
  long size = platform::FileSize(file);
  if (!PayloadBytes(s, source, &expected) || size != static_cast<long>(expected.size())) return false;
  found.resize(expected.size());
  long n = found.empty() ? 0 : file.Read(found.data(), static_cast<unsigned long>(found.size()));
  return n == size && found == expected;
}

// The programs and modules in the install directory get an access list that lets the users run
// them but not change them: the Run value starts the main program at every user's logon. Each is
// checked against the payload once nobody but an administrator can change it any more.
void ProtectPlacedPrograms(core::SetupState& s, core::InstallReport& report) {
  std::vector<std::string> names = archive::PayloadEntryNames(s);
  names.push_back(text::kMainProgramName);
  names.push_back(text::kModuleCopy);
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  for (const std::string& name : names) {
    if (archive::IsDataFileName(name) || name.rfind("tavo32", 0) == 0 || name.rfind("tavo64", 0) == 0) continue;
    const std::string path = InInstallDir(s, name.c_str());
    if (!IsFile(s, path) || platform::IsLink(s.os.files, path)) continue;
    bool restricted = s.os.files.RestrictToReadAndRun(path);
    s.Log.Step("let the users only read and run", path, restricted);
    if (!restricted) {
      ++report.entriesFailed;
      continue;
    }
    auto file = s.os.files.Open(path, platform::OpenMode::Read);
    if (!file || !HoldsPlacedBytes(s, *file, name)) {
      s.Log.Step("check against the payload", path, false);
      ++report.copyFailures;
      ShowCopyFailed(s, path);
    }
  }
}

}  // namespace

void DeployFiles(core::SetupState& s, Pass pass, core::InstallObserver& observer, core::InstallReport& report) {
  platform::Unchecked(s.os.files.MakeDirectory(s.InstallDir));
  if (s.WindowsMajor >= 6) sys::LowerIntegrityLevel(s);
  // The pauses let the directory page and the empty bar show before the work goes on.
  observer.RedrawDirectoryPage();
  observer.Pause();
  if (pass == Pass::Stubs) UnpackPayload(s, report);
  observer.RedrawDirectoryPage();

  PlaceFile(s, report, Source{text::kModuleName}, InInstallDir(s, text::kModuleCopy), false);
  PlainCopy(s, report, InInstallDir(s, "tavocyzk.tv1"), InInstallDir(s, "tavocyzk.tvu"));
  PlainCopy(s, report, InInstallDir(s, "tavopyck.tv1"), InInstallDir(s, "tavopyck.tvu"));
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
      bool deleted = archive::DeleteIfPresent(s.os.files, path);
      if (present) s.Log.Step("delete", path, deleted);
    }
    // After an unpack that broke off, what is there is not all the setup's: nothing is checked.
    if (report.unpackComplete) ProtectPlacedPrograms(s, report);
  }
}

void StartPlacedProgram(core::SetupState& s, core::InstallReport& report, const char* name,
                        const std::string& arguments) {
  const std::string program = InInstallDir(s, name);
  // Held from here until it has started: whoever can write to the install directory can neither
  // change it nor put another file in its place after it was checked.
  auto held = program.empty() ? nullptr : s.os.files.Open(program, platform::OpenMode::ReadHeld);
  const std::string commandLine = core::QuoteProgram(program) + " " + arguments;
  if (!held || !HoldsPlacedBytes(s, *held, name)) {
    s.Log.Step("start (the file is not the one the setup placed)", commandLine, false);
    ++report.copyFailures;
    ShowCopyFailed(s, program);
    return;
  }
  s.os.processes.StartHeld(program, commandLine, platform::kSwShow, std::move(held));
  s.Log.Step("start", commandLine, true);
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

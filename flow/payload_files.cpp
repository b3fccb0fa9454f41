#include "flow/payload_files.h"

#include "archive/archive_reader.h"
#include "archive/file_replace.h"
#include "archive/texts.h"
#include "core/path_format.h"
#include "flow/texts.h"
#include "flow/version_stamp.h"
#include "platform/constants.h"
#include "platform/files.h"
#include "platform/unchecked.h"

namespace flow {
namespace {

void ResetAttributes(core::SetupState& s, const std::string& path) {
  if (!path.empty()) platform::Unchecked(s.os.files.SetAttributes(path, platform::kAttrArchive));
}

// Puts the bytes in place as `to`. They are written whole and flushed under the fresh name first;
// then one replacing move puts them under the name, so that it holds the old file or the new one at
// every instant. A file that cannot be replaced so, a module the system has loaded, makes way by a
// rename instead, and comes back when the new file cannot follow: until the last rename the machine
// keeps what it had. A module (`moveAside`) takes its aside name, where one the system still has
// loaded stays until it lets go; anything else the "old" name.
Placed ReplaceFile(core::SetupState& s, const std::string& bytes, const std::string& to, bool moveAside) {
  platform::Files& files = s.os.files;
  // A link under the name goes first: the attributes reset below are the file's it names.
  if (!platform::RemoveLink(files, to)) {
    s.Log.Step("remove the link", to, false);
    return Placed::InTheWay;
  }
  const std::string fresh = platform::FreshName(to);
  // A write cut short takes its piece away itself.
  if (!platform::WriteFreshFile(files, to, bytes)) {
    s.Log.Step("write", fresh, false);
    return Placed::NotWritten;
  }
  ResetAttributes(s, to);
  if (files.MoveReplacing(fresh, to)) return Placed::Yes;
  std::string aside;
  if (platform::Exists(files, to)) {
    bool moved = false;
    if (moveAside) {
      moved = archive::MoveFileAside(files, to, &aside);
    } else {
      aside = platform::BesideName(to, "old");
      platform::Unchecked(platform::DeleteIfPresent(files, aside));
      moved = files.Move(to, aside);
    }
    s.Log.Step("move aside", to + " -> " + aside, moved);
    if (!moved) {
      platform::Unchecked(platform::DeleteIfPresent(files, fresh));
      return Placed::InTheWay;
    }
  }
  if (!files.Move(fresh, to)) {
    s.Log.Step("rename", fresh + " -> " + to, false);
    platform::Unchecked(platform::DeleteIfPresent(files, fresh));
    if (!aside.empty()) s.Log.Step("move back", aside + " -> " + to, files.Move(aside, to));
    return Placed::NotWritten;
  }
  // An old module still loaded stays under its aside name until the system lets it go.
  if (!aside.empty()) platform::Unchecked(platform::DeleteIfPresent(files, aside));
  return Placed::Yes;
}

}  // namespace

std::string InInstallDir(core::SetupState& s, const char* name) {
  std::string path;
  return core::JoinPath(s.InstallDir, name, &path) ? path : std::string();
}

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

bool PayloadBytes(core::SetupState& s, const Source& source, std::string* bytes) {
  size_t length = archive::LoadArchiveEntry(s, source.entry);
  if (length == 0) return false;
  bytes->assign(reinterpret_cast<const char*>(archive::DataArea(s.WorkBuffer->Data())), length);
  if (source.stamp) platform::Unchecked(StampVersion(reinterpret_cast<uint8_t*>(bytes->data()), bytes->size()));
  return true;
}

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

const char* MainProgramEntry(core::SetupState& s) {
  return s.Is64Bit || s.WindowsMajor >= 6 ? text::kMainProgram6 : text::kMainProgramName;
}

}  // namespace flow

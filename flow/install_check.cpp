#include "flow/install_check.h"

#include "archive/texts.h"
#include "core/path_format.h"
#include "flow/payload_needs.h"
#include "flow/texts.h"
#include "platform/ansi_text.h"
#include "platform/constants.h"

namespace flow {
namespace {

// The report is made in a buffer of its own; without one, nothing is checked.
constexpr size_t kReportBufferSize = 69376;

// One of the library's files reads whole.
bool ProbeAny(core::SetupState& s, const text::Library& library) {
  for (const char* name : {library.compiled, library.shipped, library.usersCopy}) {
    if (ProbeFile(s, name)) return true;
  }
  return false;
}

// Only the total decides the check, so a name is sorted by the extension anywhere in it and in
// either letter case: "notes.TXT.bak" counts as text.
bool MentionsExtension(std::string_view name, std::string_view extension) {
  return platform::FindKeyword(name, extension, platform::kCodePageAscii) != std::string_view::npos;
}

}  // namespace

ScanResult ScanDataFiles(core::SetupState& s) {
  ScanResult scan;
  // The directory as the install spelt it; the scan only reads it.
  std::string dir = s.InstallDir;
  if (!dir.empty() && !core::EndsWithBackslash(dir, s.AnsiCodePage) && dir.size() < core::kMaxPathChars) {
    dir.push_back('\\');
  }
  std::string pattern;
  if (core::JoinPath(dir, "*.*", &pattern)) {
    for (const std::string& name : s.os.files.List(pattern)) {
      scan.listed = true;
      if (name == "." || name == "..") continue;
      std::string path;
      if (!core::JoinPath(dir, name, &path) || s.os.files.ChangeDirectory(path)) continue;
      if (MentionsExtension(name, ".txt")) {
        ++scan.textFiles;
      } else if (MentionsExtension(name, ".tvh")) {
        ++scan.tableFiles;
      } else {
        ++scan.otherFiles;
      }
    }
  }
  scan.enterable = s.os.files.ChangeDirectory(dir);
  // Hidden, read-only, compressed or not-indexed folders hold an install as well as plain ones.
  uint32_t attributes = s.os.files.GetAttributes(dir);
  scan.directory = attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory);
  return scan;
}

bool ProbeFile(core::SetupState& s, const std::string& name) {
  std::string path;
  if (!core::JoinPath(s.InstallDir, name, &path)) return false;
  auto file = s.os.files.Open(path, platform::OpenMode::Read);
  if (!file) return false;
  char buffer[20];
  return file->Read(buffer, sizeof buffer) == 20;
}

bool VerifyInstallation(core::SetupState& s, bool showReport) {
  auto report = s.os.resources.AllocZeroed(kReportBufferSize);
  if (!report) return true;
  const char* reason = nullptr;
  ScanResult scan = ScanDataFiles(s);
  int total = scan.textFiles + scan.tableFiles + scan.otherFiles;
  if (!scan.Passes()) {
    reason = text::kReasonPath;
  } else if (total < kInstalledFilesAtLeast) {
    reason = text::kReasonFiles;
  } else if (!ProbeAny(s, text::kWubiLibrary)) {
    reason = text::kReasonWubi;
  } else if (!ProbeAny(s, text::kPinyinLibrary)) {
    reason = text::kReasonPinyin;
  } else if (!ProbeFile(s, text::kModuleName)) {
    reason = text::kReasonModule;
  }
  if (!reason) return true;
  if (showReport) {
    std::string message = std::string(text::kReportTitle) + "\r\n\r\n" + text::kReportError + reason + "\r\n\r\n" +
                          text::kAdviceBefore + archive::text::kHomePage + text::kAdviceAfter + "\r\n\r\n";
    s.os.dialogs.MessageA(message, text::kReportCaption, platform::kMbOk);
  }
  return false;
}

}  // namespace flow

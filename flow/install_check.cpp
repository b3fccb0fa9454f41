#include "flow/install_check.h"


#include "core/path_format.h"
#include "flow/startup.h"
#include "flow/texts.h"
#include "archive/texts.h"
#include "platform/constants.h"

namespace flow {
namespace {

constexpr size_t kReportBufferSize = 69376;
constexpr int kProbeOk = 0x1400;

std::string Hex(int value) { return core::HexText(static_cast<uint32_t>(value)); }

// The first of the names that reads whole; the trace gets the last result.
bool ProbeAny(core::SetupState& s, std::initializer_list<const char*> names, const char* code, std::string* trace) {
  int result = 0;
  for (const char* name : names) {
    result = ProbeFile(s, name);
    if (result == kProbeOk) break;
  }
  *trace += code + Hex(result) + ";";
  return result == kProbeOk;
}

}  // namespace

ScanResult ScanDataFiles(core::SetupState& s) {
  ScanResult scan;
  if (!s.InstallDir.empty() && !core::EndsWithBackslash(s.InstallDir, s.AnsiCodePage) &&
      s.InstallDir.size() < core::kMaxPathChars) {
    s.InstallDir.push_back('\\');
  }
  std::string pattern;
  if (core::JoinPath(s.InstallDir, "*.*", &pattern)) {
    for (const std::string& name : s.os.files.List(pattern)) {
      scan.status = 1;
      if (name == "." || name == "..") continue;
      std::string path;
      if (!core::JoinPath(s.InstallDir, name, &path) || s.os.files.ChangeDirectory(path)) continue;
      if (ContainsSwitch(name, ".txt")) {
        ++scan.textFiles;
      } else if (ContainsSwitch(name, ".tvh")) {
        ++scan.tableFiles;
      } else {
        ++scan.otherFiles;
      }
    }
  }
  if (s.os.files.ChangeDirectory(s.InstallDir)) scan.status += 10;
  // Hidden, read-only, compressed or not-indexed folders hold an install as well as plain ones.
  uint32_t attributes = s.os.files.GetAttributes(s.InstallDir);
  if (attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory)) scan.status += 3;
  return scan;
}

int ProbeFile(core::SetupState& s, const std::string& name) {
  std::string path;
  if (!core::JoinPath(s.InstallDir, name, &path)) return static_cast<int>(platform::kErrorPathNotFound);
  auto file = s.os.files.Open(path, platform::OpenMode::Read);
  if (!file) return static_cast<int>(s.os.files.LastError());
  char buffer[20];
  long n = file->Read(buffer, sizeof buffer);
  if (n == 20) return kProbeOk;
  return static_cast<int>((n > 0 ? n : 0) * 256 + s.os.files.LastError());
}

int VerifyInstallation(core::SetupState& s, bool showReport) {
  auto report = s.os.resources.AllocZeroed(kReportBufferSize);
  if (!report) return 0;
  std::string trace;
  const char* reason = nullptr;
  ScanResult scan = ScanDataFiles(s);
  trace += "path--" + s.InstallDir + "--" + std::to_string(scan.status) + ";";
  int total = scan.textFiles + scan.tableFiles + scan.otherFiles;
  if (scan.status < 14) {
    reason = text::kReasonPath;
  } else if (trace += "F--" + std::to_string(total) + ";"; total < 74) {
    reason = text::kReasonFiles;
  } else if (!ProbeAny(s, {"tavocyzk.tvh", "tavocyzk.tv1", "tavocyzk.tvu"}, "FR1--", &trace)) {
    reason = text::kReasonWubi;
  } else if (!ProbeAny(s, {"tavopyck.tvh", "tavopyck.tv1", "tavopyck.tvu"}, "FR2--", &trace)) {
    reason = text::kReasonPinyin;
  } else if (!ProbeAny(s, {"tavohu4.ime"}, "FR3--", &trace)) {
    reason = text::kReasonModule;
  }
  if (!reason) return 0;
  if (showReport) {
    std::string message = std::string(text::kReportTitle) + "\r\n\r\n" + text::kReportError + reason + "\r\n\r\n" +
                           text::kAdviceBefore + archive::text::kHomePage + text::kAdviceAfter + "\r\n\r\n";
    s.os.dialogs.MessageA(message, text::kReportCaption, platform::kMbOk);
  }
  return 1;
}

}  // namespace flow

#include "core/system_facts.h"

#include "core/path_format.h"
#include "core/texts.h"
#include "platform/constants.h"

namespace core {
namespace {

// 64-bit Windows is told by its SysWOW64 folder, looked for below a Windows directory read into
// a 100-byte buffer.
bool HasSysWow64(SetupState& s) {
  std::string windows = s.os.files.WindowsDirectory();
  if (windows.size() >= 100) return false;
  if (s.os.files.CanOpenForReading(windows + text::kSysWow64Folder)) return true;
  // Only "not found" says there is none: a folder that is there but could not be opened this
  // once (another program scanning it) must not make a 64-bit machine a 32-bit one.
  long error = s.os.files.LastError();
  return error != platform::kErrorFileNotFound && error != platform::kErrorPathNotFound;
}

}  // namespace

void FindSystemFacts(SetupState& s) {
  s.OemCodePage = s.os.system.OemCodePage();
  s.AnsiCodePage = s.os.system.AnsiCodePage();
  s.WindowsMajor = s.os.system.VersionMajor();
  s.Win9x = (s.os.system.PackedVersion() & 0x80000000u) != 0;
  s.Is64Bit = s.WindowsMajor > 5 && HasSysWow64(s);
}

std::string GetSysWow64Dir(SetupState& s) {
  std::string dir;
  std::string windows = s.os.files.WindowsDirectory();
  if (windows.size() >= kPathBufferSize || !JoinPath(windows, text::kSysWow64Folder, &dir)) return std::string();
  return dir;
}

}  // namespace core

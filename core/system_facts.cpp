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
  const std::string folder = windows + text::kSysWow64Folder;
  if (s.os.files.CanOpenForReading(folder)) return true;
  auto notFound = [&] {
    long error = s.os.files.LastError();
    return error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound;
  };
  if (notFound()) return false;
  // A folder that is there but could not be opened this once (another program scanning it): its
  // attributes still say it is there. Taking a 32-bit machine for a 64-bit one would put 64-bit
  // modules over its working ones, the other way round the 64-bit programs would lose the IME.
  uint32_t attributes = s.os.files.GetAttributes(folder);
  if (attributes != platform::kInvalidAttributes) return (attributes & platform::kAttrDirectory) != 0;
  return !notFound();
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

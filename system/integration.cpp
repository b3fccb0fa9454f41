#include "system/integration.h"

#include "core/path_format.h"
#include "platform/constants.h"
#include "platform/unchecked.h"
#include "platform/utf8.h"
#include "system/texts.h"

namespace sys {
namespace {

using platform::RegKey;
using platform::RegRoot;

// Opens a parent key for reading and creates or opens its subkey with full access.
// `parentMissing` (optional) tells whether the parent key is not there at all.
std::unique_ptr<RegKey> OpenSubKeyForWriting(core::SetupState& s, const char* parent, const char* subKey,
                                             bool* parentMissing = nullptr) {
  std::unique_ptr<RegKey> parentKey, key;
  long opened = s.os.registry.OpenKey(RegRoot::LocalMachine, parent, platform::kKeyRead, &parentKey);
  if (parentMissing) *parentMissing = opened == platform::kErrorFileNotFound;
  if (opened != platform::kErrorSuccess) return nullptr;
  platform::Unchecked(parentKey->CreateSubKey(subKey, platform::kKeyAllAccess, &key));
  return key;
}

std::unique_ptr<RegKey> OpenUninstallEntry(core::SetupState& s) {
  std::unique_ptr<RegKey> parent, key;
  if (s.os.registry.OpenKeyW(RegRoot::LocalMachine, text::kUninstallKey, platform::kKeyRead, &parent) !=
          platform::kErrorSuccess ||
      parent->CreateSubKeyW(text::kUninstallSubKey, platform::kKeyAllAccess, &key) != platform::kErrorSuccess) {
    s.Log.Step("open the uninstall entry",
               "HKLM\\" + platform::Utf8(text::kUninstallKey) + "\\" + platform::Utf8(text::kUninstallSubKey), false);
    return nullptr;
  }
  return key;
}

bool SetEntryValue(core::SetupState& s, RegKey& key, const std::u16string& name, uint32_t type,
                   const std::string& bytes, const std::string& shownUtf8) {
  bool set = key.SetValueW(name, type, bytes) == platform::kErrorSuccess;
  if (s.Log.IsOn()) {
    s.Log.Line("uninstall entry value " + platform::Utf8(name) + " = " + shownUtf8 + (set ? ": ok" : ": failed"));
  }
  return set;
}

std::string DwordBytes(uint32_t value) {
  std::string bytes(4, '\0');
  for (size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

}  // namespace

bool WriteUninstallEntry(core::SetupState& s) {
  auto key = OpenUninstallEntry(s);
  if (!key) return false;
  bool name = SetEntryValue(s, *key, text::kDisplayNameValue, platform::kRegSz,
                            platform::Utf16Bytes(text::kDisplayName), platform::Utf8(text::kDisplayName));
  // The system directory comes in a buffer of 100 characters.
  std::u16string system = s.os.files.SystemDirectoryW();
  if (system.size() >= 100) return false;
  std::u16string uninstaller = system + text::kUninstallerInSystemDir;
  bool command = SetEntryValue(s, *key, text::kUninstallStringValue, platform::kRegSz,
                               platform::Utf16Bytes(uninstaller), platform::Utf8(uninstaller));
  return name && command;
}

bool WriteUninstallDetails(core::SetupState& s, uint32_t installedKiB) {
  auto key = OpenUninstallEntry(s);
  if (!key) return false;
  // The install directory is ANSI bytes of the system's code page; the entry is written in UTF-16
  // as the rest of it, converted the way the A calls would.
  std::u16string dir = s.os.system.AnsiToUtf16(s.InstallDir);
  std::u16string icon = dir + text::kMainProgram;
  bool all = SetEntryValue(s, *key, text::kDisplayVersionValue, platform::kRegSz,
                           platform::Utf16Bytes(text::kDisplayVersion), platform::Utf8(text::kDisplayVersion));
  all &= SetEntryValue(s, *key, text::kInstallLocationValue, platform::kRegSz, platform::Utf16Bytes(dir),
                       platform::Utf8(dir));
  all &= SetEntryValue(s, *key, text::kDisplayIconValue, platform::kRegSz, platform::Utf16Bytes(icon),
                       platform::Utf8(icon));
  all &= SetEntryValue(s, *key, text::kEstimatedSizeValue, platform::kRegDword, DwordBytes(installedKiB),
                       std::to_string(installedKiB));
  all &= SetEntryValue(s, *key, text::kNoModifyValue, platform::kRegDword, DwordBytes(1), "1");
  all &= SetEntryValue(s, *key, text::kNoRepairValue, platform::kRegDword, DwordBytes(1), "1");
  return all;
}

bool WriteRunEntry(core::SetupState& s, const std::string& commandLine) {
  auto run = OpenSubKeyForWriting(s, text::kCurrentVersionKey, text::kRunSubKey);
  bool set = false;
  if (run) {
    platform::Unchecked(run->DeleteValue(text::kRunValue));
    set = run->SetValue(text::kRunValue, platform::kRegSz, commandLine) == platform::kErrorSuccess;
  }
  s.Log.Step(std::string("automatic start HKLM\\") + text::kCurrentVersionKey + "\\" + text::kRunSubKey + "\\" +
                 text::kRunValue + " =",
             commandLine, set);
  return set;
}

bool WriteUserAgentToken(core::SetupState& s) {
  bool noBrowserKey = false;
  auto postPlatform = OpenSubKeyForWriting(s, text::kUserAgentKey, text::kPostPlatformSubKey, &noBrowserKey);
  // A Windows without the browser's key has nowhere to put the token, and nothing went wrong.
  if (!postPlatform) return noBrowserKey;
  for (const char* older : text::kOlderTokens) platform::Unchecked(postPlatform->DeleteValue(older));
  bool set = postPlatform->SetValue(text::kUserAgentToken, platform::kRegSz, std::string()) == platform::kErrorSuccess;
  s.Log.Step("browser token",
             std::string(text::kUserAgentKey) + "\\" + text::kPostPlatformSubKey + "\\" + text::kUserAgentToken, set);
  return set;
}

void LowerIntegrityLevel(core::SetupState& s) {
  // icacls must receive the install directory itself: every trailing backslash goes, but a
  // drive root keeps its own, doubled so that it does not escape the closing quote.
  std::string dir = core::WithoutTrailingBackslashes(s.InstallDir, s.AnsiCodePage);
  if (dir.size() == 2 && dir[1] == ':') dir += "\\\\";
  // The directory stands between double quotes: one inside it would end the quoting and let the
  // rest of it reach icacls as arguments. No Windows path holds one.
  if (dir.find('"') != std::string::npos) return;
  std::string command = core::QuoteProgram(s.os.files.SystemDirectory() + "\\" + text::kIntegrityProgram) + " \"" +
                        dir + text::kIntegrityCommandAfter;
  s.os.processes.Start(command, platform::kSwShow);
  s.Log.Step("start", command, true);
}

}  // namespace sys

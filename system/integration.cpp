#include "system/integration.h"

#include "core/path_format.h"
#include "platform/constants.h"
#include "platform/unchecked.h"
#include "system/texts.h"

namespace sys {
namespace {

using platform::RegKey;
using platform::RegRoot;

// Opens a parent key for reading and creates or opens its subkey with full access.
std::unique_ptr<RegKey> OpenSubKeyForWriting(core::SetupState& s, const char* parent, const char* subKey) {
  std::unique_ptr<RegKey> parentKey, key;
  if (s.os.registry.OpenKey(RegRoot::LocalMachine, parent, platform::kKeyRead, &parentKey) != platform::kErrorSuccess) {
    return nullptr;
  }
  platform::Unchecked(parentKey->CreateSubKey(subKey, platform::kKeyAllAccess, &key));
  return key;
}

}  // namespace

void WriteUninstallEntry(core::SetupState& s) {
  std::unique_ptr<RegKey> parent, key;
  if (s.os.registry.OpenKeyW(RegRoot::LocalMachine, text::kUninstallKey, platform::kKeyRead, &parent) !=
          platform::kErrorSuccess ||
      parent->CreateSubKeyW(text::kUninstallSubKey, platform::kKeyAllAccess, &key) != platform::kErrorSuccess) {
    return;
  }
  platform::Unchecked(
      key->SetValueW(text::kDisplayNameValue, platform::kRegSz, platform::Utf16Bytes(text::kDisplayName)));
  // The system directory comes in a buffer of 100 characters.
  std::u16string system = s.os.files.SystemDirectoryW();
  if (system.size() >= 100) return;
  platform::Unchecked(key->SetValueW(text::kUninstallStringValue, platform::kRegSz,
                                     platform::Utf16Bytes(system + text::kUninstallerInSystemDir)));
}

void WriteRunEntry(core::SetupState& s, const std::string& commandLine) {
  auto run = OpenSubKeyForWriting(s, text::kCurrentVersionKey, text::kRunSubKey);
  if (!run) return;
  platform::Unchecked(run->DeleteValue(text::kRunValue));
  platform::Unchecked(run->SetValue(text::kRunValue, platform::kRegSz, commandLine));
}

void WriteUserAgentToken(core::SetupState& s) {
  auto postPlatform = OpenSubKeyForWriting(s, text::kUserAgentKey, text::kPostPlatformSubKey);
  if (!postPlatform) return;
  for (const char* older : text::kOlderTokens) platform::Unchecked(postPlatform->DeleteValue(older));
  platform::Unchecked(postPlatform->SetValue(text::kUserAgentToken, platform::kRegSz, std::string()));
}

void LowerIntegrityLevel(core::SetupState& s) {
  // icacls must receive the install directory itself: every trailing backslash goes, but a
  // drive root keeps its own, doubled so that it does not escape the closing quote.
  std::string dir = core::WithoutTrailingBackslashes(s.InstallDir, s.AnsiCodePage);
  if (dir.size() == 2 && dir[1] == ':') dir += "\\\\";
  // The directory stands between double quotes: one inside it would end the quoting and let the
  // rest of it reach icacls as arguments. No Windows path holds one.
  if (dir.find('"') != std::string::npos) return;
  s.os.processes.Start(text::kIntegrityCommandBefore + dir + text::kIntegrityCommandAfter, platform::kSwShow);
}

}  // namespace sys

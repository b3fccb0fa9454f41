#include "flow/install_sequence.h"

#include "core/install_location.h"
#include "core/path_format.h"
#include "flow/texts.h"
#include "flow/deploy.h"
#include "archive/file_replace.h"
#include "platform/constants.h"
#include "system/ime_registration.h"
#include "system/integration.h"
#include "system/preload.h"
#include "system/settings_files.h"

namespace flow {
namespace {

// The directory field holds at most 197 characters (a 198-byte buffer).
constexpr int kDirectoryFieldBuffer = 198;

void RegisterIme(core::SetupState& s) {
  if (!sys::InstallImeModule(s)) sys::RegisterKeyboardLayout(s);
  if (s.WindowsMajor <= 5) {
    sys::FindImeInPreload(s);
    sys::PromotePreloadEntry(s);
  }
}

// Step 6: an earlier IME in the preload list may still be loaded; its module must make way.
bool ClearOldModule(core::SetupState& s) {
  s.OldImeLocked = false;
  if (!s.ImeInPreload) return true;
  std::string module;
  if (!core::JoinPath(s.os.files.SystemDirectory(), "\\tavohu4.ime", &module)) return true;
  if (archive::DeleteIfPresent(s.os.files, module) == 0 || archive::MoveFileAside(s.os.files, module) == 0) {
    return true;
  }
  s.OldImeLocked = true;
  s.os.dialogs.MessageW(text::kOldImeLocked, text::kCaptionInstall, platform::kMbOk);
  return false;
}

}  // namespace

InstallOutcome RunInstall(core::SetupState& s) {
  if (s.InstallMode == core::kSilent) {
    core::ReadInstallPath(s);
    // No address page on this road: the addresses an earlier install stored are kept.
    sys::ReadServerAddresses(s);
  } else {
    s.InstallDir = s.os.windows.GetText(s.DirectoryField, kDirectoryFieldBuffer);
  }
  core::SaveInstallPath(s);
  s.os.files.MakeDirectory(s.InstallDir);
  std::string filer;
  if (core::JoinPath(s.InstallDir, "filer\\", &filer)) s.os.files.MakeDirectory(filer);
  sys::WriteSettingsFiles(s);
  sys::FindImeInPreload(s);
  if (!ClearOldModule(s)) return InstallOutcome::OldImeLocked;

  flow::DeployFiles(s, 0);
  RegisterIme(s);
  flow::DeployFiles(s, 1);
  flow::AdjustSettingsRecord(s);
  sys::WriteUserAgentToken(s);
  const std::string mainProgram = core::QuoteProgram(s.InstallDir + "tavokelv.exe");
  sys::WriteRunEntry(s, mainProgram + " tv");

  if (s.InstallMode == core::kInteractive &&
      s.os.dialogs.MessageW(text::kSentenceLibraryQuestion, text::kCaptionInstall, platform::kMbYesNo) !=
          platform::kIdNo) {
    s.os.processes.Start(mainProgram + " hu", platform::kSwShow);
  }
  if (s.Is64Bit) {
    // The directory after the switch is taken whole by the companion, blanks included.
    s.os.processes.Start(core::QuoteProgram(s.InstallDir + "setupw64.exe") + " regtv32=" + s.InstallDir,
                         platform::kSwShow);
  }
  return InstallOutcome::Done;
}

}  // namespace flow

#include "flow/install_sequence.h"

#include "archive/file_replace.h"
#include "core/install_location.h"
#include "core/path_format.h"
#include "flow/deploy.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "platform/unchecked.h"
#include "system/ime_registration.h"
#include "system/integration.h"
#include "system/preload.h"
#include "system/settings_files.h"

namespace flow {
namespace {

void RegisterIme(core::SetupState& s) {
  if (!sys::InstallImeModule(s)) sys::RegisterKeyboardLayout(s);
  if (s.WindowsMajor <= 5) {
    sys::FindImeInPreload(s);
    sys::PromotePreloadEntry(s);
  }
}

// Step 6: an earlier IME in the preload list may still be loaded; its module must make way.
bool ClearOldModule(core::SetupState& s) {
  if (!s.ImeInPreload) return true;
  std::string module;
  if (!core::JoinPath(s.os.files.SystemDirectory(), "\\tavohu4.ime", &module)) return true;
  if (archive::DeleteIfPresent(s.os.files, module) || archive::MoveFileAside(s.os.files, module)) {
    return true;
  }
  s.os.dialogs.MessageW(text::kOldImeLocked, text::kCaptionInstall, platform::kMbOk);
  return false;
}

}  // namespace

core::InstallReport RunInstall(core::SetupState& s, const std::string& directory, core::InstallObserver& observer) {
  core::InstallReport report;
  s.InstallDir = directory;
  core::SaveInstallPath(s);
  platform::Unchecked(s.os.files.MakeDirectory(s.InstallDir));
  std::string filer;
  if (core::JoinPath(s.InstallDir, "filer\\", &filer)) platform::Unchecked(s.os.files.MakeDirectory(filer));
  sys::WriteSettingsFiles(s);
  sys::FindImeInPreload(s);
  if (!ClearOldModule(s)) {
    report.outcome = core::InstallOutcome::OldImeLocked;
    return report;
  }

  DeployFiles(s, 0, observer, report);
  RegisterIme(s);
  DeployFiles(s, 1, observer, report);
  AdjustSettingsRecord(s);
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
  return report;
}

}  // namespace flow

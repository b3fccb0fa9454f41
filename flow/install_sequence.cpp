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
  bool installed = sys::InstallImeModule(s);
  s.Log.Step("register the IME module with the input method manager", "tavohu4.ime", installed);
  if (!installed) s.Log.Step("register the keyboard layout directly", "", sys::RegisterKeyboardLayout(s));
  if (s.WindowsMajor <= 5) {
    sys::FindImeInPreload(s);
    sys::PromotePreloadEntry(s);
  }
}

void MakeDirectory(core::SetupState& s, const std::string& dir) {
  bool made = s.os.files.MakeDirectory(dir);
  uint32_t attributes = made ? platform::kAttrDirectory : s.os.files.GetAttributes(dir);
  s.Log.Step("create directory", dir,
             attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory));
}

void Start(core::SetupState& s, const std::string& commandLine) {
  s.os.processes.Start(commandLine, platform::kSwShow);
  s.Log.Step("start", commandLine, true);
}

// Step 6: an earlier IME in the preload list may still be loaded; its module must make way.
bool ClearOldModule(core::SetupState& s) {
  if (!s.ImeInPreload) return true;
  std::string module;
  if (!core::JoinPath(s.os.files.SystemDirectory(), "\\tavohu4.ime", &module)) return true;
  if (archive::DeleteIfPresent(s.os.files, module)) {
    s.Log.Step("delete the earlier IME module", module, true);
    return true;
  }
  std::string aside;
  if (archive::MoveFileAside(s.os.files, module, &aside)) {
    s.Log.Step("move the earlier IME module aside", module + " -> " + aside, true);
    return true;
  }
  s.Log.Step("delete or move aside the earlier IME module", module, false);
  s.os.dialogs.MessageW(text::kOldImeLocked, text::kCaptionInstall, platform::kMbOk);
  return false;
}

}  // namespace

core::InstallReport RunInstall(core::SetupState& s, const std::string& directory, core::InstallObserver& observer) {
  core::InstallReport report;
  s.InstallDir = directory;
  // What could not be written is counted: the install goes on, but it is not done.
  auto count = [&](bool written) {
    if (!written) ++report.entriesFailed;
  };
  count(core::SaveInstallPath(s));
  MakeDirectory(s, s.InstallDir);
  std::string filer;
  if (core::JoinPath(s.InstallDir, "filer\\", &filer)) MakeDirectory(s, filer);
  count(sys::WriteSettingsFiles(s));
  s.Log.Line(sys::FindImeInPreload(s) ? "earlier IME in the preload list: yes" : "earlier IME in the preload list: no");
  if (!ClearOldModule(s)) {
    report.outcome = core::InstallOutcome::OldImeLocked;
    return report;
  }

  DeployFiles(s, 0, observer, report);
  RegisterIme(s);
  DeployFiles(s, 1, observer, report);
  // The size it reports needs every file in place.
  bool measured = false;
  uint32_t kib = InstalledKiB(s, &measured);
  count(measured && sys::WriteUninstallDetails(s, kib));
  count(AdjustSettingsRecord(s));
  count(sys::WriteUserAgentToken(s));
  const std::string mainProgram = core::QuoteProgram(s.InstallDir + "tavokelv.exe");
  count(sys::WriteRunEntry(s, mainProgram + " tv"));

  if (s.InstallMode == core::kInteractive &&
      s.os.dialogs.MessageW(text::kSentenceLibraryQuestion, text::kCaptionInstall, platform::kMbYesNo) !=
          platform::kIdNo) {
    Start(s, mainProgram + " hu");
  }
  if (s.Is64Bit) {
    // The directory after the switch is taken whole by the companion, blanks included.
    Start(s, core::QuoteProgram(s.InstallDir + "setupw64.exe") + " regtv32=" + s.InstallDir);
  }
  return report;
}

}  // namespace flow

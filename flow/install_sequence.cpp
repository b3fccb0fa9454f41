#include "flow/install_sequence.h"

#include "core/install_location.h"
#include "core/path_format.h"
#include "flow/deploy.h"
#include "flow/placed_programs.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "platform/files.h"
#include "platform/unchecked.h"
#include "system/ime_registration.h"
#include "system/integration.h"
#include "system/preload.h"
#include "system/settings_files.h"

namespace flow {
namespace {

// False when neither the input method manager nor the setup's own keys registered the IME.
bool RegisterIme(core::SetupState& s) {
  bool registered = sys::InstallImeModule(s);
  s.Log.Step("register the IME module with the input method manager", text::kModuleName, registered);
  if (!registered) {
    registered = sys::RegisterKeyboardLayout(s);
    s.Log.Step("register the keyboard layout directly", "", registered);
  }
  if (s.WindowsMajor <= 5) {
    sys::FindImeInPreload(s);
    sys::PromotePreloadEntry(s);
  }
  return registered;
}

void MakeDirectory(core::SetupState& s, const std::string& dir) {
  bool made = s.os.files.MakeDirectory(dir);
  uint32_t attributes = made ? platform::kAttrDirectory : s.os.files.GetAttributes(dir);
  s.Log.Step("create directory", dir,
             attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory));
}

// The stores name the directory the next run and the module take for the product's own. They are
// rewritten only once the install into the new directory is whole: otherwise they keep naming
// another directory that holds the product. When they name none (nothing stored, or only the
// directory the start-up's administrator test put back), there is nothing to keep.
bool MayRewriteStores(core::SetupState& s, const core::InstallReport& report) {
  if (report.outcome == core::InstallOutcome::Done && report.unpackComplete && report.copyFailures == 0) return true;
  std::string stored, mainProgram;
  if (!core::ReadPathFileInWindows(s, &stored) && !core::ReadRegistryPath(s, &stored)) return true;
  stored = core::WithTrailingBackslash(stored, s.AnsiCodePage);
  if (stored == s.InstallDir || !core::JoinPath(stored, text::kMainProgramName, &mainProgram)) return true;
  return !platform::Exists(s.os.files, mainProgram);
}

}  // namespace

core::InstallReport RunInstall(core::SetupState& s, const std::string& directory, core::InstallObserver& observer) {
  core::InstallReport report;
  // One spelling from here on, with its backslash: every file of the install is joined to it.
  s.InstallDir = core::WithTrailingBackslash(directory, s.AnsiCodePage);
  // The directory is judged when it is chosen; a junction put in its place since (or in place of
  // the default directory, which nobody chose) gets nothing written through it.
  if (platform::IsLink(s.os.files, s.InstallDir)) {
    s.Log.Step("install into (a link to another place)", s.InstallDir, false);
    report.unpackComplete = false;
    return report;
  }
  // What could not be written is counted: the install goes on, but it is not done.
  auto count = [&](bool written) {
    if (!written) ++report.entriesFailed;
  };
  MakeDirectory(s, s.InstallDir);
  std::string filer;
  if (core::JoinPath(s.InstallDir, std::string(text::kOwnFolder) + "\\", &filer)) MakeDirectory(s, filer);
  count(sys::WriteSettingsFiles(s));
  const bool inPreload = sys::FindImeInPreload(s);
  s.Log.Line(inPreload ? "earlier IME in the preload list: yes" : "earlier IME in the preload list: no");

  // An earlier module of ours still in use goes only when its replacement takes its place; one
  // that cannot make way stops the install there.
  DeployFiles(s, Pass::Stubs, observer, report);
  if (report.outcome != core::InstallOutcome::Done) {
    if (MayRewriteStores(s, report)) count(core::SaveInstallPath(s));
    return report;
  }
  count(RegisterIme(s));
  DeployFiles(s, Pass::Modules, observer, report);
  // The size it reports needs every file in place.
  bool measured = false;
  uint32_t kib = InstalledKiB(s, &measured);
  count(measured && sys::WriteUninstallDetails(s, kib));
  count(sys::AdjustSettingsRecord(s));
  count(sys::WriteUserAgentToken(s));
  const std::string mainProgram = core::QuoteProgram(s.InstallDir + text::kMainProgramName);
  count(sys::WriteRunEntry(s, mainProgram + " tv"));
  if (MayRewriteStores(s, report)) {
    count(core::SaveInstallPath(s));
  } else {
    s.Log.Step("rewrite the install path stores (the install is not whole: they keep the earlier directory)",
               s.InstallDir, false);
  }

  if (observer.AddSentenceLibrary()) StartPlacedProgram(s, report, text::kMainProgramName, "hu");
  if (s.Is64Bit) {
    // The directory after the switch is taken whole by the companion, blanks included.
    StartPlacedProgram(s, report, text::kCompanionName, "regtv32=" + s.InstallDir);
  }
  return report;
}

}  // namespace flow

#include "flow/setup_main.h"

#include "archive/file_replace.h"
#include "archive/texts.h"
#include "archive/user_data.h"
#include "core/install_location.h"
#include "core/install_observer.h"
#include "core/logged_dialogs.h"
#include "core/path_format.h"
#include "flow/install_check.h"
#include "flow/install_sequence.h"
#include "flow/interactive_road.h"
#include "flow/startup.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "platform/unchecked.h"
#include "system/settings_files.h"
#include "ui/texts.h"

namespace flow {

int SilentExitCode(const core::InstallReport& report, bool checkPassed) {
  if (report.outcome == core::InstallOutcome::OldImeLocked) return kExitOldImeLocked;
  if (!report.unpackComplete) return kExitUnpackIncomplete;
  if (report.copyFailures > 0) return kExitCopyFailed;
  if (report.entriesFailed > 0) return kExitEntriesFailed;
  return checkPassed ? kExitInstalled : kExitCheckFailed;
}

int RunSilentInstall(core::SetupState& s) {
  bool loaded = LoadPayload(s);
  s.Log.Step("load the payload and the work buffer", "", loaded);
  if (!loaded) {
    s.os.dialogs.MessageW(ui::text::kNoPayload, text::kCaptionInstall, platform::kMbOk);
    return kExitNoPayload;
  }
  // The user's own dictionaries and settings of an earlier install are packed before anything
  // is touched, as the window does when it opens, and kept (there is nobody to ask).
  s.BackupState = archive::BackupUserData(s);
  s.Log.Line(s.BackupState == core::Backup::Made     ? "back up the user's data: " + s.Log.Ansi(s.BackupArchive)
             : s.BackupState == core::Backup::Failed ? std::string("back up the user's data: failed, left as they are")
                                                     : std::string("back up the user's data: nothing to keep"));
  // Without an earlier install there is nothing to keep, and this road leaves no trace of the
  // attempt: no header-only or partial archive that nothing will restore.
  std::string archivePath;
  if (s.BackupState == core::Backup::None &&
      core::JoinPath(s.InstallDir, archive::text::kBackupArchive, &archivePath)) {
    platform::Unchecked(archive::DeleteIfPresent(s.os.files, archivePath));
  }
  std::string directory = core::ReadInstallPath(s);
  // No address page on this road: the addresses an earlier install stored are kept.
  sys::ReadServerAddresses(s);
  core::NoObserver nobody;
  core::InstallReport report = RunInstall(s, directory, nobody);
  // Nothing is checked after an install that stopped before placing anything.
  bool checkPassed = report.outcome == core::InstallOutcome::Done && report.unpackComplete &&
                     report.copyFailures == 0 && VerifyInstallation(s, false);
  s.Log.Step("installation check", "", checkPassed);
  s.WorkBuffer.reset();
  s.PayloadImage.reset();
  return SilentExitCode(report, checkPassed);
}

int SetupMain(platform::Platform& os, std::string_view commandLine, int showCommand) {
  DeployOptions options = ReadDeployOptions(commandLine);
  bool silentAsked = ContainsSwitch(options.switches, text::kSwitchSilent);
  core::LoggedDialogs dialogs(os.dialogs);
  platform::Platform routed{os.files, os.registry, os.system, os.ime, os.processes, os.resources, dialogs, os.windows};
  core::SetupState s(routed);
  // A log that cannot be written is left out; the install goes on as without the switch.
  if (options.logGiven) platform::Unchecked(s.Log.Open(os.files, os.system, options.logFile));
  dialogs.Attach(s.Log, silentAsked && options.suppressBoxes);

  int code = 0;
  switch (StartUp(s, options)) {
    case Road::Silent:
      code = RunSilentInstall(s);
      break;
    case Road::Interactive:
      code = RunInteractiveRoad(s, showCommand);
      break;
    case Road::BadTargetDir:
      code = kExitBadTargetDir;
      break;
    case Road::Refused:
      // A script that asked for a silent install must not read the refusal as success.
      code = silentAsked ? kExitNoAdminRights : 0;
      break;
    case Road::RegisterOnly:
      break;
  }
  s.Log.Line("exit code " + std::to_string(code));
  return code;
}

}  // namespace flow

#include "flow/setup_main.h"

#include "archive/file_replace.h"
#include "archive/texts.h"
#include "archive/user_data.h"
#include "core/install_location.h"
#include "core/install_observer.h"
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
  return checkPassed ? kExitInstalled : kExitCheckFailed;
}

int RunSilentInstall(core::SetupState& s) {
  if (!LoadPayload(s)) {
    s.os.dialogs.MessageW(ui::text::kNoPayload, text::kCaptionInstall, platform::kMbOk);
    return kExitNoPayload;
  }
  // The user's own dictionaries and settings of an earlier install are packed before anything
  // is touched, as the window does when it opens, and kept (there is nobody to ask).
  s.BackupState = archive::BackupUserData(s);
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
  s.WorkBuffer.reset();
  s.PayloadImage.reset();
  return SilentExitCode(report, checkPassed);
}

int SetupMain(core::SetupState& s, std::string_view commandLine, int showCommand) {
  switch (StartUp(s, commandLine)) {
    case Road::Silent:
      return RunSilentInstall(s);
    case Road::Interactive:
      return RunInteractiveRoad(s, showCommand);
    case Road::RegisterOnly:
    case Road::Refused:
      break;
  }
  return 0;
}

}  // namespace flow

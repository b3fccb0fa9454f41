#include "flow/setup_main.h"

#include "flow/install_check.h"
#include "flow/install_sequence.h"
#include "core/path_format.h"
#include "flow/startup.h"
#include "flow/texts.h"
#include "archive/archive_format.h"
#include "archive/file_replace.h"
#include "archive/texts.h"
#include "archive/user_data.h"
#include "platform/constants.h"
#include "ui/setup_window.h"

namespace flow {

int RunSilentInstall(core::SetupState& s) {
  s.PayloadImage = s.os.resources.Load(archive::text::kPayloadType, archive::text::kPayloadName);
  s.WorkBuffer = s.PayloadImage ? s.os.resources.AllocZeroed(archive::kWorkBufferSize) : nullptr;
  if (!s.PayloadImage || !s.WorkBuffer) {
    s.os.dialogs.MessageW(text::kNoPayload, text::kCaptionInstall, platform::kMbOk);
    s.PayloadImage.reset();
    return kExitNoPayload;
  }
  // The user's own dictionaries and settings of an earlier install are packed before anything
  // is touched, as the window does when it opens, and kept (there is nobody to ask).
  s.BackupState = archive::BackupUserData(s) ? core::BackupMade : core::NoBackup;
  // Without an earlier install there is nothing to keep, and this road leaves no trace of the
  // attempt: no header-only or partial archive that nothing will restore.
  std::string archivePath;
  if (s.BackupState == core::NoBackup && core::JoinPath(s.InstallDir, archive::text::kBackupArchive, &archivePath)) {
    archive::DeleteIfPresent(s.os.files, archivePath);
  }
  int code = kExitInstalled;
  if (RunInstall(s) == InstallOutcome::OldImeLocked) {
    code = kExitOldImeLocked;
  } else if (s.UnpackIncomplete) {
    code = kExitUnpackIncomplete;
  } else if (s.CopyFailures > 0) {
    code = kExitCopyFailed;
  } else if (VerifyInstallation(s, false)) {
    code = kExitCheckFailed;
  }
  s.WorkBuffer.reset();
  s.PayloadImage.reset();
  return code;
}

int SetupMain(core::SetupState& s, std::string_view commandLine, int showCommand) {
  switch (StartUp(s, commandLine)) {
    case Road::Silent:
      return RunSilentInstall(s);
    case Road::Interactive:
      return ui::RunSetupWindow(s, showCommand);
    case Road::RegisterOnly:
    case Road::Refused:
      break;
  }
  return 0;
}

}  // namespace flow

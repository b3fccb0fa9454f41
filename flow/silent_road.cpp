#include "flow/silent_road.h"

#include "core/install_observer.h"
#include "core/texts.h"
#include "flow/install_check.h"
#include "flow/install_sequence.h"
#include "flow/open_payload.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "system/settings_files.h"

namespace flow {

int SilentExitCode(const core::InstallReport& report, bool checkPassed) {
  if (report.outcome == core::InstallOutcome::OldImeLocked) return kExitOldImeLocked;
  if (!report.unpackComplete) return kExitUnpackIncomplete;
  if (report.copyFailures > 0) return kExitCopyFailed;
  if (report.entriesFailed > 0) return kExitEntriesFailed;
  if (report.startsFailed > 0) return kExitStartFailed;
  return checkPassed ? kExitInstalled : kExitCheckFailed;
}

int RunSilentRoad(core::SetupState& s) {
  if (!OpenPayload(s)) {
    s.os.dialogs.MessageW(core::text::kNoPayload, text::kCaptionInstall, platform::kMbOk);
    return kExitNoPayload;
  }
  // No address page on this road: the addresses an earlier install stored are kept.
  sys::ReadServerAddresses(s);
  core::SilentObserver nobody;
  core::InstallReport report = RunInstall(s, s.InstallDir, nobody);
  // Nothing is checked after an install that stopped before placing anything.
  bool checkPassed = report.outcome == core::InstallOutcome::Done && report.unpackComplete &&
                     report.copyFailures == 0 && VerifyInstallation(s, false);
  s.Log.Step("installation check", "", checkPassed);
  s.WorkBuffer.reset();
  s.PayloadImage.reset();
  return SilentExitCode(report, checkPassed);
}

}  // namespace flow

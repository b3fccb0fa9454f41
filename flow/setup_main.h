// The whole program behind the entry point: the start-up, then the road it chose.
#pragma once
#include <string_view>

#include "core/install_report.h"
#include "core/setup_state.h"
#include "platform/platform.h"

namespace flow {

// Exit codes of the silent road; every other road ends with 0.
enum SilentExitCode : int {
  kExitInstalled = 0,
  kExitNoPayload = 2,     // the payload resource or the work buffer could not be had
  kExitOldImeLocked = 3,  // the earlier IME module is in use and could not be moved aside
  kExitUnpackIncomplete = 4,
  kExitCopyFailed = 5,     // a module, uninstaller or main program could not be copied
  kExitCheckFailed = 6,    // the installation check found a fault
  kExitBadTargetDir = 7,   // the directory after /D= was refused; nothing written
  kExitNoAdminRights = 8,  // refused at start-up for lack of administrator rights
  kExitEntriesFailed = 9,  // an install-path store, settings file or registry entry could not be written
};

// The silent road's exit code for what the install reported and whether the check passed.
int SilentExitCode(const core::InstallReport& report, bool checkPassed);

// The message boxes go through the log (and are suppressed on an unattended silent install).
int SetupMain(platform::Platform& os, std::string_view commandLine, int showCommand);
// The silent road: payload and work buffer set up as the window would, the install, the check.
int RunSilentInstall(core::SetupState& s);

}  // namespace flow

// The silent road ("settvsrf32"): the install with nobody to ask, its check, and an exit code that
// tells a script how it ended.
#pragma once
#include "core/install_report.h"
#include "core/setup_state.h"

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
  kExitStartFailed = 10,   // the 64-bit companion (or the main program) could not be started
};

// The exit code for what the install reported and whether the check passed: the first fault in
// the order of the codes above decides.
int SilentExitCode(const core::InstallReport& report, bool checkPassed);

// Opens the payload and backs up the user's data, installs into InstallDir (the directory the
// start-up found or /D= gave) keeping the earlier data and web addresses, checks the install.
int RunSilentRoad(core::SetupState& s);

}  // namespace flow

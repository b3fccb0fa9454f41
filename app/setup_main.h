// The whole program behind the entry point: the start-up, then the road it chose.
#pragma once
#include <string_view>

#include "app/setup_state.h"

namespace app {

// Exit codes of the silent road; every other road ends with 0.
enum SilentExitCode {
  kExitInstalled = 0,
  kExitNoPayload = 2,       // the payload resource or the work buffer could not be had
  kExitOldImeLocked = 3,    // the earlier IME module is in use and could not be moved aside
  kExitUnpackIncomplete = 4,
  kExitCopyFailed = 5,      // a module, uninstaller or main program could not be copied
  kExitCheckFailed = 6,     // the installation check found a fault
};

int SetupMain(SetupState& s, std::string_view commandLine, int showCommand);
// The silent road: payload and work buffer set up as the window would, the install, the check.
int RunSilentInstall(SetupState& s);

}  // namespace app

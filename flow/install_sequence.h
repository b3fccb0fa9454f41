// One complete installation in its fixed order, from recording the directory to starting the
// programs that finish the job.
#pragma once

#include <string>

#include "core/install_observer.h"
#include "core/install_report.h"
#include "core/setup_state.h"

namespace flow {

// Installs into `directory` (a directory the caller has judged installable): the directory and
// its settings files, the files in two passes around the registration of the IME, the Windows
// entries, the path stores once the install is whole, and the programs started at the end. Stops
// early when the directory is a link to another place (nothing written) or when an earlier module
// in the preload list cannot make way.
core::InstallReport RunInstall(core::SetupState& s, const std::string& directory, core::InstallObserver& observer);

}  // namespace flow

// One complete installation in its fixed order, from recording the directory to starting the
// programs that finish the job.
#pragma once

#include <string>

#include "core/install_observer.h"
#include "core/install_report.h"
#include "core/setup_state.h"

namespace flow {

// Runs the 14 steps into `directory` (a directory the caller has judged installable); stops early
// only when the old IME module can be neither deleted nor moved.
core::InstallReport RunInstall(core::SetupState& s, const std::string& directory, core::InstallObserver& observer);

}  // namespace flow

// One complete installation in its fixed order, from recording the directory to starting the
// programs that finish the job.
#pragma once

#include "core/setup_state.h"

namespace flow {

enum class InstallOutcome { Done, OldImeLocked };

// Runs the 14 steps; stops early only when the old IME module can be neither deleted nor moved.
InstallOutcome RunInstall(core::SetupState& s);

}  // namespace flow

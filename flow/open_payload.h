// The first step of both install roads: the payload resource and the work buffer, then the user's
// own data of an earlier install packed before anything is touched.
#pragma once
#include "core/setup_state.h"

namespace flow {

// The payload resource and the work buffer, had together or not at all; false when either is
// missing.
bool LoadPayload(core::SetupState& s);
// LoadPayload, then the backup of the user's data of the install in InstallDir (BackupState says
// how it went); false, with nothing backed up, when the payload cannot be had.
bool OpenPayload(core::SetupState& s);

}  // namespace flow

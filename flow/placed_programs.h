// The programs the setup placed in the install directory: protected so that the users may run
// but not change them, and started only as the setup placed them.
#pragma once
#include <string>

#include "core/install_report.h"
#include "core/setup_state.h"

namespace flow {

// The programs and modules the setup placed in the install directory get an access list that
// lets the users read and run them but not change them; each is then checked against the
// payload. One that cannot be protected counts as an entry not written, one that differs as a
// failed copy.
void ProtectPlacedPrograms(core::SetupState& s, core::InstallReport& report);
// Starts `name` ("tavokelv.exe" or "setupw64.exe") from the install directory with `arguments`,
// only when its file holds exactly the bytes the setup placed there, and holding it so until it
// has started. One that does not is reported as a failed copy and not started.
void StartPlacedProgram(core::SetupState& s, core::InstallReport& report, const char* name,
                        const std::string& arguments);

}  // namespace flow

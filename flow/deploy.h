// Putting every installed file in its place: the payload into the install directory, the
// stamped stub IME modules (pass 0) and then the full modules (pass 1) into the system
// directories, the uninstaller and the main program; and the settings record adjusted to the
// system afterwards.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/install_observer.h"
#include "core/install_report.h"
#include "core/setup_state.h"

namespace flow {

// The two passes around the registration: the first unpacks the payload and puts the
// version-stamped stubs where the modules go (the registration reads the version from them), the
// uninstaller and the main program; the second puts the modules themselves in place.
enum class Pass { Stubs, Modules };

// Copy failures and an incomplete unpack are counted in `report`; the observer sees the
// directory page and the progress bar.
void DeployFiles(core::SetupState& s, Pass pass, core::InstallObserver& observer, core::InstallReport& report);
// KiB the install takes, rounded up: the files below the install directory and the modules and
// uninstaller placed in the system directories. `measured` turns false when a file could not be.
uint32_t InstalledKiB(core::SetupState& s, bool* measured);

}  // namespace flow

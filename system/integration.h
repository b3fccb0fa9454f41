// Hooking the product into Windows outside the keyboard layouts: the uninstall entry, the
// automatic start, the browser User-Agent token, and the low integrity level of the install
// directory. Each writer says whether everything it had to write was written (no message: the
// install counts them); a key that cannot be opened ends the operation.
#pragma once
#include <cstdint>
#include <string>

#include "core/setup_state.h"

namespace sys {

[[nodiscard]] bool WriteUninstallEntry(core::SetupState& s);
// Completes the entry once the files are in place: version, install directory, icon (the main
// program), the size in KiB and no modify or repair button.
[[nodiscard]] bool WriteUninstallDetails(core::SetupState& s, uint32_t installedKiB);
[[nodiscard]] bool WriteRunEntry(core::SetupState& s, const std::string& commandLine);
[[nodiscard]] bool WriteUserAgentToken(core::SetupState& s);
void LowerIntegrityLevel(core::SetupState& s);

}  // namespace sys

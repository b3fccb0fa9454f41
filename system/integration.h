// Hooking the product into Windows outside the keyboard layouts: the uninstall entry, the
// automatic start, the browser User-Agent token, and the low integrity level of the install
// directory. None of them reports anything; a key that cannot be opened ends the operation.
#pragma once
#include <cstdint>
#include <string>

#include "core/setup_state.h"

namespace sys {

void WriteUninstallEntry(core::SetupState& s);
// Completes the entry once the files are in place: version, install directory, icon (the main
// program), the size in KiB and no modify or repair button.
void WriteUninstallDetails(core::SetupState& s, uint32_t installedKiB);
void WriteRunEntry(core::SetupState& s, const std::string& commandLine);
void WriteUserAgentToken(core::SetupState& s);
void LowerIntegrityLevel(core::SetupState& s);

}  // namespace sys

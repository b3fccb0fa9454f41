// Hooking the product into Windows outside the keyboard layouts: the uninstall entry, the
// automatic start, the browser User-Agent token, and the low integrity level of the install
// directory. None of them reports anything; a key that cannot be opened ends the operation.
#pragma once
#include <string>

#include "core/setup_state.h"

namespace sys {

void WriteUninstallEntry(core::SetupState& s);
void WriteRunEntry(core::SetupState& s, const std::string& commandLine);
void WriteUserAgentToken(core::SetupState& s);
void LowerIntegrityLevel(core::SetupState& s);

}  // namespace sys

// Making the installed IME module known to Windows as a keyboard layout.
#pragma once

#include "app/setup_state.h"

namespace sys {

// Registers "tavohu4.ime" of the system directory with the input method manager; stores the
// layout handle in ImeLayoutHandle. True when Windows accepted it.
bool InstallImeModule(app::SetupState& s);

}  // namespace sys

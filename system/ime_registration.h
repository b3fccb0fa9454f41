// Making the installed IME module known to Windows as a keyboard layout: through the input
// method manager, or, when that refuses, by writing the layout key and the preload entry itself.
#pragma once

#include "core/setup_state.h"

namespace sys {

// Registers "tavohu4.ime" of the system directory with the input method manager; stores the
// layout handle in ImeLayoutHandle. True when Windows accepted it.
[[nodiscard]] bool InstallImeModule(core::SetupState& s);

// Writes (or reuses) the IME's key under Keyboard Layouts and puts it into the current user's
// preload list. False after showing its message when a key cannot be opened or created.
[[nodiscard]] bool RegisterKeyboardLayout(core::SetupState& s);

}  // namespace sys

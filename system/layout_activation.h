// Making the installed IME the active keyboard layout of the setup process, for the try-out page.
#pragma once

#include "core/setup_state.h"

namespace sys {

// False when it did nothing (page before the processing page, or the IME is active already).
bool ActivateImeLayout(core::SetupState& s);

}  // namespace sys

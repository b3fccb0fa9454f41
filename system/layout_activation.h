// Making the installed IME the active keyboard layout of the setup process, for the try-out page.
#pragma once

#include "core/setup_state.h"

namespace sys {

// 0 when it did nothing (page before 7, or the IME is active already), 1 otherwise.
int ActivateImeLayout(core::SetupState& s);

}  // namespace sys

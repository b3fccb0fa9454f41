// Making the installed IME the active keyboard layout of the setup process, for the try-out page.
#pragma once

#include "core/setup_state.h"

namespace sys {

// False when the IME is the active layout already. True otherwise, also when no layout of the IME
// was found and nothing could be activated.
bool ActivateImeLayout(core::SetupState& s);

}  // namespace sys

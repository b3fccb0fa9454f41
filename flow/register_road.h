// The registration-only road ("regtv32=" on 64-bit Windows, as the 64-bit companion of an install
// starts this program): records the directory it is given and registers the IME module, nothing
// else.
#pragma once
#include <string_view>

#include "core/setup_state.h"

namespace flow {

// Takes the directory after "regtv32=" (at the first lower-case r) into InstallDir when it is an
// installable one; false when InstallDir keeps the directory found at start-up.
bool ParseRegisterPath(core::SetupState& s, std::string_view commandLine);

// Records the directory after the switch (when it is taken), registers the IME module and says
// the setup is done, whether the registration took or not; the road's exit code (0).
int RunRegisterRoad(core::SetupState& s, std::string_view commandLine);

}  // namespace flow

// The program's start: process-wide values, the administrator test, the command-line switches and
// the choice of one of the three roads.
#pragma once
#include <string>
#include <string_view>

#include "core/setup_state.h"

namespace flow {

enum class Road { Refused, RegisterOnly, Silent, Interactive };

// True when keyword occurs anywhere in text; letters A-Z of the text are folded to lower case.
bool ContainsSwitch(std::string_view text, std::string_view keyword);
// Takes the directory after "regtv32=" (at the first lower-case r) into InstallDir when it is an
// installable one; false when InstallDir keeps the directory found at start-up.
bool ParseRegisterPath(core::SetupState& s, std::string_view commandLine);
// True when the install-path stores cannot be written (Windows 6.x and later).
bool LacksAdminRights(core::SetupState& s);

// Runs the start-up sequence: the refusal and the registration-only road end here; for the
// other two roads it returns which one to take.
Road StartUp(core::SetupState& s, std::string_view commandLine);

}  // namespace flow

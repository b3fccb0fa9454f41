// The whole program behind the entry point: the start-up, then the road it chose, each in a unit of
// its own (silent_road, interactive_road, register_road); the exit code.
#pragma once
#include <string_view>

#include "flow/silent_road.h"
#include "platform/platform.h"

namespace flow {

// The message boxes go through the log (and are suppressed on an unattended silent install).
int SetupMain(platform::Platform& os, std::string_view commandLine, int showCommand);

}  // namespace flow

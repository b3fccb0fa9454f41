// The program's entry point: the running system's platform, one state, the start-up and the road
// it chose.
#include "core/setup_state.h"
#include "flow/setup_main.h"
#include "platform/real_platform.h"

int main() {
  platform::RealPlatform real;
  core::SetupState state(real.os());
  return flow::SetupMain(state, real.CommandTail(), real.ShowCommand());
}

// The program's entry point: the running system's platform, one state, the start-up and the road
// it chose.
#include "flow/setup_main.h"
#include "platform/real_platform.h"

int main() {
  platform::RealPlatform real;
  return flow::SetupMain(real.os(), real.CommandTail(), real.ShowCommand());
}

// The program's entry point: the real platform, one state, the start-up sequence.
#include <windows.h>

#include "app/setup_main.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  platform::win32::Win32Platform os(instance);
  app::SetupState state(os.os());
  return app::SetupMain(state, commandLine ? commandLine : "", showCommand);
}

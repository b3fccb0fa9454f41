#include "platform/real_platform.h"

#include <windows.h>

#include "platform/command_line.h"
#include "platform/win32/win32_platform.h"

namespace platform {

struct RealPlatform::Impl {
  win32::Win32Platform platform{::GetModuleHandleA(nullptr)};
};

RealPlatform::RealPlatform() : impl_(std::make_unique<Impl>()) {}
RealPlatform::~RealPlatform() = default;

Platform& RealPlatform::os() { return impl_->platform.os(); }

std::string RealPlatform::CommandTail() const {
  const char* line = ::GetCommandLineA();
  return std::string(platform::CommandTail(line ? line : ""));
}

int RealPlatform::ShowCommand() const {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  ::GetStartupInfoA(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace platform

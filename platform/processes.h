// Starting other programs (WinExec); they are never waited for.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

class Processes {
 public:
  virtual ~Processes() = default;
  // WinExec: above 31 on success.
  virtual uint32_t Start(const std::string& commandLine, int showCommand) = 0;
};

}  // namespace platform

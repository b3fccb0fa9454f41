// Starting other programs as WinExec does; they are never waited for, and a failed start is not
// reported.
#pragma once
#include <string>

namespace platform {

class Processes {
 public:
  virtual ~Processes() = default;
  // The command line as WinExec takes it, and a show command. Programs start in the order of the
  // calls; the start may complete after the call returns, but before the platform goes away.
  virtual void Start(const std::string& commandLine, int showCommand) = 0;
};

}  // namespace platform

// Starting other programs as WinExec does; they are never waited for. A plain start's failure is
// not reported; a held start says whether the system created the process.
#pragma once
#include <memory>
#include <string>

#include "platform/files.h"

namespace platform {

class Processes {
 public:
  virtual ~Processes() = default;
  // The command line as WinExec takes it, and a show command. Programs start in the order of the
  // calls; the start may complete after the call returns, but before the platform goes away.
  virtual void Start(const std::string& commandLine, int showCommand) = 0;
  // Starts the program file `program` (a full path; `commandLine` names it first, quoted) while
  // `held` (that file, opened ReadHeld) keeps it from being changed, replaced or deleted; the hold
  // ends once the system has started it or the start failed. After the starts before it; true
  // when the process was created (CreateProcess), without waiting for the program.
  [[nodiscard]] virtual bool StartHeld(const std::string& program, const std::string& commandLine, int showCommand,
                                       std::unique_ptr<File> held) = 0;
};

}  // namespace platform

// The running program's own platform, for its entry point: the real system behind every
// interface, the command line it was started with and how its window is to be shown.
#pragma once
#include <memory>
#include <string>

#include "platform/platform.h"

namespace platform {

class RealPlatform {
 public:
  RealPlatform();
  ~RealPlatform();
  RealPlatform(const RealPlatform&) = delete;
  RealPlatform& operator=(const RealPlatform&) = delete;

  Platform& os();
  // The command line after the program's name (see CommandTail).
  std::string CommandTail() const;
  // The show command the starter asked for, or the default one.
  int ShowCommand() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform

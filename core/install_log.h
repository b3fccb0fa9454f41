// The log an administrator asks for with /LOG=: one plain-text line (UTF-8, CR LF) per step of the
// install and of the registration, written as it happens, so that a run that stops early still
// shows how far it came. Off unless opened; a log that cannot be written never stops the install.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/system_info.h"
#include "platform/utf8.h"

namespace core {

class InstallLog {
 public:
  // Creates or empties the file at `ansiPath`; false (and the log stays off) when it cannot.
  bool Open(platform::Files& files, platform::SystemInfo& system, const std::string& ansiPath);
  bool IsOn() const { return file_ != nullptr; }
  // One line of UTF-8 text; CR LF is added.
  void Line(std::string_view utf8);
  // "<what> <name>: ok" or ": failed", with `ansiName` (a path or key in ANSI bytes) in UTF-8.
  void Step(std::string_view what, std::string_view ansiName, bool ok);
  // UTF-8 of ANSI bytes as the running system reads them (empty while the log is off: nothing
  // needs the conversion then).
  std::string Ansi(std::string_view ansi);

 private:
  std::unique_ptr<platform::File> file_;
  platform::SystemInfo* system_ = nullptr;
  bool failed_ = false;
};

}  // namespace core

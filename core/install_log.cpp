#include "core/install_log.h"

namespace core {

bool InstallLog::Open(platform::Files& files, platform::SystemInfo& system, const std::string& ansiPath) {
  // A link under the log's name is removed, never written through.
  file_ = ansiPath.empty() || !platform::RemoveLink(files, ansiPath) ? nullptr : files.Create(ansiPath);
  system_ = &system;
  failed_ = false;
  return file_ != nullptr;
}

void InstallLog::Line(std::string_view utf8) {
  // After the first failed write (a full disk) the file is left as it is: the install goes on.
  if (!file_ || failed_) return;
  std::string line(utf8);
  line += "\r\n";
  long written = file_->Write(line.data(), static_cast<unsigned long>(line.size()));
  failed_ = written != static_cast<long>(line.size());
}

void InstallLog::Step(std::string_view what, std::string_view ansiName, bool ok) {
  if (!IsOn()) return;
  std::string line(what);
  if (!ansiName.empty()) line += " " + Ansi(ansiName);
  line += ok ? ": ok" : ": failed";
  Line(line);
}

std::string InstallLog::Ansi(std::string_view ansi) {
  if (!IsOn() || !system_) return std::string();
  return platform::Utf8(system_->AnsiToUtf16(std::string(ansi)));
}

}  // namespace core

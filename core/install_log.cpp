#include "core/install_log.h"

namespace core {

bool InstallLog::Open(platform::Files& files, platform::SystemInfo& system, const std::string& ansiPath) {
  file_ = ansiPath.empty() ? nullptr : files.Create(ansiPath);
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
  return Utf8(system_->AnsiToUtf16(std::string(ansi)));
}

std::string Utf8(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace core

#include "flow/register_road.h"

#include "core/install_location.h"
#include "core/path_format.h"
#include "flow/startup.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "platform/unchecked.h"
#include "system/ime_registration.h"

namespace flow {

bool ParseRegisterPath(core::SetupState& s, std::string_view commandLine) {
  size_t r = commandLine.find('r');
  if (r == std::string_view::npos) return false;
  std::string_view rest = commandLine.substr(r);
  std::string_view prefix = text::kSwitchRegisterPath;
  if (rest.substr(0, prefix.size()) != prefix) return false;
  std::string dir = core::UpToNul(rest.substr(prefix.size()));
  // A refused directory leaves the one read at start-up.
  if (!IsCommandLineDir(s, dir)) return false;
  s.InstallDir = core::WithTrailingBackslash(std::move(dir), s.AnsiCodePage);
  return true;
}

int RunRegisterRoad(core::SetupState& s, std::string_view commandLine) {
  s.Log.Line("road: registration only");
  // A directory that is not taken leaves the stores as the start-up found them.
  if (ParseRegisterPath(s, commandLine)) {
    s.Log.Step("install directory from regtv32=", s.InstallDir, true);
    platform::Unchecked(core::SaveInstallPath(s));
  }
  bool registered = sys::InstallImeModule(s);
  s.Log.Step("register the IME module", text::kModuleName, registered);
  s.os.dialogs.MessageW(text::kRegisterSuccess, text::kCaptionTavo, platform::kMbOk);
  return 0;
}

}  // namespace flow

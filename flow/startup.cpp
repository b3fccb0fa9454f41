#include "flow/startup.h"

#include "core/install_location.h"
#include "core/path_format.h"
#include "core/system_facts.h"
#include "core/texts.h"
#include "flow/texts.h"
#include "platform/ansi_text.h"
#include "platform/constants.h"
#include "platform/unchecked.h"

namespace flow {

bool ContainsSwitch(std::string_view text, std::string_view keyword) {
  // Byte by byte: the switches are ASCII, and the line is read without its code page.
  return platform::FindKeyword(text, keyword, platform::kCodePageAscii) != std::string_view::npos;
}

bool IsCommandLineDir(core::SetupState& s, const std::string& dir) {
  // The directory must fit InstallDir together with the backslash that SaveInstallPath adds.
  size_t room = core::EndsWithBackslash(dir, s.AnsiCodePage) ? core::kMaxPathChars : core::kMaxPathChars - 1;
  if (dir.size() > room) return false;
  // The stores tell the product and every later silent install where it lives: an empty or
  // relative directory would send them to whatever the current directory is then.
  return core::IsInstallableDir(s, dir);
}

bool LacksAdminRights(core::SetupState& s) {
  if (s.WindowsMajor < 6) return false;
  // The test's own writes are no step of the install: the log hears only its outcome.
  core::InstallLog quiet;
  std::swap(quiet, s.Log);
  std::string saved = s.InstallDir;
  s.InstallDir = core::text::kAdminMarker;
  platform::Unchecked(core::SaveInstallPath(s));
  // Read back only from the stores that need administrator rights: path file 2 lies in a folder
  // at a drive root that any user may create, so it proves nothing.
  std::string readBack;
  if (!core::ReadPathFileInWindows(s, &readBack)) core::ReadRegistryPath(s, &readBack);
  s.InstallDir = saved;
  platform::Unchecked(core::SaveInstallPath(s));
  std::swap(quiet, s.Log);
  if (core::EndsWithBackslash(readBack, s.AnsiCodePage)) readBack.pop_back();
  bool lacking = readBack != core::text::kAdminMarker;
  s.Log.Line(lacking ? "administrator test (write and read back the path stores): failed"
                     : "administrator test (write and read back the path stores): ok");
  return lacking;
}

Road StartUp(core::SetupState& s, const DeployOptions& options) {
  core::FindSystemFacts(s);

  core::ReadInstallPath(s);

  const std::string& commandLine = options.switches;
  // Judged before the administrator test, which writes the stores: a refused directory must
  // leave the machine as it was.
  bool silentAsked = ContainsSwitch(commandLine, text::kSwitchSilent);
  if (silentAsked && options.targetGiven && !IsCommandLineDir(s, options.targetDir)) {
    s.Log.Step("install directory from /D=", options.targetDir.empty() ? "(empty)" : options.targetDir, false);
    return Road::BadTargetDir;
  }

  if (LacksAdminRights(s)) {
    s.os.dialogs.MessageW(text::kAdminRefusal, text::kCaptionTavo, platform::kMbOk);
    return Road::Refused;
  }

  const bool registerAsked = ContainsSwitch(commandLine, text::kSwitchRegister);
  if (s.Is64Bit && registerAsked) return Road::RegisterOnly;
  // The registration switch on 32-bit Windows opens the window, even beside the silent one.
  if (registerAsked || !silentAsked) {
    s.Log.Line("road: interactive");
    return Road::Interactive;
  }
  s.Log.Line("road: silent");
  if (options.targetGiven) {
    // Spelt with its backslash from here on: the backup, the addresses and the unpack join names
    // to it, and "c:\\tavohu" + "tavoback.tvz" would name another file.
    s.Log.Step("install directory from /D=", options.targetDir, true);
    s.InstallDir = core::WithTrailingBackslash(options.targetDir, s.AnsiCodePage);
  }
  return Road::Silent;
}

Road StartUp(core::SetupState& s, std::string_view commandLine) { return StartUp(s, ReadDeployOptions(commandLine)); }

}  // namespace flow

// The program's start: process-wide values, the administrator test, the command-line switches and
// the choice of one of the three roads.
#pragma once
#include <string>
#include <string_view>

#include "core/setup_state.h"
#include "flow/deploy_options.h"

namespace flow {

// BadTargetDir: the directory after /D= failed its checks before anything was written.
enum class Road { Refused, BadTargetDir, RegisterOnly, Silent, Interactive };

// True when keyword occurs anywhere in text, at any byte; letters A-Z of the text are folded to
// lower case.
bool ContainsSwitch(std::string_view text, std::string_view keyword);
// A directory from the command line that may become InstallDir: it fits the path buffer together
// with the backslash SaveInstallPath adds, and the directory page would take it.
bool IsCommandLineDir(core::SetupState& s, const std::string& dir);
// True when the install-path stores cannot be written (Windows 6.x and later).
bool LacksAdminRights(core::SetupState& s);

// Runs the start-up sequence: the process-wide values, the install directory read once from the
// stores (or the default), the administrator test; then which road to take. The refusal ends
// here; RegisterOnly, Silent and Interactive each have their own unit.
Road StartUp(core::SetupState& s, const DeployOptions& options);
Road StartUp(core::SetupState& s, std::string_view commandLine);

}  // namespace flow

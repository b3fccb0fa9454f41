// Putting every installed file in its place: the payload into the install directory, the
// stamped stub IME modules (pass 0) and then the full modules (pass 1) into the system
// directories, the uninstaller and the main program; and the settings record adjusted to the
// system afterwards.
#pragma once
#include <string>

#include "app/setup_state.h"

namespace archive {

void DeployFiles(app::SetupState& s, int pass);
// Rewrites the version text "Tavo输入平台  6.3" (or 6.7) inside a module file to 7.1.
void StampModuleVersion(app::SetupState& s, const std::string& path);
void AdjustSettingsRecord(app::SetupState& s);

}  // namespace archive

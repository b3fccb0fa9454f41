#include "flow/interactive_road.h"

#include "flow/install_check.h"
#include "flow/install_sequence.h"
#include "flow/open_payload.h"
#include "system/layout_activation.h"
#include "system/settings_files.h"
#include "ui/setup_window.h"

namespace flow {

bool WindowSteps::OpenPayload() { return flow::OpenPayload(s_); }

void WindowSteps::LoadServerAddresses(std::string* unit, std::string* government) {
  sys::LoadServerAddresses(s_, unit, government);
}

void WindowSteps::WriteSettingsFiles() { sys::WriteSettingsFiles(s_); }

core::InstallReport WindowSteps::Install(const std::string& directory, core::InstallObserver& observer) {
  return RunInstall(s_, directory, observer);
}

bool WindowSteps::VerifyInstallation() { return flow::VerifyInstallation(s_); }

void WindowSteps::ActivateImeLayout() { sys::ActivateImeLayout(s_); }

int RunInteractiveRoad(core::SetupState& s, int showCommand) {
  WindowSteps steps(s);
  return ui::RunSetupWindow(s, steps, showCommand);
}

}  // namespace flow

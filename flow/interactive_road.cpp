#include "flow/interactive_road.h"

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "flow/install_check.h"
#include "flow/install_sequence.h"
#include "flow/open_payload.h"
#include "platform/unchecked.h"
#include "system/layout_activation.h"
#include "system/settings_files.h"
#include "ui/setup_window.h"

namespace flow {

bool WindowSteps::OpenPayload() { return flow::OpenPayload(s_); }

void WindowSteps::LoadServerAddresses(std::string* unit, std::string* government) {
  sys::LoadServerAddresses(s_, unit, government);
}

// The addresses as the user confirmed them; the install writes the files again and counts a
// failure there, so one here is not reported twice.
void WindowSteps::WriteSettingsFiles() { platform::Unchecked(sys::WriteSettingsFiles(s_)); }

core::InstallReport WindowSteps::Install(const std::string& directory, core::InstallObserver& observer) {
  return RunInstall(s_, directory, observer);
}

bool WindowSteps::VerifyInstallation() { return flow::VerifyInstallation(s_); }

void WindowSteps::ActivateImeLayout() { sys::ActivateImeLayout(s_); }

std::span<const uint8_t> WindowSteps::LoadPicture(const std::string& name) {
  size_t length = archive::LoadArchiveEntry(s_, name);
  if (length == 0 || !s_.WorkBuffer) return {};
  return {archive::DataArea(s_.WorkBuffer->Data()), length};
}

int RunInteractiveRoad(core::SetupState& s, int showCommand) {
  WindowSteps steps(s);
  return ui::RunSetupWindow(s, steps, showCommand);
}

}  // namespace flow

// The interactive road: the setup window, with the install flow behind it doing what the window
// asks (payload, addresses, settings files, the install and its check).
#pragma once
#include <string>

#include "core/setup_state.h"
#include "ui/setup_steps.h"

namespace flow {

class WindowSteps final : public ui::SetupSteps {
 public:
  explicit WindowSteps(core::SetupState& s) : s_(s) {}
  bool OpenPayload() override;
  void LoadServerAddresses(std::string* unit, std::string* government) override;
  void WriteSettingsFiles() override;
  core::InstallReport Install(const std::string& directory, core::InstallObserver& observer) override;
  bool VerifyInstallation() override;
  void ActivateImeLayout() override;
  std::span<const uint8_t> LoadPicture(const std::string& name) override;

 private:
  core::SetupState& s_;
};

// Class, window, message loop; the exit code (0).
int RunInteractiveRoad(core::SetupState& s, int showCommand);

}  // namespace flow

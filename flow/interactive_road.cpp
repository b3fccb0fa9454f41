#include "flow/interactive_road.h"

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/texts.h"
#include "archive/user_data.h"
#include "flow/install_check.h"
#include "flow/install_sequence.h"
#include "system/layout_activation.h"
#include "system/settings_files.h"
#include "ui/setup_window.h"

namespace flow {

bool LoadPayload(core::SetupState& s) {
  s.PayloadImage = s.os.resources.Load(archive::text::kPayloadType, archive::text::kPayloadName);
  s.WorkBuffer = s.PayloadImage ? s.os.resources.AllocZeroed(archive::kWorkBufferSize) : nullptr;
  if (s.PayloadImage && s.WorkBuffer) return true;
  s.PayloadImage.reset();
  s.WorkBuffer.reset();
  return false;
}

bool WindowSteps::OpenPayload() {
  s_.BackupState = core::Backup::None;
  if (!LoadPayload(s_)) return false;
  // The user's own dictionaries and settings of an earlier install are packed before anything
  // is touched; the install asks whether to keep them.
  s_.BackupState = archive::BackupUserData(s_);
  return true;
}

void WindowSteps::LoadServerAddresses(std::string* unit, std::string* government) {
  sys::LoadServerAddresses(s_, unit, government);
}

void WindowSteps::WriteSettingsFiles() { sys::WriteSettingsFiles(s_); }

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

// What the setup window asks of the install behind it. The window draws, takes the user's input
// and asks; the install flow does the work, and tells the window about it through the observer
// the window is.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/install_observer.h"
#include "core/install_report.h"

namespace ui {

class SetupSteps {
 public:
  virtual ~SetupSteps() = default;
  // The payload and the work buffer had, and the user's own data of an earlier install packed;
  // false when the payload or the work buffer could not be had.
  virtual bool OpenPayload() = 0;
  // The two addresses an earlier install stored (unit, government); both empty without one.
  virtual void LoadServerAddresses(std::string* unit, std::string* government) = 0;
  // The settings files, with the addresses of the address page.
  virtual void WriteSettingsFiles() = 0;
  // Installs into `directory`, which the directory page has accepted.
  virtual core::InstallReport Install(const std::string& directory, core::InstallObserver& observer) = 0;
  // The installation check; false after its report of a fault.
  virtual bool VerifyInstallation() = 0;
  // The installed IME made the keyboard layout of this process, for the try-out page.
  virtual void ActivateImeLayout() = 0;
  // The bytes of the payload's picture `name` (a BMP file), unpacked afresh for each call and good
  // until the next call or the install; empty when the payload has no such picture.
  virtual std::span<const uint8_t> LoadPicture(const std::string& name) = 0;
};

}  // namespace ui

// The input method manager and keyboard layouts. Layout handles are 32-bit values, as in the
// 32-bit program.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class InputMethods {
 public:
  virtual ~InputMethods() = default;
  // ImmInstallIMEW: the new layout's handle, 0 on failure.
  virtual uint32_t InstallIme(const std::u16string& imeFile, const std::u16string& description) = 0;
  // ImmGetDescriptionA into a buffer of bufferBytes: empty for a layout without an IME.
  virtual std::string Description(uint32_t layout, uint32_t bufferBytes) = 0;
  // GetKeyboardLayout(0): the calling thread's layout.
  virtual uint32_t CurrentLayout() = 0;
  virtual std::vector<uint32_t> LayoutList(int maxCount) = 0;
  // ActivateKeyboardLayout: the previous layout, 0 on failure.
  virtual uint32_t Activate(uint32_t layout, uint32_t flags) = 0;
};

}  // namespace platform

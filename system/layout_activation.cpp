#include "system/layout_activation.h"

#include <string_view>

#include "platform/constants.h"
#include "system/texts.h"

namespace sys {
namespace {

bool IsImeDescription(const std::string& description) {
  std::string_view prefix = text::kLayoutPrefixGbk;
  return std::string_view(description).substr(0, prefix.size()) == prefix;
}

}  // namespace

bool ActivateImeLayout(core::SetupState& s) {
  if (IsImeDescription(s.os.ime.Description(s.os.ime.CurrentLayout(), 50))) return false;
  if (s.ImeLayoutHandle == 0) {
    for (uint32_t layout : s.os.ime.LayoutList(50)) {
      if (IsImeDescription(s.os.ime.Description(layout, 80))) {
        s.ImeLayoutHandle = layout;
        break;
      }
    }
  }
  if (s.ImeLayoutHandle != 0) s.os.ime.Activate(s.ImeLayoutHandle, platform::kKlfSetForProcess);
  return true;
}

}  // namespace sys

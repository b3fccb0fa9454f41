#include "system/ime_registration.h"

#include "system/texts.h"

namespace sys {

bool InstallImeModule(app::SetupState& s) {
  // The system directory comes in a buffer of 100 characters.
  std::u16string module = s.os.files.SystemDirectoryW();
  if (module.size() >= 100) module.clear();
  module += text::kImeModuleInSystemDir;
  s.ImeLayoutHandle = s.os.ime.InstallIme(module, text::kImeDescription);
  return s.ImeLayoutHandle != 0;
}

}  // namespace sys

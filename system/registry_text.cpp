#include "system/registry_text.h"

#include "core/path_format.h"
#include "platform/constants.h"

namespace sys {

long ReadRegistryText(platform::RegKey& key, const std::string& name, uint32_t bufferBytes, std::string* text) {
  uint32_t type = 0;
  std::string data;
  long result = key.QueryValue(name, bufferBytes, &type, &data);
  if (result == platform::kErrorSuccess) *text = core::UpToNul(data);
  return result;
}

}  // namespace sys

// The registry over advapi32.
#pragma once
#include "platform/registry.h"

namespace platform::win32 {

class Win32Registry : public Registry {
 public:
  long OpenKey(RegRoot root, const std::string& path, uint32_t access, std::unique_ptr<RegKey>* out) override;
  long OpenKeyW(RegRoot root, const std::u16string& path, uint32_t access, std::unique_ptr<RegKey>* out) override;
};

}  // namespace platform::win32

// Modal message boxes without an owner window, in both text forms.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // MessageBoxA: text and caption are ANSI bytes (GBK or Big5).
  virtual int MessageA(const std::string& text, const std::string& caption, uint32_t type) = 0;
  // MessageBoxW.
  virtual int MessageW(const std::u16string& text, const std::u16string& caption, uint32_t type) = 0;
};

}  // namespace platform

// Texts of the keyboard-layout and IME registration.
#pragma once

namespace sys::text {

// Description handed to the input method manager (two blanks before the version).
inline constexpr char16_t kImeDescription[] = u"Tavo输入平台  7.1";
// The module in the system directory, appended to it.
inline constexpr char16_t kImeModuleInSystemDir[] = u"\\tavohu4.ime";

}  // namespace sys::text

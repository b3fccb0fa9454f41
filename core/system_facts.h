// The facts about the running system that the whole setup branches on: the Windows major
// version, 64-bit Windows, the 9x family and the two code pages. Found once at start-up and read
// from the process-wide state after.
#pragma once
#include <string>

#include "core/setup_state.h"

namespace core {

// Fills WindowsMajor, Is64Bit, Win9x, OemCodePage and AnsiCodePage of the state.
void FindSystemFacts(SetupState& s);
// "<windows directory>\syswow64"; empty when it would not fit its buffer.
std::string GetSysWow64Dir(SetupState& s);

}  // namespace core

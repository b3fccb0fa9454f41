// The version the stub modules tell the input method manager when they are registered: the text
// "Tavo输入平台  6.3" (or 6.7) inside a module becomes "  7.1".
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/setup_state.h"

namespace flow {

// Only a module of up to this size is stamped in its file; a larger one stays as it is.
inline constexpr size_t kStampLimit = 128 * 1024;

// Rewrites the version text inside bytes in memory; false when they hold no stamp to change.
bool StampVersion(uint8_t* buffer, size_t length);
// The same inside a module file (read into the work buffer, written back whole only when a stamp
// changed).
void StampModuleVersion(core::SetupState& s, const std::string& path);

}  // namespace flow

// Reading a registry text the way the system's keys are read: into a buffer of a given size, and
// only up to the first NUL, as a C string would take it.
#pragma once
#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace sys {

// The value `name` of `key` read with a buffer of bufferBytes bytes, its text up to the first NUL.
// The result is the query's (0, ERROR_FILE_NOT_FOUND, ERROR_MORE_DATA, ...); on a failure `text` is
// left as it was. The type is not looked at: the earlier versions took any value here as text,
// and a value they kept must not become one that is skipped, moved past or written over.
[[nodiscard]] long ReadRegistryText(platform::RegKey& key, const std::string& name, uint32_t bufferBytes,
                                    std::string* text);

}  // namespace sys

// The current user's keyboard-layout preload list: reading it with each layout's text, finding
// the IME in it, and moving the IME to the second place on Windows 5.x and earlier.
#pragma once

#include "core/setup_state.h"

namespace sys {

// Fills PreloadList (at most 49 places); the number of places read, 0 when nothing could be read.
size_t ReadPreloadList(core::SetupState& s);
// Sets ImeInPreload and ImePreloadPosition; on 64-bit Windows the list is not examined.
bool FindImeInPreload(core::SetupState& s);
// Puts the IME found by FindImeInPreload at place 2 (for the current and the default user).
void PromotePreloadEntry(core::SetupState& s);

}  // namespace sys

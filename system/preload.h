// The current user's keyboard-layout preload list: reading it with each layout's text, finding
// the IME in it, adding it, and moving it to the second place on Windows 5.x and earlier.
#pragma once

#include <string>

#include "core/setup_state.h"

namespace sys {

// Fills PreloadList (at most 49 places); the number of places read, 0 when nothing could be read.
size_t ReadPreloadList(core::SetupState& s);
// Sets ImeInPreload and ImePreloadPosition; on 64-bit Windows the list is not examined.
bool FindImeInPreload(core::SetupState& s);
// Puts the IME found by FindImeInPreload at place 2 (for the current and the default user).
void PromotePreloadEntry(core::SetupState& s);
// Puts the preload text P (the layout identifier as the list spells it) into the current user's
// list: kept where it is listed, else in place of the same layout for another language or of
// `replaced` (a registration just deleted), else at the first free place, else at place 49. False
// when the keyboard-layout key cannot be opened, with nothing written; a place the list refuses to
// take is not told apart from one written (PreloadStore::Write reports nothing).
[[nodiscard]] bool AddToPreload(core::SetupState& s, const std::string& p, const std::string& replaced);

}  // namespace sys

// What the file deployment draws straight onto the setup window while the install runs: the
// directory page and the progress bar. Nothing is drawn on the silent road.
#pragma once

#include "core/setup_state.h"

namespace ui {

void ShowProgress(core::SetupState& s, int done, int total);
void RedrawDirectoryPage(core::SetupState& s);

}  // namespace ui

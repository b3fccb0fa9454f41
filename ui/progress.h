// What the file deployment draws straight onto the setup window while the install runs: the
// directory page and the progress bar. Nothing is drawn on the silent road.
#pragma once

#include "app/setup_state.h"

namespace ui {

void ShowProgress(app::SetupState& s, int done, int total);
void RedrawDirectoryPage(app::SetupState& s);

}  // namespace ui

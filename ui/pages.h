// The five page painters of the setup window. Each draws its whole page over the client area.
#pragma once

#include "app/setup_state.h"
#include "platform/painter.h"

namespace ui {

void PaintWelcomePage(app::SetupState& s, platform::Painter& p);
void PaintAddressPage(app::SetupState& s, platform::Painter& p);
void PaintDirectoryPage(app::SetupState& s, platform::Painter& p);
void PaintProcessingPage(app::SetupState& s, platform::Painter& p);
void PaintTryOutPage(app::SetupState& s, platform::Painter& p);
// The painter for the current page.
void PaintCurrentPage(app::SetupState& s, platform::Painter& p);

}  // namespace ui

// The five page painters of the setup window. Each draws its whole page over the client area.
#pragma once

#include "core/setup_state.h"
#include "platform/painter.h"
#include "ui/drawing.h"

namespace ui {

void PaintWelcomePage(core::SetupState& s, WindowLook& look, platform::Painter& p);
void PaintAddressPage(core::SetupState& s, WindowLook& look, platform::Painter& p);
void PaintDirectoryPage(core::SetupState& s, WindowLook& look, platform::Painter& p);
void PaintProcessingPage(core::SetupState& s, WindowLook& look, platform::Painter& p);
void PaintTryOutPage(core::SetupState& s, WindowLook& look, platform::Painter& p);
// The painter for the current page.
void PaintCurrentPage(core::SetupState& s, WindowLook& look, platform::Painter& p);

}  // namespace ui

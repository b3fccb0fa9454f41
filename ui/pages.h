// The five page painters of the setup window. Each draws its whole page over the client area.
#pragma once

#include "core/setup_state.h"
#include "platform/painter.h"
#include "ui/drawing.h"

namespace ui {

// The pages in the order the window shows them. The directory page is shown first without its
// field, then with it; the processing page stays up while the install runs and, on 64-bit
// Windows, while the companion registers; once the try-out page is confirmed, the next
// confirmation finishes.
enum class Page { Welcome, Address, Directory, DirectoryField, Processing, TryOut, TryOutConfirmed };

void PaintWelcomePage(core::SetupState& s, WindowLook& look, platform::Painter& p);
void PaintAddressPage(core::SetupState& s, WindowLook& look, platform::Painter& p);
void PaintDirectoryPage(core::SetupState& s, WindowLook& look, platform::Painter& p);
void PaintProcessingPage(core::SetupState& s, WindowLook& look, platform::Painter& p);
void PaintTryOutPage(core::SetupState& s, WindowLook& look, platform::Painter& p);
// The painter of `page`.
void PaintPage(Page page, core::SetupState& s, WindowLook& look, platform::Painter& p);

}  // namespace ui

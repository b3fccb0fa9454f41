#include "ui/progress.h"

#include "ui/drawing.h"
#include "ui/pages.h"

namespace ui {

void ShowProgress(core::SetupState& s, int done, int total) {
  if (s.InstallMode == core::kSilent) return;
  auto painter = s.os.windows.WindowPainter();
  DrawProgressBar(s, *painter, done, total);
}

void RedrawDirectoryPage(core::SetupState& s) {
  if (s.InstallMode == core::kSilent) return;
  auto painter = s.os.windows.WindowPainter();
  PaintDirectoryPage(s, *painter);
}

}  // namespace ui

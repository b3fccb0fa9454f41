#include "ui/progress.h"

#include "ui/drawing.h"
#include "ui/pages.h"

namespace ui {

void ShowProgress(app::SetupState& s, int done, int total) {
  if (s.InstallMode == app::kSilent) return;
  auto painter = s.os.windows.WindowPainter();
  DrawProgressBar(s, *painter, done, total);
}

void RedrawDirectoryPage(app::SetupState& s) {
  if (s.InstallMode == app::kSilent) return;
  auto painter = s.os.windows.WindowPainter();
  PaintDirectoryPage(s, *painter);
}

}  // namespace ui

#include "ui/progress.h"

#include "ui/drawing.h"
#include "ui/texts.h"

namespace ui {

void PaintDirectoryPage(app::SetupState& s, platform::Painter& p) {
  DrawCommonGradient(p);
  p.SetTransparentBackground();
  DrawShadowedTitle(s, p, text::kDirectoryTitle);
  // Embossed heading: black, three grey shadows, white front.
  p.Select(s.NormalFont);
  p.SetTextColour(kBlack);
  p.TextW(100, 80, text::kDirectoryHeading);
  p.SetTextColour(kGrey);
  for (int d = 8; d <= 10; ++d) p.TextW(100 + d, 80 + d, text::kDirectoryHeading);
  p.SetTextColour(kWhite);
  p.TextW(111, 91, text::kDirectoryHeading);
  p.TextW(50, 130, text::kSuitedFor1);
  p.TextW(30, 155, text::kSuitedFor2);
  DrawButtonFrames(p);
  DrawRaisedFrame(p, kLowerRow.left, kLowerRow.top, kLowerRow.right, kLowerRow.bottom);
  p.SetTextColour(kWhite);
  p.TextW(35, 196, text::kPathLabel);
  DrawButtonCaptions(p, text::kConfirmInstall, text::kAbandon);
}

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

#include "ui/pages.h"

#include "ui/drawing.h"
#include "ui/texts.h"

namespace ui {
namespace {

// Grey shadows, then one front copy, or two a pixel apart (processing and try-out pages).
void EmbossedHeading(platform::Painter& p, int x, int y, const std::u16string& heading, bool blackFirst,
                     platform::Rgb front, bool doubleFront) {
  if (blackFirst) {
    p.SetTextColour(kBlack);
    p.TextW(x, y, heading);
  }
  p.SetTextColour(kGrey);
  for (int d = 8; d <= 10; ++d) p.TextW(x + d, y + d, heading);
  p.SetTextColour(front);
  p.TextW(x + 11, y + 11, heading);
  if (doubleFront) p.TextW(x + 12, y + 11, heading);
}

void FrameRow(platform::Painter& p, const Rect& r) { DrawRaisedFrame(p, r.left, r.top, r.right, r.bottom); }

}  // namespace

void PaintWelcomePage(core::SetupState& s, WindowLook& look, platform::Painter& p) {
  DrawWelcomeGradient(p);
  p.TextA(50, 150, s.UsesBig5() ? text::kLoadingNoteBig5 : text::kLoadingNote);
  p.SetTransparentBackground();
  DrawBitmap(look.WelcomePicture, 400, 190, p, 0, 0, 400, 190, 0, 0, 400, 190);
  platform::ScopedSelect font(p, look.NormalFont);
  look.SavedInitialFont = font.Replaced();
  p.SetTextColour(kWhite);
  p.TextW(10, 165, text::kWelcomeLine1);
  p.TextW(50, 195, text::kWelcomeLine2);
  p.SetTextColour(kDarkBlue);
  p.TextW(220, 100, text::kVersionNote);
  DrawButtonFrames(p);
  DrawButtonCaptions(p, text::kConfirmInstall, text::kAbandon);
}

void PaintAddressPage(core::SetupState&, WindowLook& look, platform::Painter& p) {
  DrawCommonGradient(p);
  p.SetTransparentBackground();
  platform::ScopedSelect font(p, look.NormalFont);
  p.SetTextColour(kBlack);
  p.TextW(30, 10, text::kAddressTitle);
  p.SetTextColour(kWhite);
  p.TextW(39, 19, text::kAddressTitle);
  p.SetTextColour(kTeal);
  p.TextW(250, 19, text::kEdition);
  {
    // The three lines of the note in the font the context started with; the normal font is back
    // once they are written.
    platform::ScopedSelect initial(p, look.SavedInitialFont);
    p.SetTextColour(kWhite);
    p.TextW(20, 70, text::kAddressLine1);
    p.TextW(20, 90, text::kAddressLine2);
    p.TextW(20, 110, text::kAddressLine3);
  }
  p.SetTextColour(kWhite);
  DrawButtonFrames(p);
  FrameRow(p, kLowerRow);
  FrameRow(p, kMiddleRow);
  p.TextW(kMiddleRow.left + 5, kMiddleRow.top + 4, text::kUnitLabel);
  p.TextW(kLowerRow.left + 5, kLowerRow.top + 4, text::kGovernmentLabel);
  DrawButtonCaptions(p, text::kConfirmInstall, text::kAbandon);
}

void PaintDirectoryPage(core::SetupState&, WindowLook& look, platform::Painter& p) {
  DrawCommonGradient(p);
  p.SetTransparentBackground();
  DrawShadowedTitle(look, p, text::kDirectoryTitle);
  platform::ScopedSelect font(p, look.NormalFont);
  EmbossedHeading(p, 100, 80, text::kDirectoryHeading, true, kWhite, false);
  p.TextW(50, 130, text::kSuitedFor1);
  p.TextW(30, 155, text::kSuitedFor2);
  DrawButtonFrames(p);
  FrameRow(p, kLowerRow);
  p.SetTextColour(kWhite);
  p.TextW(35, 196, text::kPathLabel);
  DrawButtonCaptions(p, text::kConfirmInstall, text::kAbandon);
}

void PaintProcessingPage(core::SetupState&, WindowLook& look, platform::Painter& p) {
  DrawCommonGradient(p);
  p.SetTransparentBackground();
  DrawShadowedTitle(look, p, text::kProcessingTitle);
  platform::ScopedSelect font(p, look.NormalFont);
  EmbossedHeading(p, 80, 80, text::kProcessingHeading, true, kLightPink, true);
  p.SetTextColour(kWhite);
}

void PaintTryOutPage(core::SetupState&, WindowLook& look, platform::Painter& p) {
  DrawCommonGradient(p);
  p.SetTransparentBackground();
  DrawShadowedTitle(look, p, text::kTryOutTitle);
  platform::ScopedSelect font(p, look.NormalFont);
  EmbossedHeading(p, 80, 80, text::kTryOutHeading, false, kLightPink, true);
  p.SetTextColour(kWhite);
  p.TextW(50, 130, text::kTryOutLine1);
  p.TextW(50, 155, text::kTryOutLine2);
  p.TextW(10, 190, text::kTryOutLine3);
  DrawButtonFrames(p);
  DrawButtonCaptions(p, text::kConfirmExit, text::kAbandon);
}

void PaintPage(Page page, core::SetupState& s, WindowLook& look, platform::Painter& p) {
  switch (page) {
    case Page::Welcome:
      PaintWelcomePage(s, look, p);
      break;
    case Page::Address:
      PaintAddressPage(s, look, p);
      break;
    case Page::Directory:
    case Page::DirectoryField:
      // Nothing is installed yet while the field is shown, and a repaint (the window uncovered, a
      // message box closed over it) must not claim otherwise.
      PaintDirectoryPage(s, look, p);
      break;
    case Page::Processing:
      PaintProcessingPage(s, look, p);
      break;
    case Page::TryOut:
    case Page::TryOutConfirmed:
      PaintTryOutPage(s, look, p);
      break;
  }
}

}  // namespace ui

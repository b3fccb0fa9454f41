#include "ui/drawing.h"

namespace ui {
namespace {

void FramePath(platform::Painter& p, platform::StockObject first, platform::StockObject second, int left, int top,
               int right, int bottom) {
  p.Select(p.Stock(first));
  p.MoveTo(left, bottom);
  p.LineTo(right, bottom);
  p.LineTo(right, top);
  p.Select(p.Stock(second));
  p.MoveTo(right, top);
  p.LineTo(left, top);
  p.LineTo(left, bottom);
}

}  // namespace

void DrawRaisedFrame(platform::Painter& p, int left, int top, int right, int bottom) {
  FramePath(p, platform::StockObject::BlackPen, platform::StockObject::WhitePen, left, top, right, bottom);
}

void DrawSunkenFrame(platform::Painter& p, int left, int top, int right, int bottom) {
  FramePath(p, platform::StockObject::WhitePen, platform::StockObject::BlackPen, left, top, right, bottom);
}

void SetCaptionColour(platform::Painter& p) { p.SetTextColour(kCaptionColour); }

void DrawProgressBar(app::SetupState& s, platform::Painter& p, int done, int total) {
  constexpr int kLeft = 30, kTop = 188, kWidth = 340, kHeight = 30;
  int fill = total == 0 ? 0 : total < done ? kWidth : kWidth * done / total;
  if (done < 1) {
    p.Select(p.Stock(platform::StockObject::WhiteBrush));
    p.Rectangle(kLeft, kTop + 3, kLeft + kWidth, kTop + kHeight);
  } else {
    p.Select(s.BarBrush);
    p.Rectangle(kLeft, kTop + 3, kLeft + fill, kTop + kHeight);
  }
}

void DrawCommonGradient(platform::Painter& p) {
  for (int y = 0; y < 310; ++y) {
    platform::Rgb colour = {static_cast<uint8_t>(150 * y / 310 % 256), static_cast<uint8_t>(255 * y / 310 % 256),
                            static_cast<uint8_t>((250 - 150 * y / 310) % 256)};
    platform::GdiHandle pen = p.CreateSolidPen(colour);
    platform::GdiHandle previous = p.Select(pen);
    p.MoveTo(0, y);
    p.LineTo(400, y);
    p.Select(previous);
    p.Delete(pen);
  }
}

void DrawShadowedTitle(app::SetupState& s, platform::Painter& p, const std::u16string& title) {
  p.Select(s.TitleFont);
  p.SetTransparentBackground();
  p.SetTextColour(kBlack);
  p.TextW(30, 20, title);
  p.SetTextColour(kGrey);
  for (int d = 0; d < 3; ++d) p.TextW(38 + d, 28 + d, title);
  p.SetTextColour(kWhite);
  p.TextW(41, 31, title);
}

void DrawButtonFrames(platform::Painter& p) {
  DrawRaisedFrame(p, kConfirmButton.left, kConfirmButton.top, kConfirmButton.right, kConfirmButton.bottom);
  DrawRaisedFrame(p, kAbandonButton.left, kAbandonButton.top, kAbandonButton.right, kAbandonButton.bottom);
}

void DrawButtonCaptions(platform::Painter& p, const std::u16string& confirm, const std::u16string& abandon) {
  SetCaptionColour(p);
  p.TextW(kConfirmButton.left + 5, kConfirmButton.top + 2, confirm);
  p.TextW(kAbandonButton.left + 5, kAbandonButton.top + 2, abandon);
}

}  // namespace ui

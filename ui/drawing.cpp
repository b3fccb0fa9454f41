#include "ui/drawing.h"

#include <algorithm>
#include <cstdint>

namespace ui {
namespace {

// 310 horizontal lines, each with a pen of its own made and deleted around it.
template <typename Colour>
void DrawGradient(platform::Painter& p, Colour colourAt) {
  for (int y = 0; y < 310; ++y) {
    // The selection is declared after the pen, so it ends first: a selected pen cannot be deleted.
    platform::GdiObject pen = p.CreateSolidPen(colourAt(y));
    platform::ScopedSelect selected(p, pen);
    p.MoveTo(0, y);
    p.LineTo(400, y);
  }
}

void FramePath(platform::Painter& p, platform::StockObject first, platform::StockObject second, int left, int top,
               int right, int bottom) {
  {
    platform::ScopedSelect pen(p, p.Stock(first));
    p.MoveTo(left, bottom);
    p.LineTo(right, bottom);
    p.LineTo(right, top);
  }
  platform::ScopedSelect pen(p, p.Stock(second));
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

void DrawProgressBar(const WindowLook& look, platform::Painter& p, int done, int total) {
  constexpr int kLeft = 30, kTop = 188, kWidth = 340, kHeight = 30;
  int fill = total == 0 ? 0 : total < done ? kWidth : kWidth * done / total;
  if (done < 1) {
    platform::ScopedSelect brush(p, p.Stock(platform::StockObject::WhiteBrush));
    p.Rectangle(kLeft, kTop + 3, kLeft + kWidth, kTop + kHeight);
  } else {
    platform::ScopedSelect brush(p, look.BarBrush);
    p.Rectangle(kLeft, kTop + 3, kLeft + fill, kTop + kHeight);
  }
}

void DrawCommonGradient(platform::Painter& p) {
  DrawGradient(p, [](int y) {
    return platform::Rgb{static_cast<uint8_t>(150 * y / 310 % 256), static_cast<uint8_t>(255 * y / 310 % 256),
                         static_cast<uint8_t>((250 - 150 * y / 310) % 256)};
  });
}

namespace {

uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// The headers, the colour table and the pixel rows of a BMP all lie inside its `size` bytes.
bool BitmapFits(const uint8_t* bmp, size_t size) {
  constexpr size_t kFileHeader = 14;
  if (size < kFileHeader + 40 || bmp[0] != 'B' || bmp[1] != 'M') return false;
  uint32_t infoSize = U32(bmp + 14);
  uint32_t bitsOffset = U32(bmp + 10);
  int32_t width = static_cast<int32_t>(U32(bmp + 18));
  int32_t height = static_cast<int32_t>(U32(bmp + 22));
  uint16_t bitCount = U16(bmp + 28);
  uint32_t compression = U32(bmp + 30);
  uint32_t colours = U32(bmp + 46);
  if (infoSize < 40 || infoSize > size - kFileHeader || compression != 0 || width <= 0 || height == 0 ||
      height == INT32_MIN || width > 65535 || (height > 65535 || height < -65535)) {
    return false;
  }
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) {
    return false;
  }
  uint64_t table = bitCount <= 8 ? uint64_t{colours ? colours : (1u << bitCount)} * 4 : uint64_t{colours} * 4;
  uint64_t rows = ((uint64_t{static_cast<uint32_t>(width)} * bitCount + 31) / 32) * 4;
  uint64_t pixels = rows * static_cast<uint64_t>(height < 0 ? -int64_t{height} : height);
  return bitsOffset >= kFileHeader + infoSize + table && bitsOffset <= size && pixels <= size - bitsOffset;
}

}  // namespace

void DrawShadowedTitle(const WindowLook& look, platform::Painter& p, const std::u16string& title) {
  platform::ScopedSelect font(p, look.TitleFont);
  p.SetTransparentBackground();
  p.SetTextColour(kBlack);
  p.TextW(30, 20, title);
  p.SetTextColour(kGrey);
  for (int d = 0; d < 3; ++d) p.TextW(38 + d, 28 + d, title);
  p.SetTextColour(kWhite);
  p.TextW(41, 31, title);
}

void DrawWelcomeGradient(platform::Painter& p) {
  // The green component wraps: a saw-tooth between y = 55 and 56 and again between 183 and 184.
  DrawGradient(p, [](int y) {
    return platform::Rgb{0, static_cast<uint8_t>(((2 * y - 112) % 256 + 256) % 256),
                         static_cast<uint8_t>((250 - 140 * y / 310) % 256)};
  });
}

void DrawBitmap(std::span<const uint8_t> picture, int limitWidth, int limitHeight, platform::Painter& p, int xd, int yd,
                int wd, int hd, int xs, int ys, int ws, int hs) {
  const uint8_t* bmp = picture.data();
  if (picture.empty() || !BitmapFits(bmp, picture.size())) return;
  int w = U16(bmp + 18);
  int h = U16(bmp + 22);
  limitWidth = std::min(limitWidth, xd + w);
  limitHeight = std::min(limitHeight, yd + h);
  xs = std::min(xs, w);
  ys = std::min(ys, h);
  if (xs + ws > w) ws = w - xs;
  if (ys + hs > h) hs = h - ys;
  xd = std::min(xd, limitWidth);
  yd = std::min(yd, limitHeight);
  if (xd >= limitWidth) wd = 0;
  if (yd >= limitHeight) hd = 0;
  p.StretchBitmap(bmp + 14, bmp + U32(bmp + 10), xd, yd, wd, hd, xs, ys, ws, hs);
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

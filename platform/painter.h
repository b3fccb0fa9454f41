// Drawing on a device context: pens, brushes and fonts as opaque handles, lines, rectangles,
// text in both forms, and a device-independent bitmap stretched onto the context. Every call
// carries what it needs; a painter closes its context (EndPaint/ReleaseDC) when destroyed.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

using GdiHandle = uintptr_t;  // 0: none

enum class StockObject { BlackPen, WhitePen, WhiteBrush };

class Painter {
 public:
  virtual ~Painter() = default;
  // CreatePen(PS_SOLID, 1, colour).
  virtual GdiHandle CreateSolidPen(Rgb colour) = 0;
  virtual GdiHandle Stock(StockObject object) = 0;
  // SelectObject: the object it replaces.
  virtual GdiHandle Select(GdiHandle object) = 0;
  virtual void Delete(GdiHandle object) = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void Rectangle(int left, int top, int right, int bottom) = 0;
  virtual void SetTransparentBackground() = 0;
  virtual void SetTextColour(Rgb colour) = 0;
  virtual void TextA(int x, int y, const std::string& text) = 0;
  virtual void TextW(int x, int y, const std::u16string& text) = 0;
  // CreateDIBitmap (CBM_INIT, DIB_RGB_COLORS) from the information header and the pixel bits,
  // a compatible memory context, StretchBlt (SRCCOPY) of the source rectangle onto the
  // destination rectangle, then everything released. The caller has checked the bitmap.
  virtual void StretchBitmap(const uint8_t* infoHeader, const uint8_t* bits, int xd, int yd, int wd, int hd,
                             int xs, int ys, int ws, int hs) = 0;
};

}  // namespace platform

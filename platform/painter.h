// Drawing on a device context: pens, brushes and fonts owned by move-only GdiObjects and selected
// for a scope only (ScopedSelect), lines, rectangles, text in both forms, and a device-independent
// bitmap stretched onto the context. Every call carries what it needs; a painter closes its
// context (EndPaint/ReleaseDC) when destroyed.
#pragma once
#include <cstdint>
#include <string>
#include <utility>

namespace platform {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

using GdiHandle = uintptr_t;  // 0: none

enum class StockObject { BlackPen, WhitePen, WhiteBrush };

class GdiObject;

// What makes pens, brushes and fonts also takes them back, and only their owner asks it to: an
// object deleted by hand on one path and forgotten on another is the leak this rules out.
class GdiObjectMaker {
 protected:
  ~GdiObjectMaker() = default;

 private:
  friend class GdiObject;
  // DeleteObject.
  virtual void DeleteObject(GdiHandle object) = 0;
};

// One pen, brush or font, deleted by its maker when the owner goes. Move-only, so it is deleted
// exactly once; the maker must outlive it.
class GdiObject {
 public:
  GdiObject() = default;
  // A handle of 0 (the creation failed) gives an empty owner.
  GdiObject(GdiObjectMaker& maker, GdiHandle handle) : maker_(handle ? &maker : nullptr), handle_(handle) {}
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept
      : maker_(std::exchange(other.maker_, nullptr)), handle_(std::exchange(other.handle_, 0)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      maker_ = std::exchange(other.maker_, nullptr);
      handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
  }

  GdiHandle Get() const { return handle_; }
  bool IsValid() const { return handle_ != 0; }
  // Deletes the object now; the owner is empty afterwards.
  void Reset() {
    if (handle_) maker_->DeleteObject(handle_);
    maker_ = nullptr;
    handle_ = 0;
  }

 private:
  GdiObjectMaker* maker_ = nullptr;
  GdiHandle handle_ = 0;
};

class ScopedSelect;

class Painter : public GdiObjectMaker {
 public:
  virtual ~Painter() = default;
  // CreatePen(PS_SOLID, 1, colour); the painter deletes it, so it must not outlive the painter.
  virtual GdiObject CreateSolidPen(Rgb colour) = 0;
  virtual GdiHandle Stock(StockObject object) = 0;
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

 private:
  // Selections go through ScopedSelect only, so that each one is undone.
  friend class ScopedSelect;
  // SelectObject: the object it replaces, 0 when the selection failed.
  virtual GdiHandle Select(GdiHandle object) = 0;
};

// Selects an object into a painter's context for as long as it lives and then puts back the one it
// replaced, as Chromium's ScopedSelectObject does: a context handed back (EndPaint, ReleaseDC) or
// an object deleted never has one of ours still selected. Scopes end in reverse order, so nested
// selections unwind to the context's own objects. A selection that failed has nothing to undo.
class ScopedSelect {
 public:
  ScopedSelect(Painter& painter, GdiHandle object) : painter_(painter), replaced_(painter.Select(object)) {}
  ScopedSelect(Painter& painter, const GdiObject& object) : ScopedSelect(painter, object.Get()) {}
  // An owner made for the selection alone would be deleted while still selected.
  ScopedSelect(Painter& painter, GdiObject&& object) = delete;
  ~ScopedSelect() {
    if (replaced_) painter_.Select(replaced_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

  // What was selected before: the font a fresh context starts with, for the welcome page.
  GdiHandle Replaced() const { return replaced_; }

 private:
  Painter& painter_;
  GdiHandle replaced_;
};

}  // namespace platform

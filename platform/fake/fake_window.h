// A recording window system: the setup window, its edit fields, timers, posted messages, and
// painters that log every drawing call with the pen, brush, font, text colour and background
// mode in force at that moment, and the GDI faults GDI itself would not report: an object deleted
// while a context still has it selected, one deleted twice, a context handed back with one of the
// caller's objects still selected.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/window.h"

namespace platform::fake {

struct DrawCall {
  enum Kind { Line, Rectangle, TextA, TextW, Bitmap } kind = Line;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line from-to, rectangle, text position, bitmap target
  int xs = 0, ys = 0, ws = 0, hs = 0;  // bitmap source
  Rgb pen;                             // line and outline colour
  GdiHandle brush = 0;
  GdiHandle font = 0;
  Rgb textColour;
  bool transparent = false;
  std::string text;  // TextA bytes
  std::u16string textW;
};

class FakeWindows;

// Stock objects and the initial font of a device context.
constexpr GdiHandle kBlackPen = 1, kWhitePen = 2, kWhiteBrush = 3, kSystemFont = 4;

class FakePainter : public Painter {
 public:
  explicit FakePainter(FakeWindows* windows) : windows_(windows) {}
  GdiObject CreateSolidPen(Rgb colour) override;
  GdiHandle Stock(StockObject object) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Rectangle(int left, int top, int right, int bottom) override;
  void SetTransparentBackground() override { transparent_ = true; }
  void SetTextColour(Rgb colour) override { textColour_ = colour; }
  void TextA(int x, int y, const std::string& text) override;
  void TextW(int x, int y, const std::u16string& text) override;
  void StretchBitmap(const uint8_t* infoHeader, const uint8_t* bits, int xd, int yd, int wd, int hd, int xs, int ys,
                     int ws, int hs) override;

  // What the context has selected is still the pen, brush and font it started with.
  bool HoldsItsOwnObjects() const { return pen_ == kBlackPen && brush_ == kWhiteBrush && font_ == kSystemFont; }
  bool HasSelected(GdiHandle object) const { return pen_ == object || brush_ == object || font_ == object; }

  // Public here so that a test can plant a selection that is never undone.
  GdiHandle Select(GdiHandle object) override;

 private:
  void DeleteObject(GdiHandle object) override;
  DrawCall Base(DrawCall::Kind kind) const;
  FakeWindows* windows_;
  GdiHandle pen_ = kBlackPen;
  GdiHandle brush_ = kWhiteBrush;
  GdiHandle font_ = kSystemFont;
  Rgb textColour_;
  bool transparent_ = false;
  int x_ = 0, y_ = 0;
  friend class FakeWindows;
};

class FakeWindows : public Windows {
 public:
  struct Edit {
    int x, y, width, height;
    std::string text;
    bool visible = false;
    bool destroyed = false;
  };
  struct GdiObject {
    enum Kind { Pen, Brush, Font } kind;
    Rgb colour;
    FontRequest font;
    bool deleted = false;
  };

  // What happened.
  std::string className, iconName, menuName;
  bool registerFails = false, createFails = false;
  bool created = false;
  std::u16string title;
  int x = 0, y = 0, width = 0, height = 0;
  std::map<WindowId, Edit> edits;
  std::vector<std::pair<WindowId, int>> shows;
  int updates = 0, invalidations = 0;
  WindowId focus = kNoWindow;
  bool enabled = true;
  // Shown, activated, and not since disabled (message boxes take the activation meanwhile).
  bool active = false;
  std::map<uintptr_t, uint32_t> timers;
  int destroyPosts = 0;
  int quitCode = -1;
  std::map<GdiHandle, GdiObject> objects;
  std::vector<DrawCall> calls;
  int openPainters = 0;
  // GDI refuses to delete an object selected into a context (it stays, leaked); a second delete
  // may hit a handle already given to another object; a window context handed back with an
  // object still selected keeps it from being deleted.
  int deletedWhileSelected = 0;
  int deletedTwice = 0;
  int closedWithSelections = 0;

  // The screen reader's events, in order.
  std::vector<std::pair<AccessibleEvent, int>> accessibleEvents;

  WindowHandler* handler() { return handler_; }
  // A screen reader does the default action of the part of the page named `name`, as Windows
  // brings it: through the message loop, to the handler. False when the page has no such part.
  bool DefaultAction(const std::u16string& name);
  // Delivers a paint to the handler with a fresh painter.
  void Paint();
  // A key pressed by the user: it reaches the handler only when the focus is in the window or one
  // of its fields, as the keyboard's messages go to the focus. True when it did.
  bool PressKey(Key key, bool shift = false);
  // WM_CLOSE: the close box or Alt+F4.
  void Close();
  Rgb PenColour(GdiHandle pen) const;

  uint16_t RegisterWindowClass(const std::string& cls, const std::string& icon, const std::string& menu,
                               WindowHandler* handler) override;
  bool CreateMain(const std::string& cls, const std::u16string& text, int left, int top, int w, int h) override;
  WindowId CreateEdit(int left, int top, int w, int h, const std::string& text) override;
  void Show(WindowId window, int showCommand) override;
  void Update() override;
  void Destroy(WindowId window) override;
  void SetText(WindowId window, const std::string& text) override;
  std::string GetText(WindowId window, int maxBytes) override;
  // The selection it makes is not kept: a test types a field's whole text with SetText.
  void SetFocus(WindowId window) override { focus = window; }
  WindowId Focused() override { return focus; }
  void Enable(bool on) override;
  void Activate() override;
  void Invalidate() override { ++invalidations; }
  std::unique_ptr<Painter> WindowPainter() override;
  bool SetTimer(uintptr_t id, uint32_t milliseconds) override;
  void KillTimer(uintptr_t id) override { timers.erase(id); }
  void PostDestroy(uintptr_t, intptr_t) override { ++destroyPosts; }
  void PostQuit(int exitCode) override { quitCode = exitCode; }
  // Delivers the posted destroy messages; returns the quit code (0 when none was posted).
  int RunMessageLoop() override;
  void NotifyAccessible(AccessibleEvent event, int part) override { accessibleEvents.emplace_back(event, part); }
  platform::GdiObject MakeFont(const FontRequest& font) override;
  platform::GdiObject CreateSolidBrush(Rgb colour) override;
  void DeleteObject(GdiHandle object) override;

  GdiHandle NewObject(GdiObject object);
  // The painters open now, for the faults above.
  void Opened(const FakePainter* painter);
  void Closed(const FakePainter* painter);

 private:
  WindowHandler* handler_ = nullptr;
  std::vector<const FakePainter*> open_;
  GdiHandle next_ = 100;
};

}  // namespace platform::fake

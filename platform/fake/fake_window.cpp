#include "platform/fake/fake_window.h"

namespace platform::fake {
namespace {

class CountedPainter : public FakePainter {
 public:
  explicit CountedPainter(FakeWindows* windows) : FakePainter(windows), windows_(windows) { windows_->Opened(this); }
  ~CountedPainter() override { windows_->Closed(this); }

 private:
  FakeWindows* windows_;
};

}  // namespace

GdiObject FakePainter::CreateSolidPen(Rgb colour) {
  return GdiObject(*this, windows_->NewObject({FakeWindows::GdiObject::Pen, colour, {}, false}));
}

GdiHandle FakePainter::Stock(StockObject object) {
  switch (object) {
    case StockObject::BlackPen:
      return kBlackPen;
    case StockObject::WhitePen:
      return kWhitePen;
    case StockObject::WhiteBrush:
      return kWhiteBrush;
  }
  return 0;
}

GdiHandle FakePainter::Select(GdiHandle object) {
  GdiHandle* slot = nullptr;
  if (object == kBlackPen || object == kWhitePen) {
    slot = &pen_;
  } else if (object == kWhiteBrush) {
    slot = &brush_;
  } else if (object == kSystemFont) {
    slot = &font_;
  } else {
    auto it = windows_->objects.find(object);
    if (it == windows_->objects.end() || it->second.deleted) return 0;
    slot = it->second.kind == FakeWindows::GdiObject::Pen     ? &pen_
           : it->second.kind == FakeWindows::GdiObject::Brush ? &brush_
                                                              : &font_;
  }
  GdiHandle previous = *slot;
  *slot = object;
  return previous;
}

void FakePainter::DeleteObject(GdiHandle object) { windows_->DeleteObject(object); }

void FakePainter::MoveTo(int x, int y) {
  x_ = x;
  y_ = y;
}

DrawCall FakePainter::Base(DrawCall::Kind kind) const {
  DrawCall call;
  call.kind = kind;
  call.pen = windows_->PenColour(pen_);
  call.brush = brush_;
  call.font = font_;
  call.textColour = textColour_;
  call.transparent = transparent_;
  return call;
}

void FakePainter::LineTo(int x, int y) {
  DrawCall call = Base(DrawCall::Line);
  call.x1 = x_;
  call.y1 = y_;
  call.x2 = x;
  call.y2 = y;
  windows_->calls.push_back(call);
  x_ = x;
  y_ = y;
}

void FakePainter::Rectangle(int left, int top, int right, int bottom) {
  DrawCall call = Base(DrawCall::Rectangle);
  call.x1 = left;
  call.y1 = top;
  call.x2 = right;
  call.y2 = bottom;
  windows_->calls.push_back(call);
}

void FakePainter::TextA(int x, int y, const std::string& text) {
  DrawCall call = Base(DrawCall::TextA);
  call.x1 = x;
  call.y1 = y;
  call.text = text;
  windows_->calls.push_back(call);
}

void FakePainter::TextW(int x, int y, const std::u16string& text) {
  DrawCall call = Base(DrawCall::TextW);
  call.x1 = x;
  call.y1 = y;
  call.textW = text;
  windows_->calls.push_back(call);
}

void FakePainter::StretchBitmap(const uint8_t*, const uint8_t*, int xd, int yd, int wd, int hd, int xs, int ys, int ws,
                                int hs) {
  DrawCall call = Base(DrawCall::Bitmap);
  call.x1 = xd;
  call.y1 = yd;
  call.x2 = wd;
  call.y2 = hd;
  call.xs = xs;
  call.ys = ys;
  call.ws = ws;
  call.hs = hs;
  windows_->calls.push_back(call);
}

GdiHandle FakeWindows::NewObject(GdiObject object) {
  GdiHandle handle = next_++;
  objects[handle] = std::move(object);
  return handle;
}

Rgb FakeWindows::PenColour(GdiHandle pen) const {
  if (pen == kWhitePen) return {255, 255, 255};
  auto it = objects.find(pen);
  return it != objects.end() ? it->second.colour : Rgb{0, 0, 0};
}

void FakeWindows::Opened(const FakePainter* painter) {
  ++openPainters;
  open_.push_back(painter);
}

void FakeWindows::Closed(const FakePainter* painter) {
  --openPainters;
  std::erase(open_, painter);
  if (!painter->HoldsItsOwnObjects()) ++closedWithSelections;
}

void FakeWindows::Paint() {
  if (!handler_) return;
  CountedPainter painter(this);
  handler_->OnPaint(painter);
}

bool FakeWindows::PressKey(Key key, bool shift) {
  if (!handler_ || !created || !enabled) return false;
  // A hidden field keeps the focus it was given and its keys; a destroyed one has none.
  auto field = edits.find(focus);
  bool inField = field != edits.end() && !field->second.destroyed;
  if (focus != 0 && !inField) return false;
  handler_->OnKey(key, shift);
  return true;
}

void FakeWindows::Close() {
  if (handler_ && created) handler_->OnClose();
}

uint16_t FakeWindows::RegisterWindowClass(const std::string& cls, const std::string& icon, const std::string& menu,
                                          WindowHandler* handler) {
  if (registerFails) return 0;
  className = cls;
  iconName = icon;
  menuName = menu;
  handler_ = handler;
  return 0xC001;
}

bool FakeWindows::CreateMain(const std::string& cls, const std::u16string& text, int left, int top, int w, int h) {
  if (createFails || cls != className || !handler_) return false;
  created = true;
  title = text;
  x = left;
  y = top;
  width = w;
  height = h;
  handler_->OnCreate();
  return true;
}

WindowId FakeWindows::CreateEdit(int left, int top, int w, int h, const std::string& text) {
  WindowId id = static_cast<WindowId>(edits.size()) + 1;
  edits[id] = Edit{left, top, w, h, text, false, false};
  return id;
}

void FakeWindows::Show(WindowId window, int showCommand) {
  shows.emplace_back(window, showCommand);
  if (window == 0 && created) {
    // ShowWindow activates, SW_HIDE does not; the activation gives the window the focus, which
    // its WM_SETFOCUS handling passes on.
    bool wasActive = active;
    active = showCommand != 0;
    if (active && !wasActive && enabled) {
      focus = 0;
      if (handler_) handler_->OnSetFocus();
    }
  }
  auto it = edits.find(window);
  if (it == edits.end() || it->second.destroyed) return;
  it->second.visible = showCommand != 0;
  // Hiding the field with the focus hands the focus to the window, with its WM_SETFOCUS.
  if (showCommand == 0 && focus == window) {
    focus = 0;
    if (handler_) handler_->OnSetFocus();
  }
}

void FakeWindows::Enable(bool on) {
  enabled = on;
  if (on) return;
  // A disabled window can hold neither the activation nor the focus, nor can its fields, and it
  // does not get them back when it is enabled again.
  active = false;
  if (focus == 0 || edits.count(focus)) focus = kNoWindow;
}

void FakeWindows::Activate() {
  if (!created || !enabled) return;
  active = true;
  // Activation gives the window the focus, which its WM_SETFOCUS handling passes on.
  focus = 0;
  if (handler_) handler_->OnSetFocus();
}

void FakeWindows::Update() {
  ++updates;
  Paint();
}

void FakeWindows::Destroy(WindowId window) {
  if (window == 0) {  // DestroyWindow of the setup window sends it WM_DESTROY
    if (created && handler_) handler_->OnDestroy();
    created = false;
    return;
  }
  auto it = edits.find(window);
  if (it != edits.end()) {
    it->second.destroyed = true;
    it->second.visible = false;
  }
}

void FakeWindows::SetText(WindowId window, const std::string& text) {
  auto it = edits.find(window);
  if (it != edits.end() && !it->second.destroyed) it->second.text = text;
}

std::string FakeWindows::GetText(WindowId window, int maxBytes) {
  auto it = edits.find(window);
  if (it == edits.end() || it->second.destroyed || maxBytes <= 0) return std::string();
  return it->second.text.substr(0, static_cast<size_t>(maxBytes - 1));
}

std::unique_ptr<Painter> FakeWindows::WindowPainter() { return std::make_unique<CountedPainter>(this); }

bool FakeWindows::SetTimer(uintptr_t id, uint32_t milliseconds) {
  timers[id] = milliseconds;
  return true;
}

int FakeWindows::RunMessageLoop() {
  while (destroyPosts > 0 && quitCode < 0) {
    --destroyPosts;
    if (handler_) handler_->OnDestroy();
  }
  return quitCode < 0 ? 0 : quitCode;
}

platform::GdiObject FakeWindows::MakeFont(const FontRequest& font) {
  return platform::GdiObject(*this, NewObject({GdiObject::Font, {}, font, false}));
}

platform::GdiObject FakeWindows::CreateSolidBrush(Rgb colour) {
  return platform::GdiObject(*this, NewObject({GdiObject::Brush, colour, {}, false}));
}

void FakeWindows::DeleteObject(GdiHandle object) {
  for (const FakePainter* painter : open_) {
    if (painter->HasSelected(object)) {
      ++deletedWhileSelected;
      return;  // GDI refuses, and the object stays
    }
  }
  auto it = objects.find(object);
  if (it == objects.end()) return;
  if (it->second.deleted) ++deletedTwice;
  it->second.deleted = true;
}

bool FakeWindows::DefaultAction(const std::u16string& name) {
  if (!handler_) return false;
  const AccessiblePage page = handler_->Accessible();
  for (size_t i = 0; i < page.parts.size(); ++i) {
    if (page.parts[i].name != name) continue;
    handler_->OnDefaultAction(i, name);
    return true;
  }
  return false;
}

}  // namespace platform::fake
